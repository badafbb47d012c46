# The Windows build (cross-built with MinGW-w64 by scripts/build-windows): the
# demo alone, linked against the Windows builds of its libraries in
# QUARNEL_WINDOWS_PREFIX: statically, but for those built as DLLs, which go
# beside quarnel.exe.
if(NOT QUARNEL_WINDOWS_PREFIX)
  message(FATAL_ERROR "QUARNEL_WINDOWS_PREFIX must name the Windows libraries' folder")
endif()
set(ENV{PKG_CONFIG_LIBDIR} ${QUARNEL_WINDOWS_PREFIX}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
find_package(PkgConfig REQUIRED)
include(cmake/library_modules.cmake)
library_modules(modules "")
pkg_check_modules(WINDOWS_LIBS REQUIRED ${modules})

# The demo keeps its own main() (SDL_MAIN_HANDLED), so SDL's replacement of
# main and its SDL2main library are left out.
set(windows_cflags ${WINDOWS_LIBS_STATIC_CFLAGS_OTHER})
list(REMOVE_ITEM windows_cflags -Dmain=SDL_main)
set(windows_ldflags ${WINDOWS_LIBS_STATIC_LDFLAGS})
list(REMOVE_ITEM windows_ldflags -lSDL2main)
# A library built as a DLL is linked through its import library, named by
# path: -static would look for its static archive only.
file(GLOB import_libraries ${QUARNEL_WINDOWS_PREFIX}/lib/*.dll.a)
file(GLOB library_dlls ${QUARNEL_WINDOWS_PREFIX}/bin/*.dll)
foreach(import ${import_libraries})
  get_filename_component(file ${import} NAME)
  string(REGEX REPLACE "^lib(.*)[.]dll[.]a$" "-l\\1" flag ${file})
  list(TRANSFORM windows_ldflags REPLACE "^${flag}$" ${import})
endforeach()

file(GLOB_RECURSE CORE_SOURCES CONFIGURE_DEPENDS src/*.cpp)
list(REMOVE_ITEM CORE_SOURCES ${CMAKE_SOURCE_DIR}/src/app/main.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/headless_gl.cpp) # EGL, for the Linux tools only
add_library(quarnel_core STATIC ${CORE_SOURCES})
target_include_directories(quarnel_core PUBLIC src ${WINDOWS_LIBS_STATIC_INCLUDE_DIRS})
target_compile_definitions(quarnel_core PUBLIC SDL_MAIN_HANDLED)
target_compile_options(quarnel_core PUBLIC ${windows_cflags})

# Its resources (windows/quarnel.rc.in): the icon, which the native build's
# generator draws (scripts/build-windows passes it), the manifest and the
# version facts of cmake/product.cmake.
if(NOT QUARNEL_ICON OR NOT EXISTS "${QUARNEL_ICON}")
  message(FATAL_ERROR "QUARNEL_ICON must name the quarnel.ico a native build made "
    "(cmake --build build --target icon makes build/icon/quarnel.ico)")
endif()
enable_language(RC)
# Windows counts versions in four numbers: the project's, padded with zeros.
string(REPLACE "." ";" version_parts "${PROJECT_VERSION}.0.0.0")
list(SUBLIST version_parts 0 4 version_parts)
list(JOIN version_parts "." QUARNEL_VERSION_4)
list(JOIN version_parts "," QUARNEL_VERSION_COMMAS)
set(QUARNEL_MANIFEST ${CMAKE_BINARY_DIR}/quarnel.manifest)
configure_file(windows/quarnel.manifest.in ${QUARNEL_MANIFEST} @ONLY)
configure_file(windows/quarnel.rc.in ${CMAKE_BINARY_DIR}/quarnel.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/quarnel.rc PROPERTIES
  OBJECT_DEPENDS "${QUARNEL_ICON};${QUARNEL_MANIFEST}")

# A windowed program (no console opens), with the C and C++ runtimes and
# winpthreads linked in.
add_executable(quarnel WIN32 src/app/main.cpp ${CMAKE_BINARY_DIR}/quarnel.rc)
target_link_libraries(quarnel PRIVATE quarnel_core ${windows_ldflags} -lglu32 -lopengl32)
target_link_options(quarnel PRIVATE -static -s) # no symbols: a smaller download
set_target_properties(quarnel PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
if(library_dlls)
  add_custom_command(TARGET quarnel POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${library_dlls} ${CMAKE_BINARY_DIR})
endif()

# The Windows tests' probe, run under Wine beside the demo (tests/windows).
add_executable(find-window tests/windows/find_window.c)
target_link_options(find-window PRIVATE -static)
set_target_properties(find-window PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The web build (made with emscripten by scripts/build-web): the demo as a page,
# drawing through the OpenGL 1.1 layer on WebGL 1, linked statically against
# the web builds of its libraries in QUARNEL_WEB_PREFIX. The page decodes the
# soundtrack with the browser's own decoder, so the libraries of
# scripts/libraries are linked but those QUARNEL_LIBRARIES_LEFT_OUT names
# (source packages; scripts/build-web gives mpg123).
# Makes
#   site/         index.html, quarnel.js, quarnel.wasm and quarnel.data: the
#                 page for any web server
#   quarnel.html  the same page in one file, everything inside, for file://
if(NOT QUARNEL_WEB_PREFIX)
  message(FATAL_ERROR "QUARNEL_WEB_PREFIX must name the web libraries' folder")
endif()
if(NOT QUARNEL_DATA_DIR OR NOT EXISTS ${QUARNEL_DATA_DIR}/.made)
  message(FATAL_ERROR "QUARNEL_DATA_DIR must name a data set the native build made")
endif()
if(NOT QUARNEL_ICON OR NOT EXISTS "${QUARNEL_ICON}")
  message(FATAL_ERROR "QUARNEL_ICON must name the quarnel.png the native build made")
endif()
set(ENV{PKG_CONFIG_LIBDIR} ${QUARNEL_WEB_PREFIX}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
find_package(PkgConfig REQUIRED)
include(cmake/library_modules.cmake)
library_modules(modules "${QUARNEL_LIBRARIES_LEFT_OUT}")
pkg_check_modules(WEB_LIBS REQUIRED ${modules})
# SDL's own main stays out: the page's entry point is main.cpp here.
set(web_cflags ${WEB_LIBS_STATIC_CFLAGS_OTHER})
list(REMOVE_ITEM web_cflags -Dmain=SDL_main)
set(web_ldflags ${WEB_LIBS_STATIC_LDFLAGS})
list(REMOVE_ITEM web_ldflags -lSDL2main)

# The core's sources but those the page does otherwise: the entry point, the
# offscreen context, the display guard, and the soundtrack's decoding and
# playing, which the page's Web Audio does.
file(GLOB_RECURSE CORE_SOURCES CONFIGURE_DEPENDS src/*.cpp)
foreach(left_out app/main.cpp platform/headless_gl.cpp platform/display_guard_x11.cpp
        platform/display_guard_windows.cpp audio/music.cpp audio/mp3_reader.cpp audio/decode.cpp)
  list(REMOVE_ITEM CORE_SOURCES ${CMAKE_SOURCE_DIR}/src/${left_out})
endforeach()
file(GLOB WEB_APP_SOURCES CONFIGURE_DEPENDS web/app/*.cpp)
set(WEB_SOURCES ${CORE_SOURCES} ${WEB_APP_SOURCES})

# Every source that includes a GL header draws through the layer (see web/gl11).
foreach(source ${WEB_SOURCES})
  file(STRINGS ${source} glIncludes REGEX "#include <GL/")
  if(glIncludes)
    set_source_files_properties(${source} PROPERTIES
      COMPILE_OPTIONS "-include;${CMAKE_SOURCE_DIR}/web/gl11/gl11_calls.h")
  endif()
endforeach()

include(web/gl11/sources.cmake)
add_library(gl11 STATIC ${GL11_SOURCES})
target_include_directories(gl11 PUBLIC web/gl11)

add_library(quarnel_web STATIC ${CORE_SOURCES})
target_include_directories(quarnel_web PUBLIC src web/app
  ${WEB_LIBS_STATIC_INCLUDE_DIRS})
target_compile_definitions(quarnel_web PUBLIC SDL_MAIN_HANDLED)
target_compile_options(quarnel_web PUBLIC ${web_cflags})
target_link_libraries(quarnel_web PUBLIC gl11)

set(web_link_options
  -sMIN_WEBGL_VERSION=1 -sMAX_WEBGL_VERSION=1 -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=web
  -sEXIT_RUNTIME=0
  "-sEXPORTED_FUNCTIONS=[_main,_malloc,_free]"
  "-sEXPORTED_RUNTIME_METHODS=[FS,UTF8ToString,stringToUTF8,lengthBytesUTF8]"
  # SDL's audio driver refers to these, though the page plays the music itself.
  # Named in a file: a "$" in a link option does not survive Ninja's escaping.
  -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_BINARY_DIR}/library_funcs.txt)
file(WRITE ${CMAKE_BINARY_DIR}/library_funcs.txt "$autoResumeAudioContext\n$dynCall\n")
file(GLOB_RECURSE data_files CONFIGURE_DEPENDS ${QUARNEL_DATA_DIR}/*)

# The page for a web server: the data set beside the program, fetched with progress.
add_executable(quarnel ${WEB_APP_SOURCES})
target_link_libraries(quarnel PRIVATE quarnel_web ${web_ldflags})
target_link_options(quarnel PRIVATE ${web_link_options}
  "SHELL:--preload-file ${QUARNEL_DATA_DIR}@/data" "SHELL:--exclude-file ${QUARNEL_DATA_DIR}/.made")
set_target_properties(quarnel PROPERTIES SUFFIX .js RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/site
  LINK_DEPENDS "${data_files}")
add_custom_command(TARGET quarnel POST_BUILD
  COMMAND ${CMAKE_COMMAND} -DJS=$<TARGET_FILE:quarnel> -DDATA=${CMAKE_BINARY_DIR}/site/quarnel.data
    -P ${CMAKE_SOURCE_DIR}/cmake/web_package_id.cmake)

# One file: the program and the data set inside the script.
add_executable(quarnel-single ${WEB_APP_SOURCES})
target_link_libraries(quarnel-single PRIVATE quarnel_web ${web_ldflags})
target_link_options(quarnel-single PRIVATE ${web_link_options} -sSINGLE_FILE=1
  "SHELL:--embed-file ${QUARNEL_DATA_DIR}@/data" "SHELL:--exclude-file ${QUARNEL_DATA_DIR}/.made")
set_target_properties(quarnel-single PROPERTIES SUFFIX .js LINK_DEPENDS "${data_files}")

set(page_sources ${CMAKE_SOURCE_DIR}/web/page/index.html ${CMAKE_SOURCE_DIR}/web/page/page.js
  ${CMAKE_SOURCE_DIR}/web/page/assemble.cmake)
# The page's icon is the program's: a file in the folder, inside the one-file page.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/site/index.html ${CMAKE_BINARY_DIR}/site/quarnel.png
  COMMAND ${CMAKE_COMMAND} -DOUT=${CMAKE_BINARY_DIR}/site/index.html -DPAGE=${CMAKE_SOURCE_DIR}/web/page
    -DDEMO_SRC=quarnel.js -DICON_SRC=quarnel.png -P ${CMAKE_SOURCE_DIR}/web/page/assemble.cmake
  COMMAND ${CMAKE_COMMAND} -E copy ${QUARNEL_ICON} ${CMAKE_BINARY_DIR}/site/quarnel.png
  DEPENDS ${page_sources} ${QUARNEL_ICON} COMMENT "Making the page")
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/quarnel.html
  COMMAND ${CMAKE_COMMAND} -DOUT=${CMAKE_BINARY_DIR}/quarnel.html -DPAGE=${CMAKE_SOURCE_DIR}/web/page
    -DDEMO_INLINE=$<TARGET_FILE:quarnel-single> -DICON_INLINE=${QUARNEL_ICON}
    -P ${CMAKE_SOURCE_DIR}/web/page/assemble.cmake
  DEPENDS ${page_sources} ${QUARNEL_ICON} quarnel-single COMMENT "Making the one-file page")
add_custom_target(page ALL DEPENDS ${CMAKE_BINARY_DIR}/site/index.html ${CMAKE_BINARY_DIR}/quarnel.html quarnel)

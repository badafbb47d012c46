# The layer's sources, for the native build (CMakeLists.txt here) and the web's.
set(GL11_SOURCES)
foreach(file arrays context draw immediate indices matrix program sphere state stream texture)
  list(APPEND GL11_SOURCES ${CMAKE_CURRENT_LIST_DIR}/${file}.cpp)
endforeach()

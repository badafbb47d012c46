# The libraries a cross build links: the pkg-config modules (third column) of
# the one list, scripts/libraries, in its order, but those whose source
# package (first column) is in the list left_out.
function(library_modules out left_out)
  set(library_list ${CMAKE_SOURCE_DIR}/scripts/libraries)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${library_list})
  file(STRINGS ${library_list} library_lines REGEX "^[^#]")
  set(modules)
  foreach(line ${library_lines})
    string(REGEX MATCH "^[^ \t]+" source "${line}")
    string(REGEX MATCH "[^ \t]+$" module "${line}")
    if(NOT source IN_LIST left_out)
      list(APPEND modules ${module})
    endif()
  endforeach()
  set(${out} ${modules} PARENT_SCOPE)
endfunction()

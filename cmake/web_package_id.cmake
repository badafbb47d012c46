# Gives the data package in the page's script (JS) an identity taken from the
# data file (DATA) instead of the random one Emscripten's packager draws at
# every link, so the same tree links to the same bytes. The identity only
# names the package in a browser's cache, which the page does not use.
file(READ ${JS} script)
file(SHA256 ${DATA} hash)
string(REGEX REPLACE "^(........)(....)(....)(....)(............).*" "\\1-\\2-\\3-\\4-\\5" id ${hash})
string(REGEX REPLACE "\"package_uuid\":\"[0-9a-f-]+\"" "\"package_uuid\":\"${id}\"" fixed "${script}")
if(NOT fixed STREQUAL script)
  file(WRITE ${JS} "${fixed}")
endif()

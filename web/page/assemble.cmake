# Writes the page OUT from index.html in PAGE with page.js inside it, and the
# demo's script either named (DEMO_SRC, beside the page) or put inside it
# whole (DEMO_INLINE, for the one-file page). The page's icon is named
# likewise (ICON_SRC) or put inside as a data: address (ICON_INLINE, a PNG).
file(READ ${PAGE}/index.html html)
file(READ ${PAGE}/page.js page_script)
if(DEMO_INLINE)
  file(READ ${DEMO_INLINE} demo_script)
  string(FIND "${demo_script}" "</script" closing)
  if(NOT closing EQUAL -1)
    message(FATAL_ERROR "${DEMO_INLINE} holds </script and cannot go inside the page")
  endif()
  set(demo_tag "<script>\n${demo_script}\n</script>")
else()
  set(demo_tag "<script src=\"${DEMO_SRC}\"></script>")
endif()
if(ICON_INLINE)
  execute_process(COMMAND base64 -w 0 ${ICON_INLINE} OUTPUT_VARIABLE icon_base64
    COMMAND_ERROR_IS_FATAL ANY)
  set(icon_href "data:image/png;base64,${icon_base64}")
else()
  set(icon_href "${ICON_SRC}")
endif()
string(REPLACE "@ICON@" "${icon_href}" html "${html}")
string(REPLACE "@PAGE_SCRIPT@" "${page_script}" html "${html}")
string(REPLACE "@DEMO_SCRIPT@" "${demo_tag}" html "${html}")
file(WRITE ${OUT} "${html}")

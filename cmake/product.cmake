# What the demo says about itself, in one place: `quarnel --version` prints
# it on every platform and the Windows program carries it in its version
# resource (windows/quarnel.rc.in). The version is the project's.
set(QUARNEL_PRODUCT "Quarnel")
set(QUARNEL_MAKER "Vormak")
set(QUARNEL_DESCRIPTION "Quarnel, a real-time audiovisual demo")
set(QUARNEL_COPYRIGHT "Copyright (C) 2026 Vormak")
set_source_files_properties(src/app/options.cpp PROPERTIES COMPILE_DEFINITIONS
  "QUARNEL_VERSION=\"${PROJECT_VERSION}\";QUARNEL_MAKER=\"${QUARNEL_MAKER}\";QUARNEL_DESCRIPTION=\"${QUARNEL_DESCRIPTION}\";QUARNEL_COPYRIGHT=\"${QUARNEL_COPYRIGHT}\"")

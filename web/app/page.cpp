// The page's side of page.h, as JavaScript the linker puts into quarnel.js;
// each call goes to the page's own object, Module.quarnelPage.
#include "page.h"

#include <emscripten.h>

// clang-format off
EM_JS(int, pageHasAudio, (), { return Module.quarnelPage.hasAudio() ? 1 : 0; });
EM_JS(int, pagePlayMusic, (double offset), { return Module.quarnelPage.playMusic(offset) ? 1 : 0; });
EM_JS(void, pageStopMusic, (), { Module.quarnelPage.stopMusic(); });
EM_JS(double, pageHeardSeconds, (), { return Module.quarnelPage.heardSeconds(); });
EM_JS(double, pageAudioClock, (), { return Module.quarnelPage.audioClock(); });
EM_JS(void, pageRunEnded, (), { Module.quarnelPage.runEnded(); });
EM_JS(int, pageDataComplete, (), { return Module.quarnelPage.dataComplete() ? 1 : 0; });
EM_JS(void, pageLoaded, (), { Module.quarnelPage.loaded(); });
EM_JS(void, pageHasNoWebGl, (), { Module.quarnelPage.noWebGl(); });
// clang-format on

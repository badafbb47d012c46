// libFuzzer entry for the loader of MP3 files: open, decode to 44.1 kHz, spectrum.
#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzMp3(data, size);
    return 0;
}

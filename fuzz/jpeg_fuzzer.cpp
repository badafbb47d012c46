// libFuzzer entry for the loader of JPEG pictures.
#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzJpeg(data, size);
    return 0;
}

// libFuzzer entry for the loader of object files (.ebr).
#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzObjectFile(data, size);
    return 0;
}

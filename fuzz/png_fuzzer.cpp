// libFuzzer entry for the loader of PNG pictures.
#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzPng(data, size);
    return 0;
}

// The libFuzzer entry point of one target; scripts/fuzz.sh compiles it once per target with
// CIBRANO_FUZZ_FUNCTION naming the target's body in FuzzTargets.h.

#include "fuzz/FuzzTargets.h"

#include <cstddef>
#include <cstdint>

#ifndef CIBRANO_FUZZ_FUNCTION
#error "CIBRANO_FUZZ_FUNCTION must name a target of fuzz/FuzzTargets.h"
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return cibrano::fuzz::CIBRANO_FUZZ_FUNCTION(data, size);
}

#include "FuzzSupport.h"

// One libFuzzer program per target: FUZZ_TARGET names the target's function.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    return FUZZ_TARGET(pData, nSize);
}

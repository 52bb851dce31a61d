// libFuzzer entry point for the SWF header reader (built only with a compiler
// that supports -fsanitize=fuzzer; see fuzz_run.sh).

#include "swfheader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const swfheader::Result result = swfheader::readHeaderFromMemory(data, size);
    // An accepted header always has a usable field width; a rejection always
    // says why.
    if (result.ok() ? result.header.rectBits > 31 : result.detail.empty())
        std::abort();
    return 0;
}

// Marks any input as a log with any ignore list and compares the result with
// the plain reference: counts and the marked copy must agree, in any chunking.
//   input: [chunk size] [line limit] ignore-list bytes, 0x00, log bytes
#include <cstdint>
#include <cstdlib>
#include <string>

#include "log_check_memory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t chunk = 1 + data[0] % 64;
    const size_t limit = data[1] % 32;
    const std::string rest(reinterpret_cast<const char*>(data) + 2, size - 2);
    const size_t cut = rest.find('\0');
    const std::string ignore = cut == std::string::npos ? std::string() : rest.substr(0, cut);
    const std::string log = cut == std::string::npos ? rest : rest.substr(cut + 1);
    const auto got = kx::logcheck::MarkInMemory(ignore, log, limit, chunk);
    const auto want = kx::logcheck::Reference(ignore, log);
    if (!got.ok || got.counts.errors != want.counts.errors || got.counts.ignored != want.counts.ignored ||
        got.marked != want.marked)
        std::abort();
    return 0;
}

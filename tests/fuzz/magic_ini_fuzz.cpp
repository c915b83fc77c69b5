// Reads any input as a Magic INI file and takes the three fields both ways.
// Checks what must hold for any file: results are trimmed, the comma-counting
// field holds no comma, and a value cut as a comma text never yields more
// fields than it has characters plus one.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/magic_ini.h"

namespace {
bool Trimmed(const std::string& s) { return s.empty() || (!kx::IsTrimmedCode(s.front()) && !kx::IsTrimmedCode(s.back())); }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const std::string value = kx::magic::ReadEntryValue(file, [](std::string_view l) { return kx::UpperAZ(l); });
    if (!Trimmed(value) || value.size() > size) std::abort();
    if (kx::magic::CommaFields(std::string_view(value)).size() > value.size() + 1) std::abort();
    for (int n : {kx::magic::kUserField, kx::magic::kPasswordField, kx::magic::kServerField, 1, 0, -1}) {
        const std::string a = kx::magic::FieldBetweenCommas(std::string_view(value), n);
        const std::string b = kx::magic::CommaTextField(std::string_view(value), n);
        if (!Trimmed(a) || !Trimmed(b) || a.find(',') != std::string::npos) std::abort();
    }
    return 0;
}

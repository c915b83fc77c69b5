// The standard CRC-32 (IEEE 802.3, as zlib: reflected polynomial 0xEDB88320,
// initial value and final inversion 0xFFFFFFFF), fed in chunks so that a file
// of any size is checked without holding it in memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace kx {

class Crc32 {
public:
    void Update(const void* data, size_t size) {
        static const std::array<uint32_t, 256> table = MakeTable();
        auto p = static_cast<const unsigned char*>(data);
        uint32_t c = state_;
        for (size_t i = 0; i < size; ++i) c = table[(c ^ p[i]) & 0xFF] ^ (c >> 8);
        state_ = c;
    }
    uint32_t Value() const { return state_ ^ 0xFFFFFFFFu; }

private:
    static std::array<uint32_t, 256> MakeTable() {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }
    uint32_t state_ = 0xFFFFFFFFu;
};

// Exactly 8 upper-case hexadecimal digits with leading zeros.
inline std::string ChecksumText(uint32_t value) {
    char buf[9];
    std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(value));
    return buf;
}

}  // namespace kx

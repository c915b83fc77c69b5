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

// Slicing by eight: eight table lookups per 8 bytes instead of one per byte,
// which keeps the module checksum of a large program close to disk speed.
class Crc32 {
public:
    void Update(const void* data, size_t size) {
        static const Tables tables = MakeTables();
        const auto& t = tables.t;
        auto p = static_cast<const unsigned char*>(data);
        uint32_t c = state_;
        for (; size >= 8; size -= 8, p += 8) {
            const uint32_t lo = c ^ (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
            const uint32_t hi = uint32_t(p[4]) | uint32_t(p[5]) << 8 | uint32_t(p[6]) << 16 | uint32_t(p[7]) << 24;
            c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
                t[3][hi & 0xFF] ^ t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
        }
        for (; size > 0; --size, ++p) c = t[0][(c ^ *p) & 0xFF] ^ (c >> 8);
        state_ = c;
    }
    uint32_t Value() const { return state_ ^ 0xFFFFFFFFu; }

private:
    struct Tables {
        std::array<std::array<uint32_t, 256>, 8> t;
    };
    static Tables MakeTables() {
        Tables s{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            s.t[0][n] = c;
        }
        for (uint32_t n = 0; n < 256; ++n)
            for (int k = 1; k < 8; ++k) s.t[k][n] = s.t[0][s.t[k - 1][n] & 0xFF] ^ (s.t[k - 1][n] >> 8);
        return s;
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

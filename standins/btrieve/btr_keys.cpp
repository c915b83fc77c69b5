#include "btr_keys.h"

#include <cstring>

namespace btr {
namespace {

int Sign(long long v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

long long SignedInt(const uint8_t* p, size_t n) {
    unsigned long long v = 0;
    for (size_t i = n; i-- > 0;) v = (v << 8) | p[i];
    if (n > 0 && n < 8 && (p[n - 1] & 0x80)) v |= ~0ULL << (8 * n);
    return static_cast<long long>(v);
}

unsigned long long UnsignedInt(const uint8_t* p, size_t n) {
    unsigned long long v = 0;
    for (size_t i = n; i-- > 0;) v = (v << 8) | p[i];
    return v;
}

int CompareFloat(const uint8_t* a, const uint8_t* b, size_t n) {
    double x = 0, y = 0;
    if (n == 4) {
        float fx, fy;
        std::memcpy(&fx, a, 4);
        std::memcpy(&fy, b, 4);
        x = fx, y = fy;
    } else if (n == 8) {
        std::memcpy(&x, a, 8);
        std::memcpy(&y, b, 8);
    } else {
        return std::memcmp(a, b, n);
    }
    return x < y ? -1 : x > y ? 1 : 0;
}

uint8_t Fold(uint8_t c, const Segment& s, const std::vector<Acs>& acs) {
    if ((s.flags & keyflag::Acs) && s.acs >= 0 && static_cast<size_t>(s.acs) < acs.size())
        return acs[static_cast<size_t>(s.acs)].map[c];
    if ((s.flags & keyflag::NoCase) && c >= 'a' && c <= 'z') return static_cast<uint8_t>(c - 'a' + 'A');
    return c;
}

// Text of a string segment, as far as it counts for the order.
std::string_view Text(const Segment& s, const uint8_t* p) {
    const char* c = reinterpret_cast<const char*>(p);
    if (s.type == ext::ZString) return std::string_view(c, strnlen(c, s.length));
    if (s.type == ext::LString && s.length > 0) {
        const size_t n = p[0] < s.length ? p[0] : s.length - 1u;
        return std::string_view(c + 1, n);
    }
    return std::string_view(c, s.length);
}

int CompareText(const Segment& s, const std::vector<Acs>& acs, const uint8_t* a, const uint8_t* b) {
    const std::string_view x = Text(s, a), y = Text(s, b);
    const size_t n = x.size() < y.size() ? x.size() : y.size();
    for (size_t i = 0; i < n; ++i) {
        const int d = Fold(static_cast<uint8_t>(x[i]), s, acs) - Fold(static_cast<uint8_t>(y[i]), s, acs);
        if (d) return d;
    }
    return Sign(static_cast<long long>(x.size()) - static_cast<long long>(y.size()));
}

int CompareSegment(const Segment& s, const std::vector<Acs>& acs, const uint8_t* a, const uint8_t* b) {
    const bool extended = s.flags & keyflag::Extended;
    const uint8_t type = extended ? s.type : (s.flags & keyflag::Binary) ? ext::UnsignedBinary : ext::String;
    switch (type) {
    case ext::Integer:
    case ext::AutoIncrement: {
        const long long x = SignedInt(a, s.length), y = SignedInt(b, s.length);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    case ext::Float:
    case ext::BFloat:
        return CompareFloat(a, b, s.length);
    case ext::Logical:
    case ext::UnsignedBinary: {
        if (type == ext::Logical || s.length <= 8) {
            const auto x = UnsignedInt(a, s.length), y = UnsignedInt(b, s.length);
            return x < y ? -1 : x > y ? 1 : 0;
        }
        // Longer unsigned binary: the most significant byte is the last.
        for (size_t i = s.length; i-- > 0;)
            if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
        return 0;
    }
    case ext::Date: {
        // Day, month, then a two-byte year.
        if (s.length < 4) return std::memcmp(a, b, s.length);
        const long x = (a[2] | a[3] << 8) * 512L + a[1] * 32L + a[0], y = (b[2] | b[3] << 8) * 512L + b[1] * 32L + b[0];
        return Sign(x - y);
    }
    case ext::Time: {
        // Hundredths, seconds, minutes, hours: the last byte counts most.
        for (size_t i = s.length; i-- > 0;)
            if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
        return 0;
    }
    default:
        return CompareText(s, acs, a, b);
    }
}

}  // namespace

uint16_t Key::length() const {
    uint16_t n = 0;
    for (const auto& s : segments) n = static_cast<uint16_t>(n + s.length);
    return n;
}

std::string KeyValue(const Key& key, std::string_view record) {
    std::string v;
    v.reserve(key.length());
    for (const auto& s : key.segments) {
        if (static_cast<size_t>(s.offset) + s.length <= record.size())
            v.append(record.substr(s.offset, s.length));
        else
            v.append(s.length, '\0');
    }
    return v;
}

bool IsNullKey(const Key& key, std::string_view value) {
    const uint16_t flags = key.flags();
    if (!(flags & (keyflag::NullAll | keyflag::NullAny))) return false;
    size_t at = 0;
    bool all = true, any = false;
    for (const auto& s : key.segments) {
        bool segmentNull = true;
        for (size_t i = 0; i < s.length && at + i < value.size(); ++i)
            segmentNull = segmentNull && static_cast<uint8_t>(value[at + i]) == s.nullValue;
        all = all && segmentNull;
        any = any || segmentNull;
        at += s.length;
    }
    return (flags & keyflag::NullAll) ? all : any;
}

int CompareKeys(const Key& key, const std::vector<Acs>& acs, std::string_view a, std::string_view b) {
    size_t at = 0;
    for (const auto& s : key.segments) {
        if (at + s.length > a.size() || at + s.length > b.size()) break;
        int c = CompareSegment(s, acs, reinterpret_cast<const uint8_t*>(a.data()) + at,
                               reinterpret_cast<const uint8_t*>(b.data()) + at);
        if (s.flags & keyflag::Descending) c = -c;
        if (c) return c;
        at += s.length;
    }
    return 0;
}

}  // namespace btr

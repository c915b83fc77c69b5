#include "values.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "oci_defs.h"
#include "ora_error.h"

namespace oradb {
namespace {

constexpr std::array<const char*, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                 "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
int DaysIn(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

std::string TextOfNumber(const Value& v) {
    if (auto i = std::get_if<int64_t>(&v)) return std::to_string(*i);
    return NumberText(std::get<double>(v));
}

// A number from text as Oracle reads it: blanks around it allowed.
std::optional<double> ParseNumber(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return std::nullopt;
    double d = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), d);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return d;
}

double AsDouble(const Value& v) {
    if (auto i = std::get_if<int64_t>(&v)) return static_cast<double>(*i);
    if (auto d = std::get_if<double>(&v)) return *d;
    if (auto s = std::get_if<std::string>(&v)) {
        if (auto n = ParseNumber(*s)) return *n;
        Fail(ora::InvalidNumber);
    }
    Fail(ora::InconsistentTypes, "expected NUMBER got DATE");
}

std::optional<Date> AsDate(const Value& v) {
    if (auto d = std::get_if<Date>(&v)) return *d;
    if (auto s = std::get_if<std::string>(&v)) return ParseStoredDate(*s);
    return std::nullopt;
}

// Whether the date format `f` holds the element `upper` (in any case) at `i`.
bool FormatElementAt(std::string_view f, size_t i, const char* upper) {
    const size_t n = std::strlen(upper);
    if (i + n > f.size()) return false;
    for (size_t k = 0; k < n; ++k)
        if (std::toupper(static_cast<unsigned char>(f[i + k])) != upper[k]) return false;
    return true;
}

template <class T>
void PutInt(void* buffer, T v) {
    std::memcpy(buffer, &v, sizeof v);
}

}  // namespace

bool IsValidDate(const Date& d) {
    return d.year >= -4712 && d.year <= 9999 && d.year != 0 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
           d.day <= DaysIn(d.year, d.month) && d.hour >= 0 && d.hour < 24 && d.minute >= 0 && d.minute < 60 &&
           d.second >= 0 && d.second < 60;
}

std::string StoredDate(const Date& d) {
    char b[32];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute, d.second);
    return b;
}

std::optional<Date> ParseStoredDate(std::string_view t) {
    if (t.size() != 19 || t[4] != '-' || t[7] != '-' || t[10] != ' ' || t[13] != ':' || t[16] != ':')
        return std::nullopt;
    auto num = [&](size_t at, size_t n) {
        int v = 0;
        for (size_t i = at; i < at + n; ++i) {
            if (!std::isdigit(static_cast<unsigned char>(t[i]))) return -1;
            v = v * 10 + (t[i] - '0');
        }
        return v;
    };
    Date d{num(0, 4), num(5, 2), num(8, 2), num(11, 2), num(14, 2), num(17, 2)};
    if (!IsValidDate(d)) return std::nullopt;
    return d;
}

std::string NumberText(double v) {
    if (std::isnan(v) || std::isinf(v)) return v > 0 ? "~" : "-~";
    if (v == std::floor(v) && std::fabs(v) < 1e15) {
        char b[32];
        std::snprintf(b, sizeof b, "%.0f", v);
        return std::string(b) == "-0" ? "0" : b;
    }
    char b[64];
    const auto [end, ec] = std::to_chars(b, b + sizeof b, v);
    std::string s(b, ec == std::errc() ? end : b);
    if (s.find('e') != std::string::npos) {
        std::snprintf(b, sizeof b, "%.17g", v);
        s = b;
    }
    // Oracle writes no zero before the decimal point.
    if (s.rfind("0.", 0) == 0) s.erase(0, 1);
    if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
    return s;
}

std::string DefaultDateText(const Date& d) { return FormatDate(d, "DD-MON-RR"); }

std::string FormatDate(const Date& d, std::string_view f) {
    std::string out;
    char b[16];
    auto starts = [&](size_t i, const char* w) { return FormatElementAt(f, i, w); };
    for (size_t i = 0; i < f.size();) {
        if (starts(i, "YYYY")) {
            std::snprintf(b, sizeof b, "%04d", d.year), out += b, i += 4;
        } else if (starts(i, "HH24")) {
            std::snprintf(b, sizeof b, "%02d", d.hour), out += b, i += 4;
        } else if (starts(i, "MON")) {
            out += kMonths[static_cast<size_t>(d.month - 1)], i += 3;
        } else if (starts(i, "YY") || starts(i, "RR")) {
            std::snprintf(b, sizeof b, "%02d", d.year % 100), out += b, i += 2;
        } else if (starts(i, "MM")) {
            std::snprintf(b, sizeof b, "%02d", d.month), out += b, i += 2;
        } else if (starts(i, "DD")) {
            std::snprintf(b, sizeof b, "%02d", d.day), out += b, i += 2;
        } else if (starts(i, "HH")) {
            std::snprintf(b, sizeof b, "%02d", d.hour % 12 == 0 ? 12 : d.hour % 12), out += b, i += 2;
        } else if (starts(i, "MI")) {
            std::snprintf(b, sizeof b, "%02d", d.minute), out += b, i += 2;
        } else if (starts(i, "SS")) {
            std::snprintf(b, sizeof b, "%02d", d.second), out += b, i += 2;
        } else {
            out += f[i++];
        }
    }
    return out;
}

std::optional<Date> ParseDate(std::string_view t, std::string_view f) {
    Date d;
    size_t at = 0;
    auto digits = [&](size_t max, int& v) {
        size_t n = 0;
        v = 0;
        while (n < max && at < t.size() && std::isdigit(static_cast<unsigned char>(t[at]))) v = v * 10 + (t[at++] - '0'), ++n;
        return n > 0;
    };
    auto starts = [&](size_t i, const char* w) { return FormatElementAt(f, i, w); };
    for (size_t i = 0; i < f.size();) {
        bool ok = true;
        if (starts(i, "YYYY")) {
            ok = digits(4, d.year), i += 4;
        } else if (starts(i, "HH24")) {
            ok = digits(2, d.hour), i += 4;
        } else if (starts(i, "MON")) {
            ok = false;
            for (size_t m = 0; m < kMonths.size() && at + 3 <= t.size(); ++m) {
                bool same = true;
                for (size_t k = 0; k < 3; ++k)
                    same = same && std::toupper(static_cast<unsigned char>(t[at + k])) == kMonths[m][k];
                if (same) d.month = static_cast<int>(m) + 1, ok = true;
            }
            at += 3, i += 3;
        } else if (starts(i, "YY") || starts(i, "RR")) {
            ok = digits(2, d.year), i += 2;
            d.year += d.year < 50 ? 2000 : 1900;
        } else if (starts(i, "MM")) {
            ok = digits(2, d.month), i += 2;
        } else if (starts(i, "DD")) {
            ok = digits(2, d.day), i += 2;
        } else if (starts(i, "HH") || starts(i, "MI") || starts(i, "SS")) {
            int& part = starts(i, "HH") ? d.hour : starts(i, "MI") ? d.minute : d.second;
            ok = digits(2, part), i += 2;
        } else {
            // A separator in the format matches any one separator.
            ok = at < t.size() && !std::isalnum(static_cast<unsigned char>(t[at]));
            ++at, ++i;
        }
        if (!ok) return std::nullopt;
    }
    if (at != t.size() || !IsValidDate(d)) return std::nullopt;
    return d;
}

Value FromExternal(uint16_t sqlt, const void* data, size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    switch (sqlt) {
    case oci::SQLT_STR: {
        const void* zero = std::memchr(p, 0, size);
        const size_t n = zero ? static_cast<size_t>(static_cast<const unsigned char*>(zero) - p) : size;
        if (n == 0) return {};
        return std::string(reinterpret_cast<const char*>(p), n);
    }
    case oci::SQLT_CHR:
    case oci::SQLT_AVC:
    case oci::SQLT_AFC:
    case oci::SQLT_LNG:
        if (size == 0) return {};
        return std::string(reinterpret_cast<const char*>(p), size);
    case oci::SQLT_INT:
        switch (size) {
        case 1: return static_cast<int64_t>(static_cast<int8_t>(p[0]));
        case 2: { int16_t v; std::memcpy(&v, p, 2); return static_cast<int64_t>(v); }
        case 4: { int32_t v; std::memcpy(&v, p, 4); return static_cast<int64_t>(v); }
        case 8: { int64_t v; std::memcpy(&v, p, 8); return v; }
        default: break;
        }
        break;
    case oci::SQLT_FLT:
        if (size == 4) { float v; std::memcpy(&v, p, 4); return static_cast<double>(v); }
        if (size == 8) { double v; std::memcpy(&v, p, 8); return v; }
        break;
    case oci::SQLT_DAT:
        if (size >= 7) {
            Date d{(p[0] - 100) * 100 + (p[1] - 100), p[2], p[3], p[4] - 1, p[5] - 1, p[6] - 1};
            if (!IsValidDate(d)) Fail(ora::NotADate);
            return d;
        }
        break;
    case oci::SQLT_ODT:
        if (size >= 7) {
            int16_t y;
            std::memcpy(&y, p, 2);
            Date d{y, p[2], p[3], p[4], p[5], p[6]};
            if (!IsValidDate(d)) Fail(ora::NotADate);
            return d;
        }
        break;
    default:
        break;
    }
    Fail(ora::InconsistentTypes, "unsupported bind type " + std::to_string(sqlt));
}

Fetched ToExternal(const Value& v, uint16_t sqlt, void* buffer, size_t size) {
    Fetched f;
    auto* p = static_cast<unsigned char*>(buffer);
    switch (sqlt) {
    case oci::SQLT_STR:
    case oci::SQLT_CHR:
    case oci::SQLT_AVC:
    case oci::SQLT_AFC:
    case oci::SQLT_LNG: {
        std::string text;
        if (auto s = std::get_if<std::string>(&v))
            text = *s;
        else if (auto d = std::get_if<Date>(&v))
            text = DefaultDateText(*d);
        else
            text = TextOfNumber(v);
        const size_t room = sqlt == oci::SQLT_STR ? (size > 0 ? size - 1 : 0) : size;
        f.fullLength = text.size();
        f.length = text.size() < room ? text.size() : room;
        f.truncated = f.length < text.size();
        std::memcpy(p, text.data(), f.length);
        if (sqlt == oci::SQLT_STR && size > 0) p[f.length] = 0;
        return f;
    }
    case oci::SQLT_INT: {
        const double d = AsDouble(v);
        const int64_t i = std::get_if<int64_t>(&v) ? std::get<int64_t>(v) : static_cast<int64_t>(std::llround(d));
        f.length = f.fullLength = size;
        switch (size) {
        case 1: PutInt(p, static_cast<int8_t>(i)); return f;
        case 2: PutInt(p, static_cast<int16_t>(i)); return f;
        case 4: PutInt(p, static_cast<int32_t>(i)); return f;
        case 8: PutInt(p, i); return f;
        default: break;
        }
        break;
    }
    case oci::SQLT_FLT:
        f.length = f.fullLength = size;
        if (size == 4) { PutInt(p, static_cast<float>(AsDouble(v))); return f; }
        if (size == 8) { PutInt(p, AsDouble(v)); return f; }
        break;
    case oci::SQLT_DAT:
    case oci::SQLT_ODT: {
        const auto d = AsDate(v);
        if (!d) Fail(ora::InconsistentTypes, "expected DATE got NUMBER");
        if (size < 7) break;
        if (sqlt == oci::SQLT_DAT) {
            const int century = (d->year / 100) + 100, year = (d->year % 100) + 100;
            const unsigned char b[7] = {static_cast<unsigned char>(century), static_cast<unsigned char>(year),
                                        static_cast<unsigned char>(d->month), static_cast<unsigned char>(d->day),
                                        static_cast<unsigned char>(d->hour + 1), static_cast<unsigned char>(d->minute + 1),
                                        static_cast<unsigned char>(d->second + 1)};
            std::memcpy(p, b, 7);
            f.length = f.fullLength = 7;
        } else {
            const int16_t y = static_cast<int16_t>(d->year);
            std::memcpy(p, &y, 2);
            p[2] = static_cast<unsigned char>(d->month);
            p[3] = static_cast<unsigned char>(d->day);
            p[4] = static_cast<unsigned char>(d->hour);
            p[5] = static_cast<unsigned char>(d->minute);
            p[6] = static_cast<unsigned char>(d->second);
            if (size >= 8) p[7] = 0;
            f.length = f.fullLength = size >= 8 ? 8 : 7;
        }
        return f;
    }
    default:
        break;
    }
    Fail(ora::InconsistentTypes, "unsupported define type " + std::to_string(sqlt) + " of size " + std::to_string(size));
}

}  // namespace oradb

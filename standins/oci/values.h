// Values as the stand-in keeps them (SQLite's integers, reals and texts, and
// DATE as "YYYY-MM-DD HH:MM:SS") and their conversions to and from the
// client's external data types (SQLT_STR, SQLT_INT, SQLT_FLT, SQLT_DAT,
// SQLT_ODT and the character types), with Oracle's texts for numbers and dates.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace oradb {

struct Date {
    int year = 1, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    bool operator==(const Date&) const = default;
};

using Value = std::variant<std::monostate, int64_t, double, std::string, Date>;

inline bool IsNull(const Value& v) { return std::holds_alternative<std::monostate>(v); }

// A date as stored, and back; nullopt when the text is not one.
std::string StoredDate(const Date& d);
std::optional<Date> ParseStoredDate(std::string_view text);
bool IsValidDate(const Date& d);

// Oracle's texts: numbers without a leading zero before the point (".5"),
// dates in the default format DD-MON-RR ("01-JAN-01").
std::string NumberText(double v);
std::string DefaultDateText(const Date& d);
// Date formats of TO_CHAR and TO_DATE: DD, MM, MON, YYYY, YY, RR, HH24, HH,
// MI, SS and literal separators, letters in any case.
std::string FormatDate(const Date& d, std::string_view format);
std::optional<Date> ParseDate(std::string_view text, std::string_view format);

// A bound value from the client's buffer: `size` bytes of type `sqlt`.
// Throws OraError (ORA-00932) for a type the stand-in does not take.
Value FromExternal(uint16_t sqlt, const void* data, size_t size);

// Writes `v` into the client's buffer of type `sqlt` and `size` bytes.
struct Fetched {
    size_t length = 0;       // bytes the value takes in the buffer
    size_t fullLength = 0;   // before truncation
    bool truncated = false;
};
// Throws OraError: ORA-01722 for a text that is not a number, ORA-00932 for
// a type that does not fit the value.
Fetched ToExternal(const Value& v, uint16_t sqlt, void* buffer, size_t size);

}  // namespace oradb

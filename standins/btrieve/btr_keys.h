// Keys of a Btrieve file: their segments as the engine describes them, the
// key value a record carries, and the order of key values (extended types,
// descending segments, case-insensitive and alternate collating sequences).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace btr {

// Key flags of a segment.
namespace keyflag {
constexpr uint16_t Duplicates = 0x1;
constexpr uint16_t Modifiable = 0x2;
constexpr uint16_t Binary = 0x4;
constexpr uint16_t NullAll = 0x8;
constexpr uint16_t Segmented = 0x10;
constexpr uint16_t Acs = 0x20;
constexpr uint16_t Descending = 0x40;
constexpr uint16_t RepeatingDuplicates = 0x80;
constexpr uint16_t Extended = 0x100;
constexpr uint16_t NullAny = 0x200;
constexpr uint16_t NoCase = 0x400;
}  // namespace keyflag

// Extended key types.
namespace ext {
constexpr uint8_t String = 0;
constexpr uint8_t Integer = 1;
constexpr uint8_t Float = 2;
constexpr uint8_t Date = 3;
constexpr uint8_t Time = 4;
constexpr uint8_t Decimal = 5;
constexpr uint8_t Money = 6;
constexpr uint8_t Logical = 7;
constexpr uint8_t Numeric = 8;
constexpr uint8_t BFloat = 9;
constexpr uint8_t LString = 10;
constexpr uint8_t ZString = 11;
constexpr uint8_t UnsignedBinary = 14;
constexpr uint8_t AutoIncrement = 15;
}  // namespace ext

// An alternate collating sequence: a name and a byte map.
struct Acs {
    std::string name;  // 8 bytes, blank padded
    std::array<uint8_t, 256> map{};
};

struct Segment {
    uint16_t offset = 0;  // in the record, from 0
    uint16_t length = 0;
    uint16_t flags = 0;   // as the first segment's for the key-wide flags
    uint8_t type = ext::String;
    uint8_t nullValue = 0;
    int acs = -1;         // index into the file's ACS tables, or none
};

struct Key {
    std::vector<Segment> segments;
    uint16_t flags() const { return segments.empty() ? 0 : segments.front().flags; }
    bool duplicates() const { return flags() & keyflag::Duplicates; }
    bool modifiable() const { return flags() & keyflag::Modifiable; }
    uint16_t length() const;
};

// The key value of `record` (the segments' bytes, one after another).
std::string KeyValue(const Key& key, std::string_view record);

// Whether a record with this key value is left out of the index (null keys).
bool IsNullKey(const Key& key, std::string_view value);

// Orders key values: negative, zero or positive.
int CompareKeys(const Key& key, const std::vector<Acs>& acs, std::string_view a, std::string_view b);

}  // namespace btr

// Marking of SQL*Plus logs: which lines report errors, which match the
// ignore list, and the marked copy with separator lines around each error.
// Portable: the log is read from a source and the copy written to a sink, so
// the whole pass is tested and fuzzed natively. Log bytes are ANSI in both
// builds and pass unchanged.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "frame/line_list.h"

namespace kx::logcheck {

inline constexpr std::string_view kSeparator =
    "========================================================================================================================="
    "\r\n";
static_assert(kSeparator.size() == 123);

inline constexpr std::string_view kWarningStart = "Warning: Package ";
inline constexpr std::string_view kWarningRests[] = {"created with compilation errors.",
                                                     "Body created with compilation errors."};
// The longest warning marker less one byte: what a scan in pieces carries over.
inline constexpr size_t kWarningCarry = 17 + 37 - 1;
inline constexpr size_t kHeadLength = 9;

// Counts of one pass. Wider than 32 bits: a long log times a long ignore list
// can pass 2^31 matches, and a wrapped count would read as a wrong number.
struct Counts {
    int64_t errors = 0;
    int64_t ignored = 0;
};

// The ignore list, with every entry whole and untrimmed (empty ones
// included), and a count of how many entries contain a given line head.
class IgnoreList {
public:
    explicit IgnoreList(std::string_view fileContent) {
        ForEachLine(fileContent, [&](std::string_view line) { entries_.emplace_back(line); });
        size_t total = 0;
        for (const auto& e : entries_) total += e.size();
        indexed_ = total <= kIndexLimit;
        if (indexed_) BuildIndex();
    }

    size_t size() const { return entries_.size(); }

    // How many entries hold `head` (1 to 9 bytes) as a substring; an empty
    // head matches none. Entries are counted with their duplicates.
    int64_t Matches(std::string_view head) const {
        if (head.empty() || entries_.empty()) return 0;
        if (indexed_) {
            const auto it = index_.find(Key::Of(head));
            return it == index_.end() ? 0 : it->second;
        }
        const Key key = Key::Of(head);
        if (const auto it = memo_.find(key); it != memo_.end()) return it->second;
        int64_t n = 0;
        for (const auto& e : entries_)
            if (e.find(head) != std::string::npos) ++n;
        if (memo_.size() < kMemoLimit) memo_.emplace(key, n);
        return n;
    }

private:
    // A head of up to nine bytes packed with its length.
    struct Key {
        uint64_t low = 0;
        uint32_t high = 0;
        static Key Of(std::string_view s) {
            Key k;
            const size_t n = s.size() < 8 ? s.size() : 8;
            for (size_t i = 0; i < n; ++i) k.low |= uint64_t(static_cast<unsigned char>(s[i])) << (8 * i);
            if (s.size() > 8) k.high = static_cast<unsigned char>(s[8]);
            k.high |= static_cast<uint32_t>(s.size()) << 8;
            return k;
        }
        bool operator==(const Key& o) const { return low == o.low && high == o.high; }
    };
    struct KeyHash {
        size_t operator()(const Key& k) const {
            uint64_t h = (k.low ^ (uint64_t(k.high) << 40)) * 0x9E3779B97F4A7C15ull;
            return static_cast<size_t>(h ^ (h >> 29));
        }
    };

    // Every distinct substring of up to nine bytes of every entry, counted
    // once per entry: a head is then looked up once, whatever the list holds.
    // Up to this many entry bytes (nine keys per byte at most).
    static constexpr size_t kIndexLimit = 256 * 1024;
    // Heads remembered when the list is too large to index.
    static constexpr size_t kMemoLimit = 1 << 16;

    void BuildIndex() {
        std::vector<Key> keys;
        for (const auto& e : entries_) {
            keys.clear();
            for (size_t len = 1; len <= kHeadLength && len <= e.size(); ++len)
                for (size_t at = 0; at + len <= e.size(); ++at) keys.push_back(Key::Of(std::string_view(e).substr(at, len)));
            std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
                return a.low != b.low ? a.low < b.low : a.high < b.high;
            });
            keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
            for (const Key& k : keys) ++index_[k];
        }
    }

    std::vector<std::string> entries_;
    bool indexed_ = false;
    std::unordered_map<Key, int64_t, KeyHash> index_;
    mutable std::unordered_map<Key, int64_t, KeyHash> memo_;
};

enum class Verdict { Plain, Ignored, Error };

// Byte search eight bytes at a time. Written here rather than taken from the
// C runtime: the one the library links on Windows scans byte by byte, which
// made the search, not the disk, the limit on large logs.
namespace scan {
static_assert(std::endian::native == std::endian::little, "the lowest marked byte is the first in memory");
inline constexpr uint64_t kOnes = 0x0101010101010101ull;
inline constexpr uint64_t kHighs = 0x8080808080808080ull;
// Non-zero high bits mark the bytes of `w` equal to the byte in `pattern`
// (exact for the lowest marked byte, which is the one used).
inline uint64_t Equal(uint64_t w, uint64_t pattern) {
    const uint64_t x = w ^ pattern;
    return (x - kOnes) & ~x & kHighs;
}
inline int LowestMarked(uint64_t m) { return __builtin_ctzll(m) >> 3; }

// The first byte in [p, end) equal to `a` or `b`, or `end`.
inline const char* FindEither(const char* p, const char* end, char a, char b) {
    const uint64_t pa = kOnes * static_cast<unsigned char>(a), pb = kOnes * static_cast<unsigned char>(b);
    for (; end - p >= 8; p += 8) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        if (const uint64_t m = Equal(w, pa) | Equal(w, pb)) return p + LowestMarked(m);
    }
    for (; p < end; ++p)
        if (*p == a || *p == b) return p;
    return end;
}
}  // namespace scan

inline bool HasWarningMarker(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    const size_t need = kWarningStart.size() + kWarningRests[0].size();
    while (end - p >= static_cast<std::ptrdiff_t>(need)) {
        p = scan::FindEither(p, end, 'W', 'W');
        if (end - p < static_cast<std::ptrdiff_t>(need)) return false;
        const std::string_view rest(p, static_cast<size_t>(end - p));
        if (rest.compare(0, kWarningStart.size(), kWarningStart) == 0) {
            const std::string_view after = rest.substr(kWarningStart.size());
            for (std::string_view r : kWarningRests)
                if (after.compare(0, r.size(), r) == 0) return true;
        }
        ++p;
    }
    return false;
}

// "ORA-" or "SP2-" beginning at one of the head's first six positions, all
// four characters inside the head.
inline bool HasErrorPrefix(std::string_view head) {
    constexpr uint32_t ora = 'O' | 'R' << 8 | 'A' << 16 | '-' << 24, sp2 = 'S' | 'P' << 8 | '2' << 16 | '-' << 24;
    for (size_t at = 0; at < 6 && at + 4 <= head.size(); ++at) {
        uint32_t m;
        std::memcpy(&m, head.data() + at, 4);
        if (m == ora || m == sp2) return true;
    }
    return false;
}

// The verdict for a line whose head and warning test are known; adds to the counts.
inline Verdict Decide(std::string_view head, bool warning, const IgnoreList& ignore, Counts& counts) {
    if (warning) {
        ++counts.errors;
        return Verdict::Error;
    }
    if (const int64_t n = ignore.Matches(head); n > 0) {
        counts.ignored += n;
        return Verdict::Ignored;
    }
    if (HasErrorPrefix(head)) {
        ++counts.errors;
        return Verdict::Error;
    }
    return Verdict::Plain;
}

inline Verdict Classify(std::string_view line, const IgnoreList& ignore, Counts& counts) {
    return Decide(line.substr(0, kHeadLength), HasWarningMarker(line), ignore, counts);
}

// The same verdict for a line met in pieces (one too long to hold at once).
class LineScan {
public:
    void Feed(std::string_view piece) {
        if (head_.size() < kHeadLength) head_.append(piece.substr(0, kHeadLength - head_.size()));
        if (warning_) return;
        window_.append(piece);
        warning_ = HasWarningMarker(window_);
        if (window_.size() > kWarningCarry) window_.erase(0, window_.size() - kWarningCarry);
    }
    Verdict Finish(const IgnoreList& ignore, Counts& counts) const { return Decide(head_, warning_, ignore, counts); }

private:
    std::string head_, window_;
    bool warning_ = false;
};

// Marks a whole log. `source.Read(buf, n, got)` gives up to n bytes (none at
// the end) and returns false on a read error; `source.CopyRange(from, to, sink)` copies
// bytes already read once again (used only for a line longer than
// `lineLimit`); `sink.Write(view)` returns false on a write error. Lines end
// at CR LF, a lone CR or a lone LF; a last line without an end is a line; every
// line is written with CR LF. False when reading or writing failed.
template <class Source, class Sink>
bool MarkLog(Source& source, Sink& sink, const IgnoreList& ignore, Counts& counts, size_t lineLimit = 8u << 20,
             size_t chunkSize = 1u << 20) {
    std::vector<char> chunk(chunkSize);
    std::string pending;        // the start of a line cut by the chunk's end
    bool long_ = false;         // the current line is too long to hold
    LineScan scan;              // its verdict so far
    uint64_t lineStart = 0;     // offset of the current line in the log
    uint64_t offset = 0;        // offset of the chunk's first byte
    bool skipLf = false;        // a CR ended the last chunk: an LF may follow

    auto emit = [&](std::string_view line, Verdict v) {
        const bool error = v == Verdict::Error;
        return (!error || sink.Write(kSeparator)) && sink.Write(line) && sink.Write("\r\n") &&
               (!error || sink.Write(kSeparator));
    };
    auto finishLine = [&](std::string_view tail, uint64_t end) {
        if (!long_) {
            if (pending.empty()) return emit(tail, Classify(tail, ignore, counts));
            pending.append(tail);
            const bool ok = emit(pending, Classify(pending, ignore, counts));
            pending.clear();
            return ok;
        }
        scan.Feed(tail);
        const bool error = scan.Finish(ignore, counts) == Verdict::Error;
        const bool ok = (!error || sink.Write(kSeparator)) && source.CopyRange(lineStart, end, sink) &&
                        sink.Write("\r\n") && (!error || sink.Write(kSeparator));
        long_ = false;
        scan = LineScan();
        return ok;
    };
    auto keepPart = [&](std::string_view part) {
        if (long_) {
            scan.Feed(part);
            return;
        }
        if (pending.size() + part.size() <= lineLimit) {
            pending.append(part);
            return;
        }
        long_ = true;
        scan.Feed(pending);
        scan.Feed(part);
        pending.clear();
        pending.shrink_to_fit();
    };

    for (;;) {
        size_t got = 0;
        if (!source.Read(chunk.data(), chunk.size(), got)) return false;
        if (got == 0) break;
        const char* p = chunk.data();
        const char* end = p + got;
        if (skipLf) {
            skipLf = false;
            if (*p == '\n') ++p, lineStart = offset + 1;
        }
        while (p < end) {
            const char* brk = scan::FindEither(p, end, '\r', '\n');
            if (brk == end) {
                keepPart(std::string_view(p, static_cast<size_t>(end - p)));
                break;
            }
            const uint64_t brkAt = offset + static_cast<uint64_t>(brk - chunk.data());
            if (!finishLine(std::string_view(p, static_cast<size_t>(brk - p)), brkAt)) return false;
            p = brk + 1;
            if (*brk == '\r') {
                if (p == end) skipLf = true;
                else if (*p == '\n') ++p;
            }
            lineStart = offset + static_cast<uint64_t>(p - chunk.data());
        }
        offset += got;
    }
    if (long_ || !pending.empty()) return finishLine(std::string_view(), offset);
    return true;
}

}  // namespace kx::logcheck

// In-memory source and sink for the log marking, and a plain reference
// implementation of the rules to compare it with (tests and fuzzer).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/log_check.h"

namespace kx::logcheck {

struct MemorySource {
    std::string data;
    size_t step = 1 << 20;        // at most this much per read
    size_t failAt = SIZE_MAX;     // the read that fails, counted from 1
    size_t pos = 0, reads = 0;
    bool Read(char* buf, size_t n, size_t& got) {
        if (++reads == failAt) return false;
        got = std::min({n, step, data.size() - pos});
        std::copy_n(data.data() + pos, got, buf);
        pos += got;
        return true;
    }
    template <class Sink>
    bool CopyRange(uint64_t from, uint64_t to, Sink& sink) {
        return from <= to && to <= data.size() &&
               sink.Write(std::string_view(data).substr(static_cast<size_t>(from), static_cast<size_t>(to - from)));
    }
};

struct MemorySink {
    std::string out;
    size_t failAfter = SIZE_MAX;  // writes that succeed before one fails
    size_t writes = 0;
    bool Write(std::string_view s) {
        if (writes++ >= failAfter) return false;
        out.append(s);
        return true;
    }
};

struct Marked {
    bool ok = false;
    Counts counts;
    std::string marked;
};

inline Marked MarkInMemory(const std::string& ignore, const std::string& log, size_t lineLimit, size_t chunk) {
    const IgnoreList list(ignore);
    MemorySource source{log, chunk};
    MemorySink sink;
    Marked r;
    r.ok = MarkLog(source, sink, list, r.counts, lineLimit, chunk);
    r.marked = std::move(sink.out);
    return r;
}

// The rules read literally: every line against every entry.
inline std::vector<std::string> ReferenceLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string cur;
    bool open = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(cur);
            cur.clear();
            open = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            cur.push_back(c);
            open = true;
        }
    }
    if (open) lines.push_back(cur);
    return lines;
}

inline Marked Reference(const std::string& ignore, const std::string& log) {
    const auto entries = ReferenceLines(ignore);
    Marked r;
    r.ok = true;
    const std::string sep(kSeparator);
    for (const std::string& line : ReferenceLines(log)) {
        const std::string head = line.substr(0, 9);
        bool error = line.find("Warning: Package created with compilation errors.") != std::string::npos ||
                     line.find("Warning: Package Body created with compilation errors.") != std::string::npos;
        if (!error) {
            int64_t n = 0;
            for (const auto& e : entries)
                if (!head.empty() && e.find(head) != std::string::npos) ++n;
            r.counts.ignored += n;
            if (n == 0)
                for (size_t at = 0; at <= 5; ++at)
                    if (head.size() >= at + 4 && (head.compare(at, 4, "ORA-") == 0 || head.compare(at, 4, "SP2-") == 0))
                        error = true;
        }
        if (error) ++r.counts.errors;
        r.marked += (error ? sep : "") + line + "\r\n" + (error ? sep : "");
    }
    return r;
}

inline Counts ReferenceCounts(const std::string& ignore, const std::string& log) { return Reference(ignore, log).counts; }

}  // namespace kx::logcheck

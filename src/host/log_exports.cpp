// Log exports: CheckLog marks the error lines of a SQL*Plus log and counts
// them and the ignore-list matches; WriteLine appends a line to a file.
#include <string>
#include <vector>

#include "frame/guard.h"
#include "frame/handles.h"
#include "frame/sys.h"
#include "host/file_io.h"
#include "host/log_check.h"

namespace {

constexpr DWORD kIoChunk = 1 << 20;

// The log, read in order; a line too long to hold is read again by offset.
class FileSource {
public:
    explicit FileSource(HANDLE h) : h_(h) {}
    bool Read(char* buf, size_t n, size_t& got) {
        DWORD read = 0;
        if (!ReadFile(h_, buf, static_cast<DWORD>(n), &read, nullptr)) return false;
        got = read;
        return true;
    }
    template <class Sink>
    bool CopyRange(uint64_t from, uint64_t to, Sink& sink) {
        LARGE_INTEGER here{}, zero{}, start{};
        start.QuadPart = static_cast<LONGLONG>(from);
        if (!SetFilePointerEx(h_, zero, &here, FILE_CURRENT) || !SetFilePointerEx(h_, start, nullptr, FILE_BEGIN))
            return false;
        std::vector<char> buf(kIoChunk);
        bool ok = true;
        for (uint64_t left = to - from; ok && left > 0;) {
            const DWORD want = static_cast<DWORD>(left < kIoChunk ? left : kIoChunk);
            DWORD got = 0;
            ok = ReadFile(h_, buf.data(), want, &got, nullptr) && got == want &&
                 sink.Write(std::string_view(buf.data(), got));
            left -= got;
        }
        return SetFilePointerEx(h_, here, nullptr, FILE_BEGIN) && ok;
    }

private:
    HANDLE h_;
};

// The marked copy, written in large blocks.
class FileSink {
public:
    explicit FileSink(HANDLE h) : h_(h) { buf_.reserve(kIoChunk); }
    bool Write(std::string_view s) {
        if (buf_.size() + s.size() > kIoChunk && !Flush()) return false;
        if (s.size() >= kIoChunk) return Put(s.data(), s.size());
        buf_.append(s);
        return true;
    }
    bool Flush() {
        const bool ok = Put(buf_.data(), buf_.size());
        buf_.clear();
        return ok;
    }

private:
    bool Put(const char* p, size_t n) {
        while (n > 0) {
            const DWORD want = static_cast<DWORD>(n < kIoChunk ? n : kIoChunk);
            DWORD put = 0;
            if (!WriteFile(h_, p, want, &put, nullptr) || put != want) return false;
            p += put;
            n -= put;
        }
        return true;
    }
    HANDLE h_;
    std::string buf_;
};

// Marks `log` into `copy`; false on any failure, with `created` telling
// whether the copy was made. The log is never written.
bool MarkLogFile(const kx::Text& log, const kx::Text& copy, const kx::logcheck::IgnoreList& ignore,
                 kx::logcheck::Counts& counts, bool& created) {
    kx::FileHandle in(kx::sys::OpenFile(log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
    if (!in) return false;
    kx::FileHandle out(kx::sys::OpenFile(copy.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS));
    if (!out) return false;
    created = true;
    FileSource source(in.get());
    FileSink sink(out.get());
    bool ok = kx::logcheck::MarkLog(source, sink, ignore, counts) && sink.Flush();
    // The copy is complete on disk before it may replace the log.
    ok = ok && FlushFileBuffers(out.get());
    return CloseHandle(out.release()) && ok;
}

std::string CountsText(const kx::logcheck::Counts& c) {
    return std::to_string(c.errors) + " " + std::to_string(c.ignored);
}

}  // namespace

KX_EXPORT const char* CheckLog(const char* logFile, const char* ignoreFile) {
    return kx::GuardText(kx::fixed::Questions3, [&]() -> kx::TextResult {
        const kx::Text log = kx::Arg(logFile), ignoreName = kx::Arg(ignoreFile);
        const auto failed = kx::TextResult::Fixed(kx::fixed::Questions3);
        if (kx::sys::GetAttributes(ignoreName.c_str()) == INVALID_FILE_ATTRIBUTES) return failed;
        const kx::logcheck::IgnoreList ignore(kx::ReadFileBytes(ignoreName));
        kx::ClearReadOnly(log);
        const kx::Text copy = log + KX_T("_");
        kx::logcheck::Counts counts;
        bool created = false;
        if (!MarkLogFile(log, copy, ignore, counts, created)) {
            // The log is untouched; a partial copy is of no use to anyone.
            if (created) kx::sys::RemoveFile(copy.c_str());
            return failed;
        }
        // One step: the log is never missing. When it cannot be replaced (held
        // open by another program), the copy stays under its "_" name.
        kx::sys::ReplaceWith(copy.c_str(), log.c_str());
        const std::string text = CountsText(counts);
        return kx::Text(text.begin(), text.end());
    });
}

KX_EXPORT void WriteLine(const char* file, const char* text) {
    kx::GuardVoid([&] {
        const kx::Text name = kx::Arg(file);
        kx::ClearReadOnly(name);
        kx::FileHandle f(kx::sys::OpenFile(name.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS));
        if (!f) return;
        // The script's bytes as they are: ANSI in both builds.
        std::string line = text ? text : "";
        line += "\r\n";
        DWORD put = 0;
        WriteFile(f.get(), line.data(), static_cast<DWORD>(line.size()), &put, nullptr);
    });
}

// The engine's file system: whole-file reads, and writes that replace a file
// in one step (a complete image beside it, flushed, then moved over it).
#include <cctype>
#include <cstdio>

#include "btr_engine.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <filesystem>
#endif

namespace btr {
namespace {

#ifdef _WIN32

class WindowsStorage : public Storage {
public:
    std::optional<std::string> Read(const std::string& path) override {
        HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return std::nullopt;
        LARGE_INTEGER size{};
        std::optional<std::string> out;
        if (GetFileSizeEx(h, &size) && size.QuadPart < (1LL << 31)) {
            std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
            DWORD got = 0;
            if (bytes.empty() || (ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                                  got == bytes.size()))
                out = std::move(bytes);
        }
        CloseHandle(h);
        return out;
    }
    bool Exists(const std::string& path) override {
        const DWORD a = GetFileAttributesA(path.c_str());
        return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool Replace(const std::string& path, const std::string& image) override {
        const std::string temp = path + ".~kx";
        HANDLE h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        DWORD put = 0;
        const bool written = WriteFile(h, image.data(), static_cast<DWORD>(image.size()), &put, nullptr) &&
                             put == image.size() && FlushFileBuffers(h);
        CloseHandle(h);
        if (!written || !MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            DeleteFileA(temp.c_str());
            return false;
        }
        return true;
    }
    // The full path with the file's own name as the directory spells it, so
    // the image that replaces it keeps that name.
    std::string FullPath(const std::string& path) override {
        char full[MAX_PATH * 2] = {};
        const DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
        std::string r = n > 0 && n < sizeof full ? std::string(full, n) : path;
        WIN32_FIND_DATAA found{};
        HANDLE h = FindFirstFileA(r.c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) {
            FindClose(h);
            const size_t slash = r.find_last_of('\\');
            if (slash != std::string::npos) r = r.substr(0, slash + 1) + found.cFileName;
        }
        return r;
    }
    std::string Canonical(const std::string& path) override {
        std::string r = FullPath(path);
        CharUpperBuffA(r.data(), static_cast<DWORD>(r.size()));
        return r;
    }
};

#else

class PosixStorage : public Storage {
public:
    std::optional<std::string> Read(const std::string& path) override {
        FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) return std::nullopt;
        std::string bytes;
        char buffer[65536];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
        const bool ok = !std::ferror(f);
        std::fclose(f);
        if (!ok) return std::nullopt;
        return bytes;
    }
    bool Exists(const std::string& path) override {
        std::error_code ec;
        return std::filesystem::is_regular_file(path, ec);
    }
    bool Replace(const std::string& path, const std::string& image) override {
        const std::string temp = path + ".~kx";
        FILE* f = std::fopen(temp.c_str(), "wb");
        if (!f) return false;
        bool ok = std::fwrite(image.data(), 1, image.size(), f) == image.size() && std::fflush(f) == 0 &&
                  fsync(fileno(f)) == 0;
        ok = std::fclose(f) == 0 && ok;
        if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
            std::remove(temp.c_str());
            return false;
        }
        return true;
    }
    std::string FullPath(const std::string& path) override {
        std::error_code ec;
        const auto p = std::filesystem::absolute(path, ec).lexically_normal();
        return ec ? path : p.string();
    }
    std::string Canonical(const std::string& path) override { return FullPath(path); }
};

#endif

}  // namespace

std::unique_ptr<Storage> FileSystemStorage() {
#ifdef _WIN32
    return std::make_unique<WindowsStorage>();
#else
    return std::make_unique<PosixStorage>();
#endif
}

}  // namespace btr

#include "file_fixture.h"

#include <stdexcept>

namespace kxtest {

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            const std::string full = path + "\\" + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(path.c_str());
}

std::string BesideTests(const std::string& file) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p = path;
    return p.substr(0, p.rfind('\\') + 1) + file;
}

static void MakeDirs(const std::string& path) {
    for (size_t at = path.find('\\', 3); ; at = path.find('\\', at + 1)) {
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
        if (at == std::string::npos) break;
    }
}

ScratchDir::ScratchDir(const std::string& name) : path_("C:\\KXT\\" + name) {
    RemoveTree(path_);
    MakeDirs(path_);
}

ScratchDir::~ScratchDir() { RemoveTree(path_); }

std::string ScratchDir::Write(const std::string& relative, const std::string& content) const {
    const std::string full = path_ + "\\" + relative;
    MakeDirs(full.substr(0, full.rfind('\\')));
    HANDLE h = CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + full);
    DWORD put = 0;
    WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &put, nullptr);
    CloseHandle(h);
    return full;
}

std::string ReadFileBytes(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::string out(GetFileSize(h, nullptr), '\0');
    DWORD got = 0;
    ReadFile(h, out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
    CloseHandle(h);
    out.resize(got);
    return out;
}

unsigned SystemCrc32(const std::string& data) {
    using Fn = DWORD(WINAPI*)(DWORD, const BYTE*, INT);
    auto f = reinterpret_cast<Fn>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlComputeCrc32"));
    if (!f) throw std::runtime_error("no RtlComputeCrc32");
    return f(0, reinterpret_cast<const BYTE*>(data.data()), static_cast<INT>(data.size()));
}

}  // namespace kxtest

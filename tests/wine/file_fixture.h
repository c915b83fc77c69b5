// Scratch directories and files for tests, under C:\KXT with 8.3-form names
// (Wine's generated short names differ from Windows', so tests compare only
// names that are already short).
#pragma once

#include <windows.h>

#include <string>

namespace kxtest {

class ScratchDir {
public:
    explicit ScratchDir(const std::string& name);  // C:\KXT\<name>, emptied
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }
    // Writes a file below the directory (creating its directories); returns its full path.
    std::string Write(const std::string& relative, const std::string& content) const;

private:
    std::string path_;
};

void RemoveTree(const std::string& path);
// A file staged beside the test program (the test DLLs, kxchild.exe).
std::string BesideTests(const std::string& file);
std::string ReadFileBytes(const std::string& path);
// The standard CRC-32 as the system's own ntdll computes it.
unsigned SystemCrc32(const std::string& data);

}  // namespace kxtest

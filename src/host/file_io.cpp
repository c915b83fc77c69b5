#include "host/file_io.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "frame/handles.h"
#include "frame/sys.h"

namespace kx {

void ClearReadOnly(const Text& file) {
    const DWORD a = sys::GetAttributes(file.c_str());
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY))
        sys::SetAttributes(file.c_str(), a & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

bool ReadChunks(HANDLE file, const std::function<void(const char*, size_t)>& each) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return false;
        if (got == 0) return true;
        each(buffer.data(), got);
    }
}

std::string ReadFileBytes(const Text& file) {
    FileHandle f(sys::OpenFile(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
    if (!f) throw std::runtime_error("cannot open file");
    std::string bytes;
    if (!ReadChunks(f.get(), [&](const char* d, size_t n) { bytes.append(d, n); }))
        throw std::runtime_error("cannot read file");
    return bytes;
}

Text ReadTextFile(const Text& file) { return FromAnsi(ReadFileBytes(file)); }

Text ShortPathName(const Text& path) {
    if (path.empty()) return Text();
    Text out(MAX_PATH, Char(0));
    DWORD n = sys::ShortPath(path.c_str(), out.data(), static_cast<DWORD>(out.size()));
    if (n > out.size()) {
        out.resize(n);
        n = sys::ShortPath(path.c_str(), out.data(), static_cast<DWORD>(out.size()));
    }
    if (n == 0 || n > out.size()) return Text();
    out.resize(n);
    return out;
}

}  // namespace kx

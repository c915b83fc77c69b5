// File and module exports: MD5 digests, version-resource values, folder
// deletion through the shell, and the computer name.
#include <optional>
#include <vector>

#include "frame/guard.h"
#include "frame/handles.h"
#include "frame/sys.h"
#include "host/file_io.h"

namespace {

// Results of DeleteFolder that the library gives itself: the shell's own code
// for an invalid source path.
constexpr int kInvalidPath = 0x7C;

std::string HexDigits(const BYTE* data, size_t n) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out.push_back(digits[data[i] >> 4]);
        out.push_back(digits[data[i] & 15]);
    }
    return out;
}

// The value `name` of a string table, or nothing when the query fails.
std::optional<kx::Text> QueryString(const std::vector<BYTE>& block, const kx::Char* table, const kx::Text& name) {
    const kx::Text path = kx::Text(KX_T("\\StringFileInfo\\")) + table + KX_T("\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!kx::sys::QueryVersion(block.data(), path.c_str(), &value, &length)) return std::nullopt;
    if (length == 0 || value == nullptr) return kx::Text();
    // The reported length counts the zero; the text ends at its first zero.
    const auto* p = static_cast<const kx::Char*>(value);
    return kx::Text(p, length).c_str();
}

bool IsDriveRoot(const kx::Text& full) {
    return (full.size() == 3 && full[1] == kx::Char(':') && full[2] == kx::Char('\\')) ||
           (full.size() == 2 && full[1] == kx::Char(':'));
}

}  // namespace

KX_EXPORT const char* CalcFileMD5(const char* file) {
    return kx::GuardText(kx::fixed::Empty, [&]() -> kx::TextResult {
        const kx::Text name = kx::Arg(file);
        kx::FileHandle f(kx::sys::OpenFile(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
        kx::CryptProvider provider;
        kx::CryptHash hash;
        if (!f || !CryptAcquireContextW(provider.put(), nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) ||
            !CryptCreateHash(provider.get(), CALG_MD5, 0, 0, hash.put()))
            return kx::TextResult::Fixed(kx::fixed::Empty);
        bool hashed = true;
        const bool read = kx::ReadChunks(f.get(), [&](const char* d, size_t n) {
            hashed = hashed && CryptHashData(hash.get(), reinterpret_cast<const BYTE*>(d), static_cast<DWORD>(n), 0);
        });
        BYTE digest[16];
        DWORD size = sizeof digest;
        if (!read || !hashed || !CryptGetHashParam(hash.get(), HP_HASHVAL, digest, &size, 0) || size != 16)
            return kx::TextResult::Fixed(kx::fixed::Empty);
        const std::string hex = HexDigits(digest, 16);
        return kx::Text(hex.begin(), hex.end());
    });
}

KX_EXPORT const char* GetModuleVersion(const char* file, const char* name) {
    return kx::GuardText(kx::fixed::Empty, [&]() -> kx::TextResult {
        const kx::Text f = kx::Arg(file), n = kx::Arg(name);
        const DWORD size = kx::sys::VersionInfoSize(f.c_str());
        if (size == 0) return kx::TextResult::Fixed(kx::fixed::Empty);
        std::vector<BYTE> block(size);
        if (!kx::sys::VersionInfo(f.c_str(), size, block.data())) return kx::TextResult::Fixed(kx::fixed::Empty);
        // U.S. English in 1252 first; the Russian table in 1251 only when the
        // first query fails.
        auto value = QueryString(block, KX_T("040904E4"), n);
        if (!value) value = QueryString(block, KX_T("041904E3"), n);
        if (!value || value->empty()) return kx::TextResult::Fixed(kx::fixed::Empty);
        return *value;
    });
}

KX_EXPORT int DeleteFolder(const char* path) {
    return kx::GuardInt(kInvalidPath, [&] {
        const kx::Text p = kx::Arg(path);
        if (p.empty()) return kInvalidPath;
        kx::Text full(MAX_PATH, kx::Char(0));
        DWORD n = kx::sys::FullPath(p.c_str(), static_cast<DWORD>(full.size()), full.data());
        if (n >= full.size()) {
            full.resize(n + 1);
            n = kx::sys::FullPath(p.c_str(), static_cast<DWORD>(full.size()), full.data());
        }
        if (n == 0 || n >= full.size()) return kInvalidPath;
        full.resize(n);
        // A whole drive is never an installation folder.
        if (IsDriveRoot(full)) return kInvalidPath;
        full.push_back(kx::Char(0));  // the list's second zero
        return kx::sys::ShellDelete(full.c_str(), FOF_SILENT | FOF_NOCONFIRMATION);
    });
}

// The export's name is also a macro of the Windows headers.
#undef GetComputerName
KX_EXPORT const char* GetComputerName() {
    return kx::GuardText(kx::fixed::Empty, [&]() -> kx::TextResult {
        kx::Char buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
        DWORD n = MAX_COMPUTERNAME_LENGTH + 1;
        if (!kx::sys::ComputerName(buffer, &n)) return kx::TextResult::Fixed(kx::fixed::Empty);
        return kx::Text(buffer, n);
    });
}

// Registry helpers for tests: read, write and remove keys and values under
// HKEY_LOCAL_MACHINE directly through the W functions, independent of the
// library under test.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace kxtest::reg {

struct Value {
    DWORD type = 0;
    std::string data;  // raw bytes
};

// Deletes a key and everything below it; a missing key is fine.
void DeleteTree(const std::wstring& path);
bool KeyExists(const std::wstring& path);
std::optional<Value> Read(const std::wstring& path, const std::wstring& name);
void WriteDword(const std::wstring& path, const std::wstring& name, DWORD v);
void WriteString(const std::wstring& path, const std::wstring& name, const std::wstring& v);
void CreateKey(const std::wstring& path);
// Subkey names as the registry enumerates them.
std::vector<std::wstring> Subkeys(const std::wstring& path);
// Creates a volatile key: the system refuses non-volatile keys below it.
void CreateVolatile(const std::wstring& path);

inline std::optional<DWORD> ReadDword(const std::wstring& path, const std::wstring& name) {
    auto v = Read(path, name);
    if (!v || v->type != REG_DWORD || v->data.size() != 4) return std::nullopt;
    DWORD d;
    memcpy(&d, v->data.data(), 4);
    return d;
}

}  // namespace kxtest::reg

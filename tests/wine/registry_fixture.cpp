#include "registry_fixture.h"

#include <stdexcept>

namespace kxtest::reg {

namespace {
struct Key {
    HKEY h = nullptr;
    ~Key() {
        if (h) RegCloseKey(h);
    }
};

void Check(LONG rc, const char* what) {
    if (rc != ERROR_SUCCESS) throw std::runtime_error(std::string(what) + " failed: " + std::to_string(rc));
}
}  // namespace

void DeleteTree(const std::wstring& path) {
    LONG rc = RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) Check(rc, "RegDeleteTree");
    rc = RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) Check(rc, "RegDeleteKey");
}

bool KeyExists(const std::wstring& path) {
    Key k;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &k.h) == ERROR_SUCCESS;
}

std::optional<Value> Read(const std::wstring& path, const std::wstring& name) {
    Key k;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &k.h) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(k.h, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    Value v;
    v.type = type;
    v.data.resize(size);
    Check(RegQueryValueExW(k.h, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(v.data.data()), &size),
          "RegQueryValueEx");
    v.data.resize(size);
    return v;
}

static void Write(const std::wstring& path, const std::wstring& name, DWORD type, const void* data, DWORD size) {
    Key k;
    Check(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k.h, nullptr),
          "RegCreateKeyEx");
    Check(RegSetValueExW(k.h, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), "RegSetValueEx");
}

void WriteDword(const std::wstring& path, const std::wstring& name, DWORD v) {
    Write(path, name, REG_DWORD, &v, sizeof v);
}

void WriteString(const std::wstring& path, const std::wstring& name, const std::wstring& v) {
    Write(path, name, REG_SZ, v.c_str(), static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t)));
}

void CreateKey(const std::wstring& path) {
    Key k;
    Check(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k.h, nullptr),
          "RegCreateKeyEx");
}

std::vector<std::wstring> Subkeys(const std::wstring& path) {
    Key k;
    std::vector<std::wstring> names;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &k.h) != ERROR_SUCCESS) return names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD n = 256;
        if (RegEnumKeyExW(k.h, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, n);
    }
    return names;
}

void CreateVolatile(const std::wstring& path) {
    Key k;
    Check(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                          &k.h, nullptr),
          "RegCreateKeyEx volatile");
}

}  // namespace kxtest::reg

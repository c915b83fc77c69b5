#include "host/registry.h"

#include <stdexcept>

#include "frame/sys.h"

namespace kx::hklm {

TextView KeyPath(TextView path) {
    if (!path.empty() && path.front() == Char('\\')) path.remove_prefix(1);
    return path;
}

RegKey Open(TextView path) {
    RegKey key;
    const Text p(KeyPath(path));
    if (sys::OpenKey(HKEY_LOCAL_MACHINE, p.c_str(), KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) key.reset();
    return key;
}

RegKey Create(TextView path) {
    RegKey key;
    const Text p(KeyPath(path));
    if (sys::CreateKey(HKEY_LOCAL_MACHINE, p.c_str(), KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) key.reset();
    return key;
}

std::vector<Text> SubkeyNames(HKEY key) {
    DWORD count = 0, longest = 0;
    if (sys::QueryKeyInfo(key, &count, &longest, static_cast<Char*>(nullptr)) != ERROR_SUCCESS)
        throw std::runtime_error("RegQueryInfoKey failed");
    std::vector<Text> names;
    Text buffer(longest + 1, Char(0));
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(buffer.size());
        const LONG rc = sys::EnumKey(key, i, buffer.data(), &length);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc == ERROR_MORE_DATA) {  // a longer name appeared meanwhile
            buffer.resize(buffer.size() * 2);
            --i;
            continue;
        }
        if (rc != ERROR_SUCCESS) throw std::runtime_error("RegEnumKeyEx failed");
        names.emplace_back(buffer.data(), length);
    }
    return names;
}

std::optional<Text> ReadText(HKEY key, const Text& name) {
    DWORD type = 0, size = 0;
    LONG rc = sys::QueryValue(key, name.c_str(), &type, nullptr, &size);
    if (rc == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (rc != ERROR_SUCCESS) throw std::runtime_error("RegQueryValueEx failed");
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw std::runtime_error("value is not text");
    Text value(size / sizeof(Char) + 1, Char(0));
    size = static_cast<DWORD>(value.size() * sizeof(Char));
    rc = sys::QueryValue(key, name.c_str(), &type, reinterpret_cast<BYTE*>(value.data()), &size);
    if (rc != ERROR_SUCCESS) throw std::runtime_error("RegQueryValueEx failed");
    // The stored text may or may not carry its zero; it ends at the first one.
    value.resize(Text(value.c_str()).size());
    return value;
}

void DeleteTree(HKEY parent, const Text& name) {
    {
        RegKey key;
        if (sys::OpenKey(parent, name.c_str(), KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) return;
        DWORD count = 0, longest = 0;
        if (sys::QueryKeyInfo(key.get(), &count, &longest, static_cast<Char*>(nullptr)) == ERROR_SUCCESS) {
            Text buffer(longest + 1, Char(0));
            // From the last index down, so deleting one does not shift the rest.
            for (DWORD i = count; i-- > 0;) {
                DWORD length = static_cast<DWORD>(buffer.size());
                if (sys::EnumKey(key.get(), i, buffer.data(), &length) != ERROR_SUCCESS) continue;
                DeleteTree(key.get(), Text(buffer.data(), length));
            }
        }
    }
    sys::DeleteKey(parent, name.c_str());
}

}  // namespace kx::hklm

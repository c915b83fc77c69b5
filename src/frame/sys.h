// Thin wrappers over the system functions whose A and W forms the two builds
// choose between: one overload per character type, so the logic above is
// written once and the build's text type picks the form.
#pragma once

#include <windows.h>

namespace kx::sys {

inline LONG CreateKey(HKEY root, const char* path, REGSAM access, HKEY* key) {
    return RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, key, nullptr);
}
inline LONG CreateKey(HKEY root, const wchar_t* path, REGSAM access, HKEY* key) {
    return RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, key, nullptr);
}

inline LONG OpenKey(HKEY root, const char* path, REGSAM access, HKEY* key) {
    return RegOpenKeyExA(root, path, 0, access, key);
}
inline LONG OpenKey(HKEY root, const wchar_t* path, REGSAM access, HKEY* key) {
    return RegOpenKeyExW(root, path, 0, access, key);
}

inline LONG QueryValue(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) {
    return RegQueryValueExA(key, name, nullptr, type, data, size);
}
inline LONG QueryValue(HKEY key, const wchar_t* name, DWORD* type, BYTE* data, DWORD* size) {
    return RegQueryValueExW(key, name, nullptr, type, data, size);
}

inline LONG SetValue(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) {
    return RegSetValueExA(key, name, 0, type, data, size);
}
inline LONG SetValue(HKEY key, const wchar_t* name, DWORD type, const BYTE* data, DWORD size) {
    return RegSetValueExW(key, name, 0, type, data, size);
}

inline int CompareText(LCID locale, DWORD flags, const char* a, int la, const char* b, int lb) {
    return CompareStringA(locale, flags, a, la, b, lb);
}
inline int CompareText(LCID locale, DWORD flags, const wchar_t* a, int la, const wchar_t* b, int lb) {
    return CompareStringW(locale, flags, a, la, b, lb);
}

inline DWORD UpperBuffer(char* s, DWORD n) { return CharUpperBuffA(s, n); }
inline DWORD UpperBuffer(wchar_t* s, DWORD n) { return CharUpperBuffW(s, n); }

}  // namespace kx::sys

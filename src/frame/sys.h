// Thin wrappers over the system functions whose A and W forms the two builds
// choose between: one overload per character type, so the logic above is
// written once and the build's text type picks the form.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <winver.h>

#include <type_traits>

#include "frame/text.h"

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

inline LONG EnumKey(HKEY key, DWORD index, char* name, DWORD* length) {
    return RegEnumKeyExA(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
}
inline LONG EnumKey(HKEY key, DWORD index, wchar_t* name, DWORD* length) {
    return RegEnumKeyExW(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
}

inline LONG QueryKeyInfo(HKEY key, DWORD* subkeys, DWORD* longestName, char*) {
    return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, subkeys, longestName, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr);
}
inline LONG QueryKeyInfo(HKEY key, DWORD* subkeys, DWORD* longestName, wchar_t*) {
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, subkeys, longestName, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr);
}

inline LONG DeleteKey(HKEY parent, const char* name) { return RegDeleteKeyA(parent, name); }
inline LONG DeleteKey(HKEY parent, const wchar_t* name) { return RegDeleteKeyW(parent, name); }

inline LONG DeleteValue(HKEY key, const char* name) { return RegDeleteValueA(key, name); }
inline LONG DeleteValue(HKEY key, const wchar_t* name) { return RegDeleteValueW(key, name); }

inline DWORD GetAttributes(const char* path) { return GetFileAttributesA(path); }
inline DWORD GetAttributes(const wchar_t* path) { return GetFileAttributesW(path); }
inline BOOL SetAttributes(const char* path, DWORD a) { return SetFileAttributesA(path, a); }
inline BOOL SetAttributes(const wchar_t* path, DWORD a) { return SetFileAttributesW(path, a); }

inline HANDLE OpenFile(const char* path, DWORD access, DWORD share, DWORD disposition,
                       DWORD flags = FILE_ATTRIBUTE_NORMAL) {
    return CreateFileA(path, access, share, nullptr, disposition, flags, nullptr);
}
inline HANDLE OpenFile(const wchar_t* path, DWORD access, DWORD share, DWORD disposition,
                       DWORD flags = FILE_ATTRIBUTE_NORMAL) {
    return CreateFileW(path, access, share, nullptr, disposition, flags, nullptr);
}

inline DWORD ShortPath(const char* path, char* out, DWORD n) { return GetShortPathNameA(path, out, n); }
inline DWORD ShortPath(const wchar_t* path, wchar_t* out, DWORD n) { return GetShortPathNameW(path, out, n); }

inline DWORD FullPath(const char* path, DWORD n, char* out) { return GetFullPathNameA(path, n, out, nullptr); }
inline DWORD FullPath(const wchar_t* path, DWORD n, wchar_t* out) { return GetFullPathNameW(path, n, out, nullptr); }

inline BOOL ComputerName(char* out, DWORD* n) { return GetComputerNameA(out, n); }
inline BOOL ComputerName(wchar_t* out, DWORD* n) { return GetComputerNameW(out, n); }

inline DWORD VersionInfoSize(const char* file) { return GetFileVersionInfoSizeA(file, nullptr); }
inline DWORD VersionInfoSize(const wchar_t* file) { return GetFileVersionInfoSizeW(file, nullptr); }
inline BOOL VersionInfo(const char* file, DWORD size, void* data) { return GetFileVersionInfoA(file, 0, size, data); }
inline BOOL VersionInfo(const wchar_t* file, DWORD size, void* data) { return GetFileVersionInfoW(file, 0, size, data); }
inline BOOL QueryVersion(const void* block, const char* path, void** value, UINT* length) {
    return VerQueryValueA(block, path, value, length);
}
inline BOOL QueryVersion(const void* block, const wchar_t* path, void** value, UINT* length) {
    return VerQueryValueW(block, path, value, length);
}

// One FO_DELETE request; `from` ends with two zero characters.
inline int ShellDelete(const char* from, FILEOP_FLAGS flags) {
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from;
    op.fFlags = flags;
    return SHFileOperationA(&op);
}
inline int ShellDelete(const wchar_t* from, FILEOP_FLAGS flags) {
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from;
    op.fFlags = flags;
    return SHFileOperationW(&op);
}

inline int CompareText(LCID locale, DWORD flags, const char* a, int la, const char* b, int lb) {
    return CompareStringA(locale, flags, a, la, b, lb);
}
inline int CompareText(LCID locale, DWORD flags, const wchar_t* a, int la, const wchar_t* b, int lb) {
    return CompareStringW(locale, flags, a, la, b, lb);
}

inline DWORD UpperBuffer(char* s, DWORD n) { return CharUpperBuffA(s, n); }
inline DWORD UpperBuffer(wchar_t* s, DWORD n) { return CharUpperBuffW(s, n); }

// The structures whose A and W forms differ, for the build's text.
using ProcessEntry = std::conditional_t<sizeof(Char) == 2, PROCESSENTRY32W, PROCESSENTRY32>;
using FindData = std::conditional_t<sizeof(Char) == 2, WIN32_FIND_DATAW, WIN32_FIND_DATAA>;

inline BOOL FirstProcess(HANDLE snapshot, PROCESSENTRY32* e) { return Process32First(snapshot, e); }
inline BOOL FirstProcess(HANDLE snapshot, PROCESSENTRY32W* e) { return Process32FirstW(snapshot, e); }
inline BOOL NextProcess(HANDLE snapshot, PROCESSENTRY32* e) { return Process32Next(snapshot, e); }
inline BOOL NextProcess(HANDLE snapshot, PROCESSENTRY32W* e) { return Process32NextW(snapshot, e); }

// CreateProcess without an application name, with default security, no
// inherited handles, the caller's environment and current directory, and a
// startup block that sets only the show state.
inline BOOL StartProcess(char* commandLine, DWORD flags, WORD show, PROCESS_INFORMATION* pi) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = show;
    return CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, flags, nullptr, nullptr, &si, pi);
}
inline BOOL StartProcess(wchar_t* commandLine, DWORD flags, WORD show, PROCESS_INFORMATION* pi) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = show;
    return CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, flags, nullptr, nullptr, &si, pi);
}

inline HANDLE FindFirst(const char* pattern, WIN32_FIND_DATAA* d) { return FindFirstFileA(pattern, d); }
inline HANDLE FindFirst(const wchar_t* pattern, WIN32_FIND_DATAW* d) { return FindFirstFileW(pattern, d); }
inline BOOL FindNext(HANDLE h, WIN32_FIND_DATAA* d) { return FindNextFileA(h, d); }
inline BOOL FindNext(HANDLE h, WIN32_FIND_DATAW* d) { return FindNextFileW(h, d); }

inline UINT DriveType(const char* root) { return GetDriveTypeA(root); }
inline UINT DriveType(const wchar_t* root) { return GetDriveTypeW(root); }

inline BOOL RemoveFile(const char* path) { return DeleteFileA(path); }
inline BOOL RemoveFile(const wchar_t* path) { return DeleteFileW(path); }
// Moves `from` over `to` in one step, replacing it.
inline BOOL ReplaceWith(const char* from, const char* to) { return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING); }
inline BOOL ReplaceWith(const wchar_t* from, const wchar_t* to) {
    return MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING);
}

}  // namespace kx::sys

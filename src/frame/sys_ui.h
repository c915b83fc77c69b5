// Thin wrappers over the window, dialog and shell functions whose A and W
// forms the two builds choose between: one overload per character type, as in
// sys.h, so the directory dialog is written once.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <type_traits>

#include "frame/text.h"

namespace kx::sys {

// Shows the dialog template `name` (ASCII) modally, in the build's form.
inline INT_PTR ShowDialog(HINSTANCE module, const char* name, HWND owner, DLGPROC proc, LPARAM param) {
    if constexpr (sizeof(Char) == 2) {
        // The W form takes the resource name as UTF-16.
        wchar_t wide[64] = {};
        for (size_t i = 0; name[i] && i + 1 < sizeof wide / sizeof *wide; ++i) wide[i] = static_cast<wchar_t>(name[i]);
        return DialogBoxParamW(module, wide, owner, proc, param);
    } else {
        return DialogBoxParamA(module, name, owner, proc, param);
    }
}

inline BOOL SetText(HWND w, const char* s) { return SetWindowTextA(w, s); }
inline BOOL SetText(HWND w, const wchar_t* s) { return SetWindowTextW(w, s); }

// The whole text of a window in the build's text.
inline Text GetText(HWND w) {
    Text s;
    int n = 0;
    if constexpr (sizeof(Char) == 2)
        n = GetWindowTextLengthW(w);
    else
        n = GetWindowTextLengthA(w);
    if (n <= 0) return s;
    s.resize(static_cast<size_t>(n) + 1);
    if constexpr (sizeof(Char) == 2)
        n = GetWindowTextW(w, reinterpret_cast<wchar_t*>(s.data()), n + 1);
    else
        n = GetWindowTextA(w, reinterpret_cast<char*>(s.data()), n + 1);
    s.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return s;
}

inline int MessageBoxT(HWND owner, const char* text, const char* caption, UINT flags) {
    return MessageBoxA(owner, text, caption, flags);
}
inline int MessageBoxT(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags) {
    return MessageBoxW(owner, text, caption, flags);
}

// Messages that carry a text pointer (LB_ADDSTRING, CB_ADDSTRING and the like).
inline LRESULT SendText(HWND w, UINT msg, WPARAM wp, const char* s) {
    return SendMessageA(w, msg, wp, reinterpret_cast<LPARAM>(s));
}
inline LRESULT SendText(HWND w, UINT msg, WPARAM wp, const wchar_t* s) {
    return SendMessageW(w, msg, wp, reinterpret_cast<LPARAM>(s));
}

// Replaces a control's window procedure; returns the one it had.
inline WNDPROC Subclass(HWND w, WNDPROC proc) {
    if constexpr (sizeof(Char) == 2)
        return reinterpret_cast<WNDPROC>(SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
    else
        return reinterpret_cast<WNDPROC>(SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}
inline LRESULT CallOld(WNDPROC old, HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if constexpr (sizeof(Char) == 2)
        return CallWindowProcW(old, w, msg, wp, lp);
    else
        return CallWindowProcA(old, w, msg, wp, lp);
}

inline int DrawTextT(HDC dc, const char* s, int n, RECT* r, UINT flags) { return DrawTextA(dc, s, n, r, flags); }
inline int DrawTextT(HDC dc, const wchar_t* s, int n, RECT* r, UINT flags) { return DrawTextW(dc, s, n, r, flags); }

inline BOOL SetCurrentDir(const char* dir) { return SetCurrentDirectoryA(dir); }
inline BOOL SetCurrentDir(const wchar_t* dir) { return SetCurrentDirectoryW(dir); }

// The process's current directory in the build's text.
inline Text CurrentDir() {
    Char buffer[MAX_PATH + 1] = {};
    DWORD n = 0;
    if constexpr (sizeof(Char) == 2)
        n = GetCurrentDirectoryW(MAX_PATH + 1, reinterpret_cast<wchar_t*>(buffer));
    else
        n = GetCurrentDirectoryA(MAX_PATH + 1, reinterpret_cast<char*>(buffer));
    if (n == 0 || n > MAX_PATH) return Text();
    return Text(buffer, n);
}

inline BOOL MakeDirectory(const char* dir) { return CreateDirectoryA(dir, nullptr); }
inline BOOL MakeDirectory(const wchar_t* dir) { return CreateDirectoryW(dir, nullptr); }

inline BOOL VolumeLabel(const char* root, char* label, DWORD n) {
    return GetVolumeInformationA(root, label, n, nullptr, nullptr, nullptr, nullptr, 0);
}
inline BOOL VolumeLabel(const wchar_t* root, wchar_t* label, DWORD n) {
    return GetVolumeInformationW(root, label, n, nullptr, nullptr, nullptr, nullptr, 0);
}

// The shell's folder browser in the build's form.
using BrowseInfo = std::conditional_t<sizeof(Char) == 2, BROWSEINFOW, BROWSEINFOA>;
inline PIDLIST_ABSOLUTE BrowseForFolder(BROWSEINFOA* bi) { return SHBrowseForFolderA(bi); }
inline PIDLIST_ABSOLUTE BrowseForFolder(BROWSEINFOW* bi) { return SHBrowseForFolderW(bi); }
inline BOOL PathFromIdList(PCIDLIST_ABSOLUTE id, char* path) { return SHGetPathFromIDListA(id, path); }
inline BOOL PathFromIdList(PCIDLIST_ABSOLUTE id, wchar_t* path) { return SHGetPathFromIDListW(id, path); }
inline constexpr UINT kBrowseSetSelection = sizeof(Char) == 2 ? BFFM_SETSELECTIONW : BFFM_SETSELECTIONA;

}  // namespace kx::sys

// While a modal dialog or the folder browser runs, the caller's other windows
// on the thread are disabled, as a modal form disables its application's
// windows; they are enabled again on every way out.
#pragma once

#include <windows.h>

#include <vector>

#include "frame/guard.h"

namespace kx {

class ThreadWindowsDisabled {
public:
    ThreadWindowsDisabled() {
        EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&disabled_));
        for (HWND w : disabled_) EnableWindow(w, FALSE);
    }
    ~ThreadWindowsDisabled() {
        for (HWND w : disabled_)
            if (IsWindow(w)) EnableWindow(w, TRUE);
    }
    ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
    ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;

private:
    static BOOL CALLBACK Collect(HWND w, LPARAM list) {
        return GuardCallback<BOOL>(FALSE, [&] {
            if (IsWindowVisible(w) && IsWindowEnabled(w)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
            return TRUE;
        });
    }
    std::vector<HWND> disabled_;
};

}  // namespace kx

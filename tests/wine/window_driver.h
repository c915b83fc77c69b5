// Driving the library's modal windows from a test, as a user would: the
// export runs on a thread of its own while the test waits for its windows,
// reads them, types, presses keys and clicks. Every wait is on window state,
// with a time limit, never a fixed sleep.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace kxtest {

// A call that shows modal windows, made on its own thread.
class ModalCall {
public:
    explicit ModalCall(std::function<std::string()> call);
    // Closes whatever the call still shows and waits for it to return.
    ~ModalCall();
    ModalCall(const ModalCall&) = delete;
    ModalCall& operator=(const ModalCall&) = delete;

    DWORD thread() const { return threadId_; }
    // Waits for the call to return; its result ("<still running>" on timeout).
    std::string Result(DWORD timeoutMs = 15000);

private:
    void CloseAll();
    std::thread worker_;
    std::atomic<DWORD> threadId_{0};
    std::atomic<bool> done_{false};
    std::string result_;
};

// Waits until `ready()` holds; false after `timeoutMs`.
bool WaitUntil(const std::function<bool()>& ready, DWORD timeoutMs = 10000);

// A visible top-level "#32770" window of `thread` whose caption is `caption`
// (any caption when empty), other than `except`; null after the timeout.
HWND WaitForDialog(DWORD thread, const std::wstring& caption, DWORD timeoutMs = 10000, HWND except = nullptr);
// Waits until `w` is destroyed or hidden.
bool WaitGone(HWND w, DWORD timeoutMs = 10000);

// Texts between the ANSI code page and UTF-16.
std::wstring Wide(const std::string& ansi);
std::string Narrow(const std::wstring& wide);

std::wstring TextOf(HWND w);
std::wstring ClassOf(HWND w);
// The first descendant of `parent` of window class `cls`.
HWND FindChild(HWND parent, const std::wstring& cls);

// What a message box shows.
struct MessageBoxSeen {
    std::wstring caption;
    std::wstring text;
    std::vector<int> buttons;  // command identifiers (IDOK, IDYES, IDNO ...)
    HICON icon = nullptr;
    HWND owner = nullptr;
};
MessageBoxSeen ReadMessageBox(HWND box);
// The system's icons that a message box of each kind shows.
HICON ErrorIcon();
HICON InformationIcon();
// Presses a message box's button and waits until the box has gone.
bool Answer(HWND box, int button);

// Input as it reaches a window: a key pressed and released (the message loop
// translates it into characters), a character, a click, the close button.
void PressKey(HWND w, UINT vk);
void TypeChar(HWND w, wchar_t c);
void TypeText(HWND w, const std::wstring& text);
void Click(HWND button);
void CloseByTitleBar(HWND w);
// Puts `text` on the clipboard and pastes it into the edit `w`.
void Paste(HWND w, const std::wstring& text);

// Saves the window as it is on the screen to NAME.png in the screenshot
// folder given to the test program (nothing when none was given).
void SaveScreenshot(HWND w, const std::string& name);
void SetScreenshotFolder(const std::string& folder);

}  // namespace kxtest

#include "window_driver.h"

#include <cstdint>
#include <cstdio>
#include <stdexcept>

#include "file_fixture.h"

namespace kxtest {
namespace {

std::string& ScreenshotFolder() {
    static std::string folder;
    return folder;
}

struct ThreadWindows {
    std::vector<HWND> windows;
    static BOOL CALLBACK Add(HWND w, LPARAM self) {
        reinterpret_cast<ThreadWindows*>(self)->windows.push_back(w);
        return TRUE;
    }
};

std::vector<HWND> WindowsOf(DWORD thread) {
    ThreadWindows list;
    EnumThreadWindows(thread, &ThreadWindows::Add, reinterpret_cast<LPARAM>(&list));
    return list.windows;
}

// PNG with stored (uncompressed) deflate blocks: no library needed.
void PutU32(std::string& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<char>((v >> s) & 0xFF));
}

void PutChunk(std::string& png, const char* type, const std::string& data) {
    PutU32(png, static_cast<uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    png += body;
    PutU32(png, SystemCrc32(body));
}

std::string EncodePng(int width, int height, const std::string& rgbRows) {
    std::string png("\x89PNG\r\n\x1a\n", 8), header;
    PutU32(header, static_cast<uint32_t>(width));
    PutU32(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
    PutChunk(png, "IHDR", header);
    std::string z("\x78\x01", 2);
    uint32_t a = 1, b = 0;
    for (unsigned char c : rgbRows) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t at = 0; at < rgbRows.size() || at == 0;) {
        const size_t n = std::min<size_t>(65535, rgbRows.size() - at);
        const bool last = at + n >= rgbRows.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<char>(n & 0xFF));
        z.push_back(static_cast<char>(n >> 8));
        z.push_back(static_cast<char>(~n & 0xFF));
        z.push_back(static_cast<char>((~n >> 8) & 0xFF));
        z.append(rgbRows, at, n);
        at += n;
        if (last) break;
    }
    PutU32(z, (b << 16) | a);
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", "");
    return png;
}

}  // namespace

ModalCall::ModalCall(std::function<std::string()> call) {
    worker_ = std::thread([this, call] {
        threadId_ = GetCurrentThreadId();
        try {
            result_ = call();
        } catch (const std::exception& e) {
            result_ = std::string("<exception: ") + e.what() + ">";
        }
        done_ = true;
    });
    WaitUntil([this] { return threadId_ != 0; });
}

ModalCall::~ModalCall() {
    if (!done_) CloseAll();
    if (worker_.joinable()) worker_.join();
}

std::string ModalCall::Result(DWORD timeoutMs) {
    if (!WaitUntil([this] { return done_.load(); }, timeoutMs)) return "<still running>";
    if (worker_.joinable()) worker_.join();
    return result_;
}

// A test that failed half way leaves windows open: answer every one of them
// until the call returns.
void ModalCall::CloseAll() {
    WaitUntil(
        [this] {
            for (HWND w : WindowsOf(threadId_)) {
                if (!IsWindowVisible(w)) continue;
                PostMessageW(w, WM_COMMAND, IDNO, 0);
                PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
            }
            return WaitUntil([this] { return done_.load(); }, 200);
        },
        20000);
}

bool WaitUntil(const std::function<bool()>& ready, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (ready()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
}

HWND WaitForDialog(DWORD thread, const std::wstring& caption, DWORD timeoutMs, HWND except) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : WindowsOf(thread)) {
                if (w == except || !IsWindowVisible(w) || ClassOf(w) != L"#32770") continue;
                if (caption.empty() || TextOf(w) == caption) {
                    found = w;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

bool WaitGone(HWND w, DWORD timeoutMs) {
    return WaitUntil([&] { return !IsWindow(w) || !IsWindowVisible(w); }, timeoutMs);
}

std::wstring Wide(const std::string& ansi) {
    std::wstring w(ansi.size(), L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), w.data(),
                                      static_cast<int>(w.size()));
    w.resize(static_cast<size_t>(n > 0 ? n : 0));
    return w;
}

std::string Narrow(const std::wstring& wide) {
    std::string a(wide.size() * 2, '\0');
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), a.data(),
                                      static_cast<int>(a.size()), nullptr, nullptr);
    a.resize(static_cast<size_t>(n > 0 ? n : 0));
    return a;
}

std::wstring TextOf(HWND w) {
    wchar_t buffer[1024] = {};
    const LRESULT n = SendMessageW(w, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer));
    return std::wstring(buffer, static_cast<size_t>(n > 0 ? n : 0));
}

std::wstring ClassOf(HWND w) {
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    return name;
}

namespace {
struct ChildSearch {
    std::wstring cls;
    HWND found = nullptr;
    static BOOL CALLBACK Test(HWND w, LPARAM self) {
        auto* s = reinterpret_cast<ChildSearch*>(self);
        if (ClassOf(w) != s->cls) return TRUE;
        s->found = w;
        return FALSE;
    }
};
}  // namespace

HWND FindChild(HWND parent, const std::wstring& cls) {
    ChildSearch search{cls};
    EnumChildWindows(parent, &ChildSearch::Test, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

MessageBoxSeen ReadMessageBox(HWND box) {
    MessageBoxSeen seen;
    seen.caption = TextOf(box);
    seen.text = TextOf(GetDlgItem(box, 0xFFFF));
    seen.owner = GetWindow(box, GW_OWNER);
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!IsWindowVisible(c)) continue;
        const std::wstring cls = ClassOf(c);
        if (cls == L"Button") seen.buttons.push_back(GetDlgCtrlID(c));
        if (cls == L"Static" && (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            seen.icon = reinterpret_cast<HICON>(SendMessageW(c, STM_GETICON, 0, 0));
    }
    return seen;
}

HICON ErrorIcon() { return LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_ERROR)); }
HICON InformationIcon() { return LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_INFORMATION)); }

bool Answer(HWND box, int button) {
    HWND b = GetDlgItem(box, button);
    if (!b) return false;
    Click(b);
    return WaitGone(box);
}

void PressKey(HWND w, UINT vk) {
    const UINT scan = MapVirtualKeyW(vk, 0);
    PostMessageW(w, WM_KEYDOWN, vk, 1 | (scan << 16));
    PostMessageW(w, WM_KEYUP, vk, 1 | (scan << 16) | (1u << 30) | (1u << 31));
}

void TypeChar(HWND w, wchar_t c) { PostMessageW(w, WM_CHAR, c, 1); }

void TypeText(HWND w, const std::wstring& text) {
    for (wchar_t c : text) TypeChar(w, c);
}

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void CloseByTitleBar(HWND w) { PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }

void Paste(HWND w, const std::wstring& text) {
    if (!OpenClipboard(nullptr)) throw std::runtime_error("cannot open the clipboard");
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    auto* p = static_cast<wchar_t*>(GlobalLock(mem));
    std::copy(text.begin(), text.end(), p);
    p[text.size()] = 0;
    GlobalUnlock(mem);
    SetClipboardData(CF_UNICODETEXT, mem);
    CloseClipboard();
    PostMessageW(w, WM_PASTE, 0, 0);
}

void SetScreenshotFolder(const std::string& folder) { ScreenshotFolder() = folder; }

namespace {

// The window's pixels as they are on the screen, as PNG rows (RGB, each row
// after a filter byte 0).
std::string CaptureRows(const RECT& r) {
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::string rows;
    rows.reserve(static_cast<size_t>(height) * (width * 3 + 1));
    const auto* px = static_cast<const unsigned char*>(bits);
    for (int y = 0; y < height; ++y) {
        rows.push_back(0);
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = px + (static_cast<size_t>(y) * width + x) * 4;
            rows.push_back(static_cast<char>(p[2]));
            rows.push_back(static_cast<char>(p[1]));
            rows.push_back(static_cast<char>(p[0]));
        }
    }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return rows;
}

}  // namespace

void SaveScreenshot(HWND w, const std::string& name) {
    if (ScreenshotFolder().empty() || !IsWindow(w)) return;
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r{};
    GetWindowRect(w, &r);
    // A window that has just appeared may still be painting: take the picture
    // once two captures in a row agree.
    std::string rows = CaptureRows(r), again;
    WaitUntil(
        [&] {
            Sleep(50);
            again = CaptureRows(r);
            if (again == rows) return true;
            rows.swap(again);
            return false;
        },
        2000);
    const std::string png = EncodePng(r.right - r.left, r.bottom - r.top, rows);
    const std::string path = ScreenshotFolder() + "\\" + name + ".png";
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD put = 0;
    WriteFile(f, png.data(), static_cast<DWORD>(png.size()), &put, nullptr);
    CloseHandle(f);
}

}  // namespace kxtest

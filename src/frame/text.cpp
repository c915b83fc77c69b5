// Conversions between script text and the build's text, and the locale's
// comparison and casing. Overloads on the character type stand where the two
// builds differ.
#include "frame/text.h"

#include <windows.h>

#include <climits>
#include <stdexcept>

#include "frame/sys.h"

namespace kx {
namespace {

int Length(size_t n) {
    if (n > static_cast<size_t>(INT_MAX)) throw std::length_error("text too long");
    return static_cast<int>(n);
}

[[maybe_unused]] void Convert(std::string_view in, std::string& out) { out.assign(in); }

[[maybe_unused]] void Convert(std::string_view in, std::wstring& out) {
    out.clear();
    if (in.empty()) return;
    const int n = MultiByteToWideChar(CP_ACP, 0, in.data(), Length(in.size()), nullptr, 0);
    if (n <= 0) return;
    out.resize(static_cast<size_t>(n));
    MultiByteToWideChar(CP_ACP, 0, in.data(), Length(in.size()), out.data(), n);
}

[[maybe_unused]] std::string ToAnsi(std::string_view in) { return std::string(in); }

[[maybe_unused]] std::string ToAnsi(std::wstring_view in) {
    std::string out;
    if (in.empty()) return out;
    // Flags 0: best-fit equivalents first, then the code page's default "?".
    const int n = WideCharToMultiByte(CP_ACP, 0, in.data(), Length(in.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return out;
    out.resize(static_cast<size_t>(n));
    WideCharToMultiByte(CP_ACP, 0, in.data(), Length(in.size()), out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace

Text FromScript(const char* arg) { return arg == nullptr ? Text() : FromAnsi(std::string_view(arg)); }

Text FromAnsi(std::string_view bytes) {
    Text text;
    Convert(bytes, text);
    return text;
}

std::string ToScript(TextView text) { return ToAnsi(text); }

std::wstring WideOf(TextView text) {
    if constexpr (sizeof(Char) == 2) {
        return std::wstring(text.begin(), text.end());
    } else {
        std::wstring wide;
        Convert(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), wide);
        return wide;
    }
}

int CompareLocaleNoCase(TextView a, TextView b) {
    const int r = sys::CompareText(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), Length(a.size()), b.data(),
                                   Length(b.size()));
    if (r == 0) throw std::runtime_error("CompareString failed");
    return r - CSTR_EQUAL;
}

unsigned AnsiCode(Char c) {
    const std::string ansi = ToAnsi(TextView(&c, 1));
    return ansi.size() == 1 ? static_cast<unsigned char>(ansi[0]) : 0;
}

Text UpperLocale(TextView text) {
    Text r(text);
    if (!r.empty()) sys::UpperBuffer(r.data(), static_cast<DWORD>(r.size()));
    return r;
}

}  // namespace kx

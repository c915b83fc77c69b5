// The build's text type. The Oracle build works in UTF-16 and calls the W
// forms of system functions; the migration build works in the ANSI code page
// and calls the A forms. This header is the one place that knows which.
#pragma once

#include <string>
#include <string_view>

namespace kx {

#if KX_WIDE_TEXT
using Char = wchar_t;
#define KX_T(s) L##s
#else
using Char = char;
#define KX_T(s) s
#endif

using Text = std::basic_string<Char>;
using TextView = std::basic_string_view<Char>;

// Script text (ANSI, zero-terminated, null = empty) into the build's text.
Text FromScript(const char* arg);

// ANSI bytes of any content (zeros included) into the build's text.
Text FromAnsi(std::string_view bytes);

// The build's text into ANSI script text; characters the code page lacks
// become the system's substitutes.
std::string ToScript(TextView text);

// The build's text in UTF-16, for interfaces that take only that.
std::wstring WideOf(TextView text);

// Case-insensitive comparison under the user-default locale (the system's
// word sort): negative, zero or positive.
int CompareLocaleNoCase(TextView a, TextView b);

// Upper-casing by the locale's rules (Cyrillic included).
Text UpperLocale(TextView text);

// The character's code in the ANSI code page (0 to 255); a character that
// the code page lacks gives the code of its substitute.
unsigned AnsiCode(Char c);

}  // namespace kx

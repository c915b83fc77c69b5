// Text rules that do not depend on the platform: trimming of codes 1..32 and
// casing of the letters a..z only. Templates, so both builds and the native
// unit tests share them.
#pragma once

#include <string>
#include <string_view>

namespace kx {

template <class C>
constexpr bool IsTrimmedCode(C c) {
    using U = std::make_unsigned_t<C>;
    const auto u = static_cast<U>(c);
    return u >= 1 && u <= 32;
}

// Removes blanks and control characters (codes 1 to 32) at both ends.
template <class C>
std::basic_string_view<C> Trim(std::basic_string_view<C> s) {
    size_t b = 0, e = s.size();
    while (b < e && IsTrimmedCode(s[b])) ++b;
    while (e > b && IsTrimmedCode(s[e - 1])) --e;
    return s.substr(b, e - b);
}

template <class C>
std::basic_string<C> UpperAZ(std::basic_string_view<C> s) {
    std::basic_string<C> r(s);
    for (auto& c : r)
        if (c >= C('a') && c <= C('z')) c = C(c - C('a') + C('A'));
    return r;
}

template <class C>
std::basic_string<C> LowerAZ(std::basic_string_view<C> s) {
    std::basic_string<C> r(s);
    for (auto& c : r)
        if (c >= C('A') && c <= C('Z')) c = C(c - C('A') + C('a'));
    return r;
}

}  // namespace kx

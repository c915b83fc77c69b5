// The result buffer and the fixed texts. A text result lives in one
// library-wide buffer until the next text-returning call; the fixed failure
// and status texts are constants that leave the buffer as it was.
#pragma once

#include <string>
#include <variant>

#include "frame/text.h"

namespace kx {

// Fixed result texts, in the ANSI code page of the product's machines (1251).
namespace fixed {
inline constexpr const char* Empty = "";
inline constexpr const char* Unknown = "Неизв.";
inline constexpr const char* Ok = "ok";
inline constexpr const char* Question = "?";
inline constexpr const char* Dash = "-";
inline constexpr const char* Bang = "!";
inline constexpr const char* Bang2 = "!2";
inline constexpr const char* Bang3 = "!3";
inline constexpr const char* Question4 = "?4";
inline constexpr const char* Question5 = "?5";
inline constexpr const char* Questions3 = "???";
}  // namespace fixed

// What a text export answers: a computed text, or one of the fixed texts.
class TextResult {
public:
    TextResult(Text text) : value_(std::move(text)) {}
    static TextResult Fixed(const char* text) { return TextResult(text); }

    // Places a computed text in the result buffer; returns the pointer to give
    // the caller.
    const char* Deliver() const;

private:
    explicit TextResult(const char* fixed) : value_(fixed) {}
    std::variant<Text, const char*> value_;
};

// Empties the result buffer and gives its memory back (unload).
void ReleaseResultBuffer() noexcept;

}  // namespace kx

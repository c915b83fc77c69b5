#include "frame/text_rules.h"

#include <gtest/gtest.h>

namespace kx {
namespace {

TEST(TextRules, TrimRemovesCodes1To32AtBothEnds) {
    EXPECT_EQ(Trim(std::string_view(" \t\x01 a b \r\n\x20")), "a b");
    EXPECT_EQ(Trim(std::string_view("\x01\x1f")), "");
    // 0x7F and CP1251 letters (negative as char) stay.
    EXPECT_EQ(Trim(std::string_view("\x7f" "a\xE0")), "\x7f" "a\xE0");
    EXPECT_EQ(Trim(std::wstring_view(L"\u00A0x\u0020")), L"\u00A0x");
}

TEST(TextRules, CasingChangesOnlyAToZ) {
    EXPECT_EQ(UpperAZ(std::string_view("abz-\xE0\xFF{")), "ABZ-\xE0\xFF{");
    EXPECT_EQ(LowerAZ(std::string_view("ABZ@[\xC0")), "abz@[\xC0");
    EXPECT_EQ(UpperAZ(std::wstring_view(L"aя")), L"Aя");
}

}  // namespace
}  // namespace kx

#include "frame/line_list.h"

#include <gtest/gtest.h>

#include <cctype>

namespace kx {
namespace {

// Stand-in for the locale's comparison: ASCII letters ignoring case.
int AsciiNoCase(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int x = std::tolower(static_cast<unsigned char>(a[i]));
        const int y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> out;
    for (auto l : ReadLines(text)) out.emplace_back(l);
    return out;
}

TEST(LineList, ReadsAtEveryKindOfBreak) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Lines(""), V{});
    EXPECT_EQ(Lines("\r\n"), V{""});
    EXPECT_EQ(Lines("a"), V{"a"});
    EXPECT_EQ(Lines("a\r\nb\rc\nd"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(Lines("a\r\n"), V{"a"});
    EXPECT_EQ(Lines("a\n\r"), (V{"a", ""}));  // LF then a lone CR: two breaks
    EXPECT_EQ(Lines("a\r\r\n\nb"), (V{"a", "", "", "b"}));
    EXPECT_EQ(Lines("\n\n"), (V{"", ""}));
}

TEST(LineList, NthLineCountsFromOne) {
    EXPECT_EQ(NthLine(std::string_view("a\r\n\r\nb"), 2), std::optional<std::string_view>(""));
    EXPECT_EQ(NthLine(std::string_view("a\r\n\r\nb"), 3), std::optional<std::string_view>("b"));
    EXPECT_FALSE(NthLine(std::string_view("a\r\n"), 2));
    EXPECT_FALSE(NthLine(std::string_view("a"), 0));
    EXPECT_FALSE(NthLine(std::string_view("a"), -5));
    EXPECT_FALSE(NthLine(std::string_view(""), 1));
}

TEST(LineList, SortedAddKeepsTheFirstOfEqualItems) {
    EXPECT_EQ(AddToSortedList<char>("b\r\nA\r\na\r\nB", "c", AsciiNoCase), "A\r\nb\r\nc\r\n");
    EXPECT_EQ(AddToSortedList<char>("x", "X", AsciiNoCase), "x\r\n");
    EXPECT_EQ(AddToSortedList<char>("", "", AsciiNoCase), "\r\n");
    EXPECT_EQ(AddToSortedList<char>("b", "a\nc", AsciiNoCase), "a\nc\r\nb\r\n");
}

TEST(LineList, JoinReadsTheSeamAsTheJoinedText) {
    EXPECT_EQ(JoinSortedLists<char>("", "", AsciiNoCase), "");
    EXPECT_EQ(JoinSortedLists<char>("b\r\n", "a", AsciiNoCase), "\r\na\r\nb\r\n");
    // A CR at the end of the first and an LF at the start of the second stay
    // two breaks around the inserted CR LF.
    EXPECT_EQ(JoinSortedLists<char>("b\r", "\na", AsciiNoCase), "\r\na\r\nb\r\n");
    EXPECT_EQ(JoinSortedLists<char>("b", "B\r\na", AsciiNoCase), "a\r\nb\r\n");
}

TEST(LineList, LargeListsStaySortedAndUnique) {
    std::string list;
    for (int i = 0; i < 20000; ++i) list += std::to_string((i * 7919) % 10000) + "\r\n";
    const std::string out = AddToSortedList<char>(list, "5000", AsciiNoCase);
    const auto lines = ReadLines(std::string_view(out));
    ASSERT_EQ(lines.size(), 10000u);
    for (size_t i = 1; i < lines.size(); ++i) EXPECT_LT(AsciiNoCase(lines[i - 1], lines[i]), 0);
}

TEST(LineList, WideTextFollowsTheSameRules) {
    auto cmp = [](std::wstring_view a, std::wstring_view b) { return a.compare(b); };
    EXPECT_EQ(AddToSortedList<wchar_t>(L"б\rа", L"в", cmp), L"а\r\nб\r\nв\r\n");
}

}  // namespace
}  // namespace kx

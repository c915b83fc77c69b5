// The line-list rules, one table run against both builds.
#include <gtest/gtest.h>

#include "kestrel_dll.h"

namespace kxtest {
namespace {

struct ListCase {
    const char* what;
    const char* fn;  // AddToList, GetEntry or JoinLists
    const char* a;
    const char* b;   // item or second list (AddToList, JoinLists)
    int number;      // GetEntry
    const char* expected;
};

const ListCase kCases[] = {
    {"add to empty", "AddToList", "", "x", 0, "x\r\n"},
    {"add sorts", "AddToList", "b\r\na", "c", 0, "a\r\nb\r\nc\r\n"},
    {"duplicate ignoring case keeps the list's case", "AddToList", "Alpha", "ALPHA", 0, "Alpha\r\n"},
    {"empty item sorts first", "AddToList", "a", "", 0, "\r\na\r\n"},
    {"duplicates in the list dropped", "AddToList", "b\r\na\r\nb", "c", 0, "a\r\nb\r\nc\r\n"},
    {"item is not split", "AddToList", "b", "a\r\nz", 0, "a\r\nz\r\nb\r\n"},
    {"item is not trimmed", "AddToList", "", " x ", 0, " x \r\n"},
    {"lone CR and LF end lines", "AddToList", "c\rb\na", "", 0, "\r\na\r\nb\r\nc\r\n"},
    {"final break starts no item", "AddToList", "b\r\n", "a", 0, "a\r\nb\r\n"},
    {"Cyrillic case pairs are duplicates", "AddToList", "\xEF\xF0\xE8\xE2\xE5\xF2", "\xCF\xD0\xC8\xC2\xC5\xD2", 0,
     "\xEF\xF0\xE8\xE2\xE5\xF2\r\n"},
    {"yo differs from ye", "AddToList", "\xB8", "\xE5", 0, "\xE5\r\n\xB8\r\n"},
    {"Latin before Cyrillic", "AddToList", "\xE0", "z", 0, "z\r\n\xE0\r\n"},
    {"digits compare as text", "AddToList", "9", "10", 0, "10\r\n9\r\n"},
    {"word sort weighs the hyphen low", "AddToList", "cop\r\ncoop", "co-op", 0, "coop\r\nco-op\r\ncop\r\n"},
    {"pick by number", "GetEntry", "x\ny", nullptr, 2, "y"},
    {"pick does not sort", "GetEntry", "b\r\na", nullptr, 1, "b"},
    {"empty line is an item", "GetEntry", "a\r\n\r\nb", nullptr, 2, ""},
    {"after the empty item", "GetEntry", "a\r\n\r\nb", nullptr, 3, "b"},
    {"number zero", "GetEntry", "a", nullptr, 0, ""},
    {"negative number", "GetEntry", "a", nullptr, -1, ""},
    {"number past the end", "GetEntry", "a\r\nb\r\n", nullptr, 3, ""},
    {"empty list", "GetEntry", "", nullptr, 1, ""},
    {"pick keeps duplicates", "GetEntry", "a\r\na\r\nb", nullptr, 3, "b"},
    {"join two empty", "JoinLists", "", "", 0, ""},
    {"join with empty second", "JoinLists", "b", "", 0, "b\r\n"},
    {"join with empty first", "JoinLists", "", "b\r\na", 0, "a\r\nb\r\n"},
    {"join drops duplicates", "JoinLists", "a", "a", 0, "a\r\n"},
    {"join ignores case", "JoinLists", "B\r\na", "b\r\nA\r\nc", 0, "a\r\nB\r\nc\r\n"},
    {"seam yields one empty item", "JoinLists", "b\r\n", "a", 0, "\r\na\r\nb\r\n"},
};

class LineLists : public EachBuild {};

TEST_P(LineLists, Rules) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        const std::string fn = c.fn;
        std::string got;
        if (fn == "GetEntry")
            got = dll().Text("GetEntry", c.a, c.number);
        else
            got = dll().Text(c.fn, c.a, c.b);
        EXPECT_EQ(got, c.expected);
    }
}

KX_FOR_EACH_BUILD(LineLists);

}  // namespace
}  // namespace kxtest

// Path rules of the directory dialog, for both character types.
#include "host/select_dir_rules.h"

#include <gtest/gtest.h>

#include <set>

namespace kx::seldir {
namespace {

using std::string;
using std::string_view;

unsigned Byte(char c) { return static_cast<unsigned char>(c); }

TEST(SelectDirRules, RefusedCharactersAreTheCodesFrom192) {
    // "C:\Папка ёЁ\x" in code page 1251: П=0xCF, а=0xE0, п=0xEF, к=0xEA, ё=0xB8, Ё=0xA8.
    const string text = "C:\\\xCF\xE0\xEF\xEA\xE0 \xB8\xA8\\x\xC0\xFF\xBF";
    EXPECT_EQ(RemoveRefused(string_view(text), Byte), "C:\\ \xB8\xA8\\x\xBF");
    EXPECT_EQ(RemoveRefused(string_view(""), Byte), "");
    // UTF-16 text is judged by each character's ANSI code.
    const std::wstring wide = L"C:\\Жx";
    EXPECT_EQ(RemoveRefused(std::wstring_view(wide), [](wchar_t c) { return c == L'Ж' ? 0xC6u : unsigned(c); }),
              L"C:\\x");
}

TEST(SelectDirRules, DrivePartAndNetworkPaths) {
    struct Case {
        const char* path;
        const char* drive;
        bool network;
    } cases[] = {
        {"C:\\KX", "C:", false}, {"c:", "c:", false},        {"C:KX", "C:", false},
        {"KX\\A", "", false},    {"\\\\srv\\share\\x", "", true}, {"\\KX", "", false},
        {"", "", false},         {"\\\\", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(DrivePart(string_view(c.path)), c.drive);
        EXPECT_EQ(IsNetworkPath(string_view(c.path)), c.network);
    }
}

TEST(SelectDirRules, ChainOfADirectory) {
    auto chain = SplitDirectory(string_view("C:\\KX\\ZUL"));
    EXPECT_EQ(chain.root, "C:\\");
    EXPECT_EQ(chain.folders, (std::vector<string>{"KX", "ZUL"}));
    chain = SplitDirectory(string_view("C:\\"));
    EXPECT_EQ(chain.root, "C:\\");
    EXPECT_TRUE(chain.folders.empty());
    chain = SplitDirectory(string_view("\\\\srv\\share\\a\\b"));
    EXPECT_EQ(chain.root, "\\\\srv\\share\\");
    EXPECT_EQ(chain.folders, (std::vector<string>{"a", "b"}));
    chain = SplitDirectory(string_view("\\\\srv\\share"));
    EXPECT_EQ(chain.root, "\\\\srv\\share\\");
    EXPECT_TRUE(chain.folders.empty());
    const auto wide = SplitDirectory(std::wstring_view(L"D:\\Папка\\"));
    EXPECT_EQ(wide.root, L"D:\\");
    EXPECT_EQ(wide.folders, (std::vector<std::wstring>{L"Папка"}));
}

TEST(SelectDirRules, ParentOfADirectory) {
    struct Case {
        const char* dir;
        const char* parent;
    } cases[] = {
        {"C:\\KX\\ZUL", "C:\\KX"}, {"C:\\KX\\ZUL\\\\", "C:\\KX"},       {"C:\\KX", "C:\\"},
        {"C:\\", ""},              {"\\\\srv\\share\\a", "\\\\srv\\share\\"}, {"\\\\srv\\share", ""},
        {"KX\\A", "KX"},           {"KX", ""},                            {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dir);
        EXPECT_EQ(ParentOf(string_view(c.dir)), c.parent);
    }
}

TEST(SelectDirRules, ProbeNameSkipsExistingFiles) {
    std::set<string> existing;
    auto exists = [&](const string& p) { return existing.count(p) > 0; };
    EXPECT_EQ(ProbeName(string_view("C:\\KX"), exists), "C:\\KX\\temp.tmp");
    EXPECT_EQ(ProbeName(string_view("C:\\"), exists), "C:\\temp.tmp");
    existing = {"C:\\KX\\temp.tmp", "C:\\KX\\_temp.tmp"};
    EXPECT_EQ(ProbeName(string_view("C:\\KX\\"), exists), "C:\\KX\\__temp.tmp");
}

}  // namespace
}  // namespace kx::seldir

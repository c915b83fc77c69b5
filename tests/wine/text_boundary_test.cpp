// How text crosses the boundary: null pointers, the code page's bytes, long
// texts, the result buffer's lifetime, and failures kept inside.
#include <gtest/gtest.h>

#include <cstring>

#include "kestrel_dll.h"

namespace kxtest {
namespace {

using TextBoundary = EachBuild;

TEST_P(TextBoundary, NullPointerReadsAsEmptyText) {
    const char* null = nullptr;
    EXPECT_EQ(dll().Text("AddToList", null, null), "\r\n");  // the empty item
    EXPECT_EQ(dll().Text("AddToList", null, "a"), "a\r\n");
    EXPECT_EQ(dll().Text("AddToList", "a", null), "\r\na\r\n");
    EXPECT_EQ(dll().Text("GetEntry", null, 1), "");
    EXPECT_EQ(dll().Text("JoinLists", null, null), "");
    EXPECT_EQ(dll().Text("JoinLists", null, "b"), "b\r\n");
    EXPECT_EQ(dll().Text("JoinLists", "b", null), "b\r\n");
}

TEST_P(TextBoundary, CyrillicInCodePage1251ComesBackUnchanged) {
    ASSERT_EQ(GetACP(), 1251u) << "the tests run with the product's code page";
    const std::string word = "\xCF\xF0\xE8\xE2\xE5\xF2 \xB8\xEB\xEA\xE0";  // "Привет ёлка"
    EXPECT_EQ(dll().Text("AddToList", "", word.c_str()), word + "\r\n");
}

TEST_P(TextBoundary, EveryByteOfTheCodePagePassesUnchanged) {
    std::string item;
    for (int c = 1; c < 256; ++c)
        if (c != '\r' && c != '\n') item.push_back(static_cast<char>(c));
    const std::string got = dll().Text("GetEntry", item.c_str(), 1);
    EXPECT_EQ(got.size(), item.size());
    for (size_t i = 0; i < item.size() && i < got.size(); ++i)
        EXPECT_EQ(static_cast<unsigned char>(got[i]), static_cast<unsigned char>(item[i])) << "byte " << i;
}

TEST_P(TextBoundary, OneMebibyteItemPassesUnchanged) {
    std::string item(1 << 20, 'x');
    for (size_t i = 0; i < item.size(); i += 97) item[i] = static_cast<char>(0xC0 + i % 64);  // Cyrillic
    EXPECT_EQ(dll().Text("AddToList", "", item.c_str()), item + "\r\n");
    EXPECT_EQ(dll().Text("GetEntry", ("a\r\n" + item).c_str(), 2), item);
}

TEST_P(TextBoundary, ResultBufferHoldsTheLastTextAndFixedTextsLeaveIt) {
    const char* first = reinterpret_cast<const char*>(dll().Call("AddToList", "", "one"));
    EXPECT_STREQ(first, "one\r\n");
    const char* second = reinterpret_cast<const char*>(dll().Call("AddToList", "", "two"));
    EXPECT_STREQ(second, "two\r\n");
    // An out-of-range pick answers the fixed empty text: the buffer stays.
    const char* empty = reinterpret_cast<const char*>(dll().Call("GetEntry", "a", 5));
    EXPECT_STREQ(empty, "");
    EXPECT_STREQ(second, "two\r\n");
}

TEST_P(TextBoundary, OutOfMemoryStaysInsideTheExport) {
    if (sizeof(void*) != 4) GTEST_SKIP() << "needs the 32-bit address space to run out of";
    dll().Text("AddToList", "", "kept");
    const char* kept = reinterpret_cast<const char*>(dll().Call("AddToList", "", "kept"));
    // 256 Mi empty lines need more list entries than a 32-bit process can hold.
    std::string huge(256u << 20, '\n');
    const char* r = reinterpret_cast<const char*>(dll().Call("AddToList", huge.c_str(), "x"));
    huge = std::string();
    ASSERT_NE(r, nullptr);
    EXPECT_STREQ(r, "");
    EXPECT_STREQ(kept, "kept\r\n");
    EXPECT_EQ(dll().Text("AddToList", "b", "a"), "a\r\nb\r\n");
}

KX_FOR_EACH_BUILD(TextBoundary);

}  // namespace
}  // namespace kxtest

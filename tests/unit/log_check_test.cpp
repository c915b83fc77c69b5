#include "host/log_check.h"

#include <gtest/gtest.h>

#include "log_check_memory.h"

namespace kx::logcheck {
namespace {

const std::string kSep(kSeparator);

struct Case {
    const char* name;
    std::string ignore, log;
    int64_t errors, ignored;
    std::string marked;
};

// Every case is marked with several chunk sizes and line limits: the pieces a
// line arrives in, and whether it is held or copied again, change nothing.
TEST(MarkLog, Cases) {
    const Case cases[] = {
        {"worked example", "", "Table created.\r\nORA-00942: table or view does not exist\r\n"
                               "Warning: Package Body created with compilation errors.\r\n",
         2, 0,
         "Table created.\r\n" + kSep + "ORA-00942: table or view does not exist\r\n" + kSep + kSep +
             "Warning: Package Body created with compilation errors.\r\n" + kSep},
        {"worked example, ignored", "ORA-00942: table or view does not exist -- expected\r\n",
         "Table created.\r\nORA-00942: table or view does not exist\r\n"
         "Warning: Package Body created with compilation errors.\r\n",
         1, 1,
         "Table created.\r\nORA-00942: table or view does not exist\r\n" + kSep +
             "Warning: Package Body created with compilation errors.\r\n" + kSep},
        {"clean log, LF and lone CR ends", "", "a\nb\rc\r\n\r\nd", 0, 0, "a\r\nb\r\nc\r\n\r\nd\r\n"},
        {"empty log", "x\r\n", "", 0, 0, ""},
        {"heads", "",
         "ORA-01017: invalid\r\n  SP2-0734: unknown\r\nERROR at line 1: ORA-00942\r\nora-00942 lower\r\n"
         "     ORA-6 at position 6\r\n      ORA-7 at position 7\r\nORA-1\r\nORA\r\n",
         4, 0,
         kSep + "ORA-01017: invalid\r\n" + kSep + kSep + "  SP2-0734: unknown\r\n" + kSep +
             "ERROR at line 1: ORA-00942\r\nora-00942 lower\r\n" + kSep + "     ORA-6 at position 6\r\n" + kSep +
             "      ORA-7 at position 7\r\n" + kSep + "ORA-1\r\n" + kSep + "ORA\r\n"},
        {"warning beats the ignore list", "Warning: Package created\r\n",
         "Warning: Package created with compilation errors.\r\n", 1, 0,
         kSep + "Warning: Package created with compilation errors.\r\n" + kSep},
        {"warning anywhere", "", "xx Warning: Package Warning: Package created with compilation errors. yy", 1, 0,
         kSep + "xx Warning: Package Warning: Package created with compilation errors. yy\r\n" + kSep},
        {"two entries, duplicates counted", "ORA-00942 a\r\nzzz\r\nORA-00942 a\r\n", "ORA-00942 b\r\n", 0, 2,
         "ORA-00942 b\r\n"},
        {"ignored need not be an error", "Table created.\r\n", "Table created.\r\nTable created.\r\n", 0, 2,
         "Table created.\r\nTable created.\r\n"},
        {"short head matched whole", "xxORA-1yy\r\n", "ORA-1\r\n", 0, 1, "ORA-1\r\n"},
        {"empty lines match no entry", "\r\n\r\n", "\r\n\r\n", 0, 0, "\r\n\r\n"},
        {"entries untrimmed", "  ORA-1 \r\n", "ORA-1 \r\n ORA-1\r\n", 0, 2, "ORA-1 \r\n ORA-1\r\n"},
        {"only the head is looked up", "ORA-00942: t", "ORA-00942: table\r\n", 0, 1, "ORA-00942: table\r\n"},
        {"every byte passes", "", std::string("\x01\xFF\x98\xC0\x1A\t\0z", 8) + "\r\n", 0, 0,
         std::string("\x01\xFF\x98\xC0\x1A\t\0z", 8) + "\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Reference(c.ignore, c.log).marked, c.marked) << c.name << ": the plain reference agrees";
        for (size_t chunk : {1u, 2u, 3u, 7u, 64u, 1u << 20}) {
            for (size_t limit : {0u, 4u, 1u << 20}) {
                SCOPED_TRACE(std::string(c.name) + ", chunk " + std::to_string(chunk) + ", limit " +
                             std::to_string(limit));
                const auto r = MarkInMemory(c.ignore, c.log, limit, chunk);
                ASSERT_TRUE(r.ok);
                EXPECT_EQ(r.counts.errors, c.errors);
                EXPECT_EQ(r.counts.ignored, c.ignored);
                EXPECT_EQ(r.marked, c.marked);
            }
        }
    }
}

TEST(MarkLog, LargeIgnoreListCountsAlikeWithoutTheIndex) {
    // Over the index limit the list is searched entry by entry: same counts.
    std::string big, small;
    for (int i = 0; i < 40000; ++i) big += "entry " + std::to_string(i) + " ORA-" + std::to_string(i % 97) + "\r\n";
    for (int i = 0; i < 3; ++i) small += "entry " + std::to_string(i) + " ORA-" + std::to_string(i % 97) + "\r\n";
    const std::string log = "ORA-1\r\nentry 1\r\nORA-96\r\n0 ORA-0\r\nnothing\r\n";
    const auto a = MarkInMemory(big, log, 1 << 20, 1 << 20);
    const auto b = MarkInMemory(big + big, log, 1 << 20, 1 << 20);
    EXPECT_EQ(a.counts.ignored, b.counts.ignored / 2);
    EXPECT_GT(a.counts.ignored, 0);
    EXPECT_EQ(MarkInMemory(small, log, 1 << 20, 1 << 20).counts.ignored, ReferenceCounts(small, log).ignored);
    EXPECT_EQ(a.counts.ignored, ReferenceCounts(big, log).ignored);
    EXPECT_EQ(a.counts.errors, ReferenceCounts(big, log).errors);
}

TEST(MarkLog, FailuresAreReported) {
    const IgnoreList ignore("");
    Counts counts;
    MemorySource failingRead{"abc\r\n", 1, /*failAt=*/2};
    MemorySink sink;
    EXPECT_FALSE(MarkLog(failingRead, sink, ignore, counts, 1 << 20, 1));
    MemorySource source{"abc\r\ndef\r\n", 1};
    MemorySink failingWrite;
    failingWrite.failAfter = 1;
    EXPECT_FALSE(MarkLog(source, failingWrite, ignore, counts, 1 << 20, 1));
}

}  // namespace
}  // namespace kx::logcheck

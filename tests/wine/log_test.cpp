// CheckLog and WriteLine on real files, in both builds: the marked log, the
// counts, and what stays when something fails.
#include <gtest/gtest.h>

#include "file_fixture.h"
#include "kestrel_dll.h"

namespace kxtest {
namespace {

const std::string kSep = std::string(121, '=') + "\r\n";

class Logs : public EachBuild {
protected:
    void SetUp() override {
        dir_ = std::make_unique<ScratchDir>("LOGS");
        EachBuild::SetUp();
    }
    void TearDown() override {
        EachBuild::TearDown();
        dir_.reset();
    }
    std::string Check(const std::string& log, const std::string& ignore) {
        return dll().Text("CheckLog", log.c_str(), ignore.c_str());
    }
    bool Exists(const std::string& p) { return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES; }
    std::unique_ptr<ScratchDir> dir_;
};

TEST_P(Logs, MarksErrorLinesAndReplacesTheLog) {
    const std::string log = dir_->Write("run.log",
                                        "Table created.\r\nORA-00942: table or view does not exist\n"
                                        "Warning: Package Body created with compilation errors.");
    const std::string none = dir_->Write("none.lst", "");
    EXPECT_EQ(Check(log, none), "2 0");
    EXPECT_EQ(ReadFileBytes(log), "Table created.\r\n" + kSep + "ORA-00942: table or view does not exist\r\n" + kSep +
                                      kSep + "Warning: Package Body created with compilation errors.\r\n" + kSep);
    EXPECT_FALSE(Exists(log + "_"));

    dir_->Write("run.log", "ORA-00942: table or view does not exist\r\nTable created.\r\n");
    const std::string ignore = dir_->Write("ign.lst", "ORA-00942: table or view does not exist -- dropped first\r\n"
                                                      "Table created.\r\n");
    EXPECT_EQ(Check(log, ignore), "0 2");
    EXPECT_EQ(ReadFileBytes(log), "ORA-00942: table or view does not exist\r\nTable created.\r\n");

    const std::string empty = dir_->Write("empty.log", "");
    EXPECT_EQ(Check(empty, ignore), "0 0");
    EXPECT_EQ(ReadFileBytes(empty), "");
}

TEST_P(Logs, EveryByteAndLongLinesPassUnchanged) {
    std::string bytes;
    for (int c = 1; c < 256; ++c)
        if (c != '\r' && c != '\n') bytes.push_back(static_cast<char>(c));
    // Lines across the 1 MiB read blocks, and one longer than the library holds at once.
    const std::string wide(3 << 20, 'w');
    std::string huge = "  SP2-0042 " + std::string(9 << 20, 'h');
    const std::string log = dir_->Write("bytes.log", bytes + "\r\n" + wide + "\r\n" + huge);
    EXPECT_EQ(Check(log, dir_->Write("none.lst", "")), "1 0");
    EXPECT_EQ(ReadFileBytes(log), bytes + "\r\n" + wide + "\r\n" + kSep + huge + "\r\n" + kSep);
}

TEST_P(Logs, FailuresLeaveTheLogAsItWas) {
    const std::string text = "ORA-01017: invalid username/password\r\n";
    const std::string log = dir_->Write("keep.log", text);
    const std::string ignore = dir_->Write("ign.lst", "x\r\n");

    SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_READONLY);
    const DWORD readOnly = GetFileAttributesA(log.c_str());
    ASSERT_NE(readOnly & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(Check(log, dir_->path() + "\\missing.lst"), "???");
    EXPECT_EQ(GetFileAttributesA(log.c_str()), readOnly) << "not even touched";
    EXPECT_EQ(ReadFileBytes(log), text);

    EXPECT_EQ(Check(dir_->path() + "\\missing.log", ignore), "???");
    EXPECT_FALSE(Exists(dir_->path() + "\\missing.log_")) << "no copy of a missing log";

    // The copy cannot be made: a folder holds its name.
    ASSERT_TRUE(CreateDirectoryA((log + "_").c_str(), nullptr));
    EXPECT_EQ(Check(log, ignore), "???");
    EXPECT_EQ(ReadFileBytes(log), text);
    EXPECT_TRUE(Exists(log + "_")) << "what was there stays";
    RemoveDirectoryA((log + "_").c_str());

    // The log cannot be replaced while another program holds it: the counts
    // come back, the marked copy stays beside it.
    HANDLE held = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Check(log, ignore), "1 0");
    CloseHandle(held);
    EXPECT_EQ(ReadFileBytes(log), text);
    EXPECT_EQ(ReadFileBytes(log + "_"), kSep + text + kSep);

    // A read-only log that can be replaced loses the attribute and is marked.
    DeleteFileA((log + "_").c_str());
    EXPECT_EQ(Check(log, ignore), "1 0");
    EXPECT_EQ(GetFileAttributesA(log.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(ReadFileBytes(log), kSep + text + kSep);
}

TEST_P(Logs, WriteLineAppends) {
    const std::string file = dir_->path() + "\\out.log";
    dll().Call("WriteLine", file.c_str(), "first \xE7\xE0\xEF\xE8\xF1\xFC");  // "запись"
    EXPECT_EQ(ReadFileBytes(file), "first \xE7\xE0\xEF\xE8\xF1\xFC\r\n");
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    dll().Call("WriteLine", file.c_str(), "");
    dll().Call("WriteLine", file.c_str(), "a\r\nb");
    dll().Call("WriteLine", file.c_str(), static_cast<const char*>(nullptr));
    EXPECT_EQ(ReadFileBytes(file), "first \xE7\xE0\xEF\xE8\xF1\xFC\r\n\r\na\r\nb\r\n\r\n");
    EXPECT_EQ(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    // A file that cannot be created: nothing happens, nothing escapes.
    dll().Call("WriteLine", (dir_->path() + "\\no\\such\\dir.log").c_str(), "x");
    EXPECT_FALSE(Exists(dir_->path() + "\\no"));
}

KX_FOR_EACH_BUILD(Logs);

}  // namespace
}  // namespace kxtest

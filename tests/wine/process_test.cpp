// Process exports: starting programs with and without waiting, and finding
// and stopping running programs by executable name, in both builds.
#include <gtest/gtest.h>

#include "child_process.h"
#include "file_fixture.h"
#include "kestrel_dll.h"

namespace kxtest {
namespace {

class Processes : public EachBuild {
protected:
    void SetUp() override {
        dir_ = std::make_unique<ScratchDir>("PROC");
        EachBuild::SetUp();
    }
    void TearDown() override {
        EachBuild::TearDown();
        dir_.reset();
    }
    static std::string Child(const std::string& args) {
        std::string line = "\"";
        line += BesideTests("kxchild.exe");
        line += "\" ";
        return line += args;
    }
    int Wait(const std::string& command) { return dll().Int("ExecuteProgramWait", command.c_str()); }
    std::unique_ptr<ScratchDir> dir_;
};

TEST_P(Processes, ExecuteProgramReturnsTheSystemValue) {
    EXPECT_GT(dll().Int("ExecuteProgram", Child("exit 0").c_str()), 31);
    EXPECT_EQ(dll().Int("ExecuteProgram", (dir_->path() + "\\missing.exe").c_str()), 2);
}

TEST_P(Processes, ExecuteProgramWaitGivesTheExitCode) {
    EXPECT_EQ(Wait(Child("exit 3")), 3);
    EXPECT_EQ(Wait(Child("exit 0")), 0);
    EXPECT_EQ(Wait(Child("exit -2")), -2) << "a signed 32-bit code";
    EXPECT_EQ(Wait(Child("wait 200")), 0) << "waits until the program ends";
    EXPECT_EQ(Wait(dir_->path() + "\\missing.exe"), -1);
    EXPECT_EQ(Wait(""), -1);
}

TEST_P(Processes, CommandLineOfAtMost512Characters) {
    std::string line = Child("exit 7");
    line.resize(512, ' ');
    EXPECT_EQ(Wait(line), 7);
    line.push_back(' ');
    EXPECT_EQ(Wait(line), -1) << "513 characters are refused, not cut";
}

TEST_P(Processes, ProcessExistsMatchesTheWholeNameWithLettersAToZInAnyCase) {
    const std::string exe = dir_->path() + "\\KxProbe.exe";
    const std::string cyrillic = dir_->path() + "\\\xEF\xF0\xEE\xE1\xE0.exe";  // "проба.exe"
    EXPECT_EQ(dll().Int("ProcessExists", "kxprobe.exe"), 0);
    ChildProcess probe(exe, "wait 60000"), cyr(cyrillic, "wait 60000");
    struct Case {
        const char* name;
        int expected;
    } cases[] = {
        {"kxprobe.exe", 1},
        {"KXPROBE.EXE", 1},
        {"KxProbe.exe", 1},
        {"kxprobe", 0},
        {"probe.exe", 0},
        {"\xEF\xF0\xEE\xE1\xE0.exe", 1},
        {"\xEF\xF0\xEE\xE1\xE0.EXE", 1},
        {"\xCF\xD0\xCE\xC1\xC0.exe", 0},  // "ПРОБА.exe": outside A..Z case counts
        {"", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(dll().Int("ProcessExists", c.name), c.expected) << c.name;
    EXPECT_EQ(dll().Int("ProcessExists", exe.c_str()), 0) << "a full path never matches";
}

TEST_P(Processes, KillProcessStopsEveryMatchingProcess) {
    const std::string exe = dir_->path() + "\\kxkill.exe";
    ChildProcess first(exe, "wait 60000");
    ChildProcess second("", "wait 60000");  // another name: must survive
    ChildProcess third(dir_->path() + "\\KXKILL2.EXE", "wait 60000");
    ChildProcess fourth(exe, "wait 60000");  // a second process of that name
    EXPECT_EQ(dll().Int("KillProcess", "KXKILL.EXE"), 1);
    EXPECT_EQ(WaitForSingleObject(first.handle(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(fourth.handle(), 10000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(first.handle(), &code);
    EXPECT_EQ(code, 0u) << "terminated with exit code 0";
    EXPECT_EQ(WaitForSingleObject(second.handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(third.handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(dll().Int("ProcessExists", "kxkill.exe"), 0);
    EXPECT_EQ(dll().Int("KillProcess", "kxkill.exe"), 0) << "none left";
}

KX_FOR_EACH_BUILD(Processes);

}  // namespace
}  // namespace kxtest

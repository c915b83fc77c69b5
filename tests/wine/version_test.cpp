// The product version exports: GetKXVersion through a control file and the
// version subkeys, RegDeleteKXVer on the old product key and the subkeys.
#include <gtest/gtest.h>

#include <cstdio>

#include "child_process.h"
#include "file_fixture.h"
#include "kestrel_dll.h"
#include "registry_fixture.h"

namespace kxtest {
namespace {

const char* const kUnknown = "\xCD\xE5\xE8\xE7\xE2.";  // "Неизв."
const std::wstring kOldKey = L"SOFTWARE\\KX";
const std::wstring kVersions = L"SOFTWARE\\Velt\\KX";

std::string Hex(unsigned v) {
    char b[9];
    std::snprintf(b, sizeof b, "%08X", v);
    return b;
}

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

class Versions : public EachBuild {
protected:
    void SetUp() override {
        reg::DeleteTree(kOldKey);
        reg::DeleteTree(kVersions);
        dir_ = std::make_unique<ScratchDir>("VER");
        program_ = dir_->Write("INST\\Programm\\zul.exe", "program body");
        crc_ = Hex(SystemCrc32("program body"));
        EachBuild::SetUp();
    }
    void TearDown() override {
        EachBuild::TearDown();
        dir_.reset();
        reg::DeleteTree(kOldKey);
        reg::DeleteTree(kVersions);
    }
    std::string Version(const std::string& controlText) {
        const std::string control = dir_->Write("zul.ctl", controlText);
        return dll().Text("GetKXVersion", program_.c_str(), control.c_str());
    }
    std::unique_ptr<ScratchDir> dir_;
    std::string program_, crc_;
};

TEST_P(Versions, ControlFileLookup) {
    EXPECT_EQ(dll().Text("GetKXVersion", program_.c_str(), (dir_->path() + "\\none.ctl").c_str()), kUnknown);
    EXPECT_EQ(Version("zul.exe " + crc_ + " - 5.11.0.0\r\n"), "5.11.0.0");
    EXPECT_EQ(Version("other 00000001 - 1.0\nzul.exe " + crc_ + " -  5.10.0.0 \n"), "5.10.0.0");
    EXPECT_EQ(Version("zul.exe " + crc_ + " - 5.9.1.0\nagain " + crc_ + " - 7\n"), "5.9.1.0") << "first line wins";
    // The checksum is sought in the upper-cased line.
    std::string lower = crc_;
    for (auto& c : lower) c = static_cast<char>(tolower(c));
    EXPECT_EQ(Version("x " + lower + " - 5.9.2.0"), "5.9.2.0");
    EXPECT_EQ(Version("  zul.exe " + lower + " v\t\r\n"), "ZUL.EXE " + crc_ + " V") << "no dash: the whole line";
    EXPECT_EQ(Version("zul.exe " + crc_ + " -\r\n"), "") << "an empty version text";
    EXPECT_EQ(Version("zul.exe 00000001 - 5.11.0.0\n"), kUnknown);
    EXPECT_EQ(Version(""), kUnknown);
}

TEST_P(Versions, InstallationSuffixFromTheMatchingSubkey) {
    const std::string base = dir_->path() + "\\INST";
    reg::WriteString(kVersions + L"\\5.12.0.0_1", L"InstallDir", L"D:\\Other");
    reg::WriteString(kVersions + L"\\5.12.0.0_2", L"InstallDir", Wide(base) + L"\\");
    for (auto& c : const_cast<std::string&>(base)) c = static_cast<char>(tolower(c));
    EXPECT_EQ(Version("zul.exe " + crc_ + " - 5.12.0.0"), "5.12.0.0_2");
    // 5.9.4.0 is not below 5.12.0.0 in character order: it is searched too.
    reg::WriteString(kVersions + L"\\5.9.4.0_7", L"InstallDir", Wide(base));
    EXPECT_EQ(Version("zul.exe " + crc_ + " - 5.9.4.0"), "5.9.4.0_7");
    // 5.11.0.0 is below: no search.
    reg::WriteString(kVersions + L"\\5.11.0.0_3", L"InstallDir", Wide(base));
    EXPECT_EQ(Version("zul.exe " + crc_ + " - 5.11.0.0"), "5.11.0.0");
    // A subkey named just by its version gives its first two characters.
    reg::DeleteTree(kVersions);
    reg::WriteString(kVersions + L"\\5.13.0.0", L"InstallDir", Wide(base));
    EXPECT_EQ(Version("zul.exe " + crc_ + " - 5.13.0.0"), "5.13.0.05.");
    // A non-text InstallDir is a failure of the lookup.
    reg::WriteDword(kVersions + L"\\5.13.0.0", L"InstallDir", 1);
    EXPECT_EQ(Version("zul.exe " + crc_ + " - 5.13.0.0"), kUnknown);
}

TEST_P(Versions, OracleBuildUpperCasesControlLinesByTheLocale) {
    const std::string got = Version(crc_ + " - 5.12.0.0 \xE1\xE5\xF2\xE0");  // "бета"
    if (GetParam().build == Build::Oracle)
        EXPECT_EQ(got, "5.12.0.0 \xC1\xC5\xD2\xC0");
    else
        EXPECT_EQ(got, "5.12.0.0 \xE1\xE5\xF2\xE0");
}

TEST_P(Versions, ChecksumOfTheWholeFileInChunks) {
    std::string big(3 * 1024 * 1024 + 17, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 131 + (i >> 12));
    const std::string program = dir_->Write("big.exe", big);
    const std::string control = dir_->Write("big.ctl", "big.exe " + Hex(SystemCrc32(big)) + " - 1.2");
    EXPECT_EQ(dll().Text("GetKXVersion", program.c_str(), control.c_str()), "1.2");
    // An empty or missing program file has the checksum 00000000.
    const std::string zero = dir_->Write("zero.ctl", "x 00000000 - 0.0");
    const std::string empty = dir_->Write("empty.exe", "");
    EXPECT_EQ(dll().Text("GetKXVersion", empty.c_str(), zero.c_str()), "0.0");
    EXPECT_EQ(dll().Text("GetKXVersion", (dir_->path() + "\\missing.exe").c_str(), zero.c_str()), "0.0");
}

TEST_P(Versions, ReadOnlyProgramLosesTheAttributeAndAnOpenOneGivesZero) {
    SetFileAttributesA(program_.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(Version("zul.exe " + crc_ + " - 5.11.0.0"), "5.11.0.0");
    EXPECT_EQ(GetFileAttributesA(program_.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    // Held open without write sharing, as a running program is.
    HANDLE h = CreateFileA(program_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Version("zul.exe " + crc_ + " - 5.11.0.0\nx 00000000 - held"), "HELD");
    CloseHandle(h);
}

TEST_P(Versions, RunningProgramGivesZero) {
    const std::string exe = dir_->path() + "\\RUN.EXE";
    {
        ChildProcess child(exe, "wait 60000");
        const std::string control = dir_->Write("run.ctl", "run.exe 00000000 - running");
        EXPECT_EQ(dll().Text("GetKXVersion", exe.c_str(), control.c_str()), "RUNNING");
    }
    // Once it has ended, the same file gives its real checksum.
    const std::string control = dir_->Write("run.ctl", "run.exe " + Hex(SystemCrc32(ReadFileBytes(exe))) + " - ended");
    EXPECT_EQ(dll().Text("GetKXVersion", exe.c_str(), control.c_str()), "ENDED");
}

TEST_P(Versions, DeleteOldProductKey) {
    const std::string inst = dir_->path() + "\\INST";
    std::string lower = inst;
    for (auto& c : lower) c = static_cast<char>(tolower(c));
    EXPECT_EQ(dll().Text("RegDeleteKXVer", "5.11.0.0", inst.c_str()), "-") << "no old product key";
    for (const std::string& stored : {inst, lower + "\\"}) {
        SCOPED_TRACE(stored);
        reg::WriteString(kOldKey, L"InstallDir", Wide(stored));
        reg::WriteString(kOldKey, L"Version", L"5.10.0.0");
        EXPECT_EQ(dll().Text("RegDeleteKXVer", "5.11.0.0", (inst + "\\").c_str()), "?");
        EXPECT_TRUE(reg::KeyExists(kOldKey));
        reg::WriteString(kOldKey, L"Version", L"5.11.0.0");
        reg::CreateKey(kOldKey + L"\\Sub");
        EXPECT_EQ(dll().Text("RegDeleteKXVer", " 5.11.0.0\t", lower.c_str()), "ok");
        EXPECT_FALSE(reg::KeyExists(kOldKey));
    }
    reg::WriteString(kOldKey, L"InstallDir", Wide(inst));
    reg::WriteDword(kOldKey, L"Version", 5);
    EXPECT_EQ(dll().Text("RegDeleteKXVer", "5.11.0.0", inst.c_str()), "!") << "a non-text value";
}

TEST_P(Versions, DeleteVersionSubkey) {
    const std::string inst = dir_->path() + "\\INST";
    reg::WriteString(kVersions + L"\\5.12.0.0_1", L"InstallDir", Wide(inst));  // no trailing backslash
    EXPECT_EQ(dll().Text("RegDeleteKXVer", "5.12.0.0", inst.c_str()), "-");
    reg::WriteString(kVersions + L"\\5.12.0.0_2", L"InstallDir", Wide(inst) + L"\\");
    EXPECT_EQ(dll().Text("RegDeleteKXVer", "  5.12.0.0 ", inst.c_str()), "ok");
    EXPECT_FALSE(reg::KeyExists(kVersions + L"\\5.12.0.0_2"));
    EXPECT_TRUE(reg::KeyExists(kVersions + L"\\5.12.0.0_1"));
    EXPECT_EQ(dll().Text("RegDeleteKXVer", "5.14.0.0", inst.c_str()), "-");
    EXPECT_EQ(dll().Text("RegDeleteKXVer", "5.12.0.0", (dir_->path() + "\\NOPE").c_str()), "-");
    EXPECT_EQ(dll().Text("RegDeleteKXVer", "5.12.0.0", ""), "-");
    EXPECT_TRUE(reg::KeyExists(kVersions + L"\\5.12.0.0_1"));
}

// RegDeleteKXVer meets a directory once by its long name and once by its short
// one: both sides are compared in the system's short form. The short name is
// taken from the system (Wine makes other ones than Windows).
TEST_P(Versions, DeleteMatchesLongAndShortFormsOfOneDirectory) {
    const std::string longDir = dir_->path() + "\\Long Install Folder";
    ASSERT_TRUE(CreateDirectoryA(longDir.c_str(), nullptr));
    char buf[MAX_PATH];
    ASSERT_GT(GetShortPathNameA(longDir.c_str(), buf, MAX_PATH), 0u);
    const std::string shortDir = buf;
    if (shortDir == longDir) GTEST_SKIP() << "the volume makes no short names";

    reg::WriteString(kOldKey, L"InstallDir", Wide(shortDir));
    reg::WriteString(kOldKey, L"Version", L"5.11.0.0");
    EXPECT_EQ(dll().Text("RegDeleteKXVer", "5.11.0.0", longDir.c_str()), "ok");
    EXPECT_FALSE(reg::KeyExists(kOldKey));

    reg::WriteString(kVersions + L"\\5.13.0.0_1", L"InstallDir", Wide(longDir) + L"\\");
    EXPECT_EQ(dll().Text("RegDeleteKXVer", "5.13.0.0", shortDir.c_str()), "ok");
    EXPECT_FALSE(reg::KeyExists(kVersions + L"\\5.13.0.0_1"));
}

KX_FOR_EACH_BUILD(Versions);

}  // namespace
}  // namespace kxtest

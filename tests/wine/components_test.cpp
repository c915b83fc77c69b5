// Component lists in both builds: installations behind listed files, and the
// search of the fixed disks. The test prefix has a drive of every type (F:
// fixed, R: removable, S: CD-ROM, T: network, U: RAM disk) and on F: a folder
// link that loops back (F:\LOOP\IN\UP is F:\LOOP); see scripts/bootstrap.
#include <gtest/gtest.h>

#include <cstdio>

#include "file_fixture.h"
#include "kestrel_dll.h"
#include "registry_fixture.h"

namespace kxtest {
namespace {

const std::string kUnknown = "\xCD\xE5\xE8\xE7\xE2.";  // "Неизв."

std::string Hex(unsigned v) {
    char b[9];
    std::snprintf(b, sizeof b, "%08X", v);
    return b;
}

class Components : public EachBuild {
protected:
    void SetUp() override {
        reg::DeleteTree(L"SOFTWARE\\Velt\\KX");
        dir_ = std::make_unique<ScratchDir>("COMP");
        EachBuild::SetUp();
    }
    void TearDown() override {
        EachBuild::TearDown();
        SetCurrentDirectoryA("C:\\");
        for (const auto& p : extra_) {
            RemoveTree(p);
            DeleteFileA(p.c_str());
        }
        dir_.reset();
    }
    // An installation: D\Programm\<control> and, when `ini`, D\kx.ini. The
    // program file D\Programm\<program> holds `body`; returns its full name.
    std::string Install(const std::string& d, const char* control, const std::string& program,
                        const std::string& body, bool ini = true) {
        Put(d + "\\Programm\\" + control, "control");
        if (ini) Put(d + "\\kx.ini", "[MAGIC_ENV]");
        return Put(d + "\\Programm\\" + program, body);
    }
    // Writes a file anywhere (other drives too; the test names in extra_
    // what to remove outside the scratch folder).
    std::string Put(const std::string& path, const std::string& content) {
        for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
            CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << "cannot write " << path;
        DWORD put = 0;
        WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &put, nullptr);
        CloseHandle(h);
        return path;
    }
    std::string Control(const std::string& lines) { return dir_->Write("ver.ctl", lines); }
    std::string Crc(const std::string& body) { return Hex(SystemCrc32(body)); }
    std::string List(const char* fn, const std::string& files, const std::string& control) {
        return dll().Text(fn, files.c_str(), control.c_str());
    }
    std::unique_ptr<ScratchDir> dir_;
    std::vector<std::string> extra_;
};

TEST_P(Components, InstallationsOfListedFiles) {
    const std::string base = dir_->path();
    const std::string a = Install(base + "\\A\\ZUL", "zul.ctl", "zul.exe", "body a");
    const std::string a2 = Put(base + "\\A\\ZUL\\Programm\\zul2.exe", "body a2");
    const std::string noIni = Install(base + "\\B\\ZUL", "zul.ctl", "zul.exe", "body a", false);
    const std::string noCtl = Put(base + "\\C\\ZUL\\Bin\\zul.exe", "body a");
    Put(base + "\\C\\ZUL\\kx.ini", "x");
    const std::string unknown = Install(base + "\\D\\ZUL", "zul.ctl", "zul.exe", "body d");
    const std::string control = Control("zul.exe " + Crc("body a") + " - 5.12.0.3\r\nzul2.exe " + Crc("body a2") +
                                        " - 5.12.0.4\r\n");
    const std::string lineA = "KX <5.12.0.3>  -  " + base + "\\A\\ZUL";

    EXPECT_EQ(List("ProcessZULList", "", control), "");
    EXPECT_EQ(List("ProcessZULList", a, control), lineA);
    EXPECT_EQ(List("ProcessZULList", noIni + "\r\n" + noCtl, control), "") << "no *.ini; no Programm\\zul.ctl";
    // One line per distinct text: the same version twice, or the same line in
    // other letter case, is one line.
    std::string lower = a;
    for (auto& c : lower) c = static_cast<char>(tolower(c));
    EXPECT_EQ(List("ProcessZULList", a + "\n" + a + "\n" + lower, control), lineA);
    EXPECT_EQ(List("ProcessZULList", unknown + "\r\n" + a2 + "\r\n" + a, control),
              lineA + "\r\nKX <5.12.0.4>  -  " + base + "\\A\\ZUL\r\nKX <" + kUnknown + ">  -  " + base + "\\D\\ZUL");
    EXPECT_EQ(List("ProcessZULList", a, base + "\\missing.ctl"), "KX <" + kUnknown + ">  -  " + base + "\\A\\ZUL");
    // A zul.ctl does not make a gate.
    EXPECT_EQ(List("ProcessGateList", a, control), "");
}

TEST_P(Components, GateLinesSortByVersionFirst) {
    const std::string base = dir_->path();
    const std::string g1 = Install(base + "\\G1", "gate.ctl", "gate.exe", "gate 5.2");
    const std::string g2 = Install(base + "\\H2", "gate.ctl", "gate.exe", "gate 5.1");
    const std::string control = Control("gate.exe " + Crc("gate 5.2") + " - 5.2\ngate.exe " + Crc("gate 5.1") + " - 5.1\n");
    EXPECT_EQ(List("ProcessGateList", g1 + "\r\n" + g2, control),
              "GATE <5.1>  -  " + base + "\\H2\r\nGATE <5.2>  -  " + base + "\\G1");
}

TEST_P(Components, AFileWithoutDirectory) {
    // ProcessZULList skips it; ProcessGateList looks at the current drive's root.
    const std::string base = dir_->path();
    extra_ = {"C:\\Programm", "C:\\KXROOT.INI"};
    Put("C:\\Programm\\gate.ctl", "control");
    Put("C:\\KXROOT.INI", "x");
    Put(base + "\\gate.exe", "gate body");
    Put(base + "\\zul.exe", "gate body");
    ASSERT_TRUE(SetCurrentDirectoryA(base.c_str()));
    const std::string control = Control("x " + Crc("gate body") + " - 5.3");
    EXPECT_EQ(List("ProcessGateList", "gate.exe", control), "GATE <5.3>  -");
    EXPECT_EQ(List("ProcessZULList", "zul.exe", control), "");
}

TEST_P(Components, SearchWalksOnlyFixedDisksAndEndsOnLoops) {
    extra_ = {"F:\\KX", "F:\\LOOP\\KX", "R:\\KX", "S:\\KX", "T:\\KX", "U:\\KX"};
    std::string lines;
    auto installAt = [&](const std::string& d, const std::string& tag) {
        Install(d, "zul.ctl", "zul.exe", "x");
        Put(d + "\\Programm\\zul.ctl", "control of " + tag);
        lines += "zul.ctl " + Crc("control of " + tag) + " - " + tag + "\r\n";
    };
    installAt(dir_->path() + "\\Z1", "C");
    installAt("F:\\KX\\ZUL", "F");
    installAt("F:\\LOOP\\KX", "L");
    // A zul.ctl outside a Programm folder is not an installation.
    Put("F:\\KX\\NOPRG\\zul.ctl", "control of N");
    Put("F:\\KX\\NOPRG\\kx.ini", "x");
    lines += "zul.ctl " + Crc("control of N") + " - N\r\n";
    for (const char* d : {"R:", "S:", "T:", "U:"}) {
        EXPECT_NE(GetDriveTypeA((std::string(d) + "\\").c_str()), static_cast<UINT>(DRIVE_FIXED)) << d;
        installAt(std::string(d) + "\\KX\\ZUL", std::string(1, d[0]));
    }
    ASSERT_EQ(GetDriveTypeA("F:\\"), static_cast<UINT>(DRIVE_FIXED));
    ASSERT_NE(GetFileAttributesA("F:\\LOOP\\IN\\UP\\IN\\UP\\KX"), INVALID_FILE_ATTRIBUTES) << "the loop is in place";
    const std::string control = Control(lines);
    EXPECT_EQ(dll().Text("GetZULVersionList", control.c_str()),
              "KX <C>  -  " + dir_->path() + "\\Z1\r\nKX <F>  -  F:\\KX\\ZUL\r\nKX <L>  -  F:\\LOOP\\KX");
}

KX_FOR_EACH_BUILD(Components);

}  // namespace
}  // namespace kxtest

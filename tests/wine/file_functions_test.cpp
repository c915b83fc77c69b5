// MD5 digests, version-resource values, folder deletion and the computer
// name, in both builds.
#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include "file_fixture.h"
#include "kestrel_dll.h"

namespace kxtest {
namespace {

std::string OneShotMd5(const std::string& data) {
    HCRYPTPROV prov = 0;
    HCRYPTHASH hash = 0;
    BYTE d[16];
    DWORD n = 16;
    CryptAcquireContextW(&prov, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT);
    CryptCreateHash(prov, CALG_MD5, 0, 0, &hash);
    CryptHashData(hash, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()), 0);
    CryptGetHashParam(hash, HP_HASHVAL, d, &n, 0);
    CryptDestroyHash(hash);
    CryptReleaseContext(prov, 0);
    std::string hex;
    char b[3];
    for (BYTE x : d) snprintf(b, sizeof b, "%02X", x), hex += b;
    return hex;
}

class FileFunctions : public EachBuild {
protected:
    void SetUp() override {
        dir_ = std::make_unique<ScratchDir>("FILES");
        EachBuild::SetUp();
    }
    void TearDown() override {
        EachBuild::TearDown();
        SetCurrentDirectoryA("C:\\");
        dir_.reset();
    }
    std::string Md5(const std::string& path) { return dll().Text("CalcFileMD5", path.c_str()); }
    std::unique_ptr<ScratchDir> dir_;
};

TEST_P(FileFunctions, Md5Digests) {
    EXPECT_EQ(Md5(dir_->Write("empty", "")), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(Md5(dir_->Write("fox", "The quick brown fox jumps over the lazy dog")), "9E107D9D372BB6826BD81D3542A419D6");
    std::string big(3 * 1024 * 1024 + 5, 'x');
    for (size_t i = 0; i < big.size(); i += 4093) big[i] = static_cast<char>(i);
    EXPECT_EQ(Md5(dir_->Write("big", big)), OneShotMd5(big)) << "read in chunks";
    EXPECT_EQ(Md5(dir_->path() + "\\missing"), "");
    EXPECT_EQ(Md5(dir_->path()), "") << "a directory";
}

TEST_P(FileFunctions, Md5OfAFileHeldOpenForWriting) {
    const std::string path = dir_->Write("held", "abc");
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Md5(path), "900150983CD24FB0D6963F7D28E17F72");
    CloseHandle(h);
}

TEST_P(FileFunctions, ModuleVersionValues) {
    struct Case {
        const char* file;
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {"ver_en1252.dll", "FileVersion", "1.2.3.4"},
        {"ver_en1252.dll", "Comments", "en"},
        {"ver_en1252.dll", "ProductVersion", ""},
        {"ver_ru1251.dll", "FileVersion", "5.6.7.8"},  // through the fallback
        {"ver_en1200.dll", "FileVersion", ""},         // the Unicode table is not read
        {"ver_empty_en.dll", "FileVersion", ""},       // empty in 040904E4: no fallback
        {"ver_empty_en.dll", "ProductVersion", "7.7"}, // missing in 040904E4: fallback
        {"kxtests.exe", "FileVersion", ""},            // no version resource
        {"missing.dll", "FileVersion", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.name);
        EXPECT_EQ(dll().Text("GetModuleVersion", BesideTests(c.file).c_str(), c.name), c.expected);
    }
    EXPECT_EQ(dll().Text("GetModuleVersion", GetParam().path.c_str(), "FileVersion"), "2.0.3.1");
    EXPECT_EQ(dll().Text("GetModuleVersion", GetParam().path.c_str(), "CompanyName"), "Velt");
}

TEST_P(FileFunctions, DeleteFolder) {
    dir_->Write("TREE\\A\\B\\f.txt", "x");
    dir_->Write("TREE\\g.txt", "y");
    // A read-only file inside the folder goes with it (the confirmation is off).
    SetFileAttributesA(dir_->Write("TREE\\A\\ro.txt", "r").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(dll().Int("DeleteFolder", (dir_->path() + "\\TREE").c_str()), 0);
    EXPECT_EQ(GetFileAttributesA((dir_->path() + "\\TREE").c_str()), INVALID_FILE_ATTRIBUTES);

    dir_->Write("rel.txt", "z");
    ASSERT_TRUE(SetCurrentDirectoryA(dir_->path().c_str()));
    EXPECT_EQ(dll().Int("DeleteFolder", "rel.txt"), 0) << "relative to the current directory";
    EXPECT_EQ(GetFileAttributesA((dir_->path() + "\\rel.txt").c_str()), INVALID_FILE_ATTRIBUTES);

    EXPECT_NE(dll().Int("DeleteFolder", (dir_->path() + "\\missing").c_str()), 0);
    // Paths that name no folder or a whole drive delete nothing.
    const std::string kept = dir_->Write("kept.txt", "k");
    EXPECT_NE(dll().Int("DeleteFolder", ""), 0);
    EXPECT_NE(dll().Int("DeleteFolder", static_cast<const char*>(nullptr)), 0);
    EXPECT_NE(dll().Int("DeleteFolder", "\\"), 0);
    EXPECT_NE(dll().Int("DeleteFolder", "C:\\KXT\\.."), 0);
    EXPECT_NE(GetFileAttributesA(kept.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA("C:\\windows"), INVALID_FILE_ATTRIBUTES);
}

TEST_P(FileFunctions, ComputerName) {
    char name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD n = sizeof name;
    ASSERT_TRUE(GetComputerNameA(name, &n));
    const std::string got = dll().Text("GetComputerName");
    EXPECT_EQ(got, std::string(name, n));
    EXPECT_LE(got.size(), 15u);
}

KX_FOR_EACH_BUILD(FileFunctions);

}  // namespace
}  // namespace kxtest

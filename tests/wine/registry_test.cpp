// The HKLM registry exports against Wine's real registry, in both builds.
#include <gtest/gtest.h>

#include "kestrel_dll.h"
#include "registry_fixture.h"

namespace kxtest {
namespace {

const std::wstring kRoot = L"SOFTWARE\\KestrelTest";

std::string Narrow(const std::wstring& w) {
    const int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
    s.resize(static_cast<size_t>(n - 1));
    return s;
}

class Registry : public EachBuild {
protected:
    void SetUp() override {
        reg::DeleteTree(kRoot);
        EachBuild::SetUp();
    }
    void TearDown() override {
        EachBuild::TearDown();
        reg::DeleteTree(kRoot);
    }
    int Int(const char* fn, const std::wstring& path) const { return dll().Int(fn, Narrow(path).c_str()); }
};

TEST_P(Registry, CreateKeyMakesEveryMissingLevel) {
    EXPECT_EQ(Int("RegCreateHKLMKey", kRoot + L"\\Velt\\KX\\A\\B"), 0);
    EXPECT_TRUE(reg::KeyExists(kRoot + L"\\Velt\\KX\\A\\B"));
    EXPECT_EQ(Int("RegCreateHKLMKey", kRoot + L"\\Velt\\KX\\A\\B"), 0) << "an existing key counts as created";
    EXPECT_EQ(Int("RegCreateHKLMKey", L"\\" + kRoot + L"\\C"), 0) << "one leading backslash is ignored";
    EXPECT_TRUE(reg::KeyExists(kRoot + L"\\C"));
}

TEST_P(Registry, CreateReportsARefusedKey) {
    reg::CreateVolatile(kRoot + L"\\Volatile");  // refuses non-volatile subkeys
    EXPECT_EQ(Int("RegCreateHKLMKey", kRoot + L"\\Volatile\\Sub"), 1);
    EXPECT_EQ(dll().Int("RegCreateHKLMValue", Narrow(kRoot + L"\\Volatile\\Sub").c_str(), "v", "t"), 1);
    EXPECT_FALSE(reg::KeyExists(kRoot + L"\\Volatile\\Sub"));
}

TEST_P(Registry, DeleteKeyRemovesTheSubtreeAndAlwaysSucceeds) {
    reg::CreateKey(kRoot + L"\\Tree\\A\\A1\\A2");
    reg::CreateKey(kRoot + L"\\Tree\\B");
    reg::WriteString(kRoot + L"\\Tree\\A\\A1", L"v", L"x");
    reg::CreateKey(kRoot + L"\\Sibling");
    EXPECT_EQ(Int("RegDeleteHKLMKey", L"\\" + kRoot + L"\\Tree"), 0);
    EXPECT_FALSE(reg::KeyExists(kRoot + L"\\Tree"));
    EXPECT_TRUE(reg::KeyExists(kRoot + L"\\Sibling"));
    EXPECT_EQ(Int("RegDeleteHKLMKey", kRoot + L"\\Missing"), 0);
    // The root itself is never walked or deleted.
    EXPECT_EQ(dll().Int("RegDeleteHKLMKey", ""), 0);
    EXPECT_EQ(dll().Int("RegDeleteHKLMKey", "\\"), 0);
    EXPECT_EQ(dll().Int("RegDeleteHKLMKey", static_cast<const char*>(nullptr)), 0);
    EXPECT_TRUE(reg::KeyExists(kRoot + L"\\Sibling"));
    EXPECT_TRUE(reg::KeyExists(L"SOFTWARE"));
}

TEST_P(Registry, CreateValueWritesText) {
    const std::string key = Narrow(kRoot + L"\\New\\Key");
    const std::string cyrillic = "\xCF\xF0\xE8\xE2\xE5\xF2";  // "Привет"
    EXPECT_EQ(dll().Int("RegCreateHKLMValue", key.c_str(), "Name", cyrillic.c_str()), 0);
    auto v = reg::Read(kRoot + L"\\New\\Key", L"Name");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(v->data, std::string(reinterpret_cast<const char*>(L"Привет"), 12) + std::string(2, '\0'));

    EXPECT_EQ(dll().Int("RegCreateHKLMValue", key.c_str(), "", "default"), 0);
    v = reg::Read(kRoot + L"\\New\\Key", L"");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->data, std::string(reinterpret_cast<const char*>(L"default"), 16));

    reg::WriteDword(kRoot + L"\\New\\Key", L"Number", 7);
    EXPECT_EQ(dll().Int("RegCreateHKLMValue", key.c_str(), "Number", ""), 0);
    v = reg::Read(kRoot + L"\\New\\Key", L"Number");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(v->data, std::string(2, '\0'));
}

TEST_P(Registry, DeleteValueAlwaysSucceeds) {
    reg::WriteString(kRoot + L"\\K", L"gone", L"x");
    reg::WriteString(kRoot + L"\\K", L"kept", L"x");
    const std::string key = Narrow(kRoot + L"\\K");
    EXPECT_EQ(dll().Int("RegDeleteHKLMValue", key.c_str(), "gone"), 0);
    EXPECT_FALSE(reg::Read(kRoot + L"\\K", L"gone"));
    EXPECT_TRUE(reg::Read(kRoot + L"\\K", L"kept"));
    EXPECT_EQ(dll().Int("RegDeleteHKLMValue", key.c_str(), "missing"), 0);
    EXPECT_EQ(dll().Int("RegDeleteHKLMValue", Narrow(kRoot + L"\\Missing").c_str(), "x"), 0);
    EXPECT_FALSE(reg::KeyExists(kRoot + L"\\Missing")) << "deleting a value creates no key";
}

TEST_P(Registry, KeyListInTheRegistrysOrder) {
    reg::CreateKey(kRoot + L"\\List\\zeta");
    reg::CreateKey(kRoot + L"\\List\\Alpha\\Deep");
    reg::CreateKey(kRoot + L"\\List\\_x");
    reg::CreateKey(kRoot + L"\\Empty");
    std::string expected;
    for (const auto& name : reg::Subkeys(kRoot + L"\\List")) expected += Narrow(name) + "\r\n";
    EXPECT_EQ(dll().Text("RegGetHKLMKeyList", Narrow(kRoot + L"\\List").c_str()), expected);
    EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), 3);
    EXPECT_EQ(dll().Text("RegGetHKLMKeyList", Narrow(kRoot + L"\\Empty").c_str()), "");
    EXPECT_EQ(dll().Text("RegGetHKLMKeyList", Narrow(kRoot + L"\\Missing").c_str()), "");
}

TEST_P(Registry, KeyNamesOutsideTheCodePageComeBackSubstituted) {
    reg::CreateKey(kRoot + L"\\Names\\\x0416\x4E2D");  // Cyrillic Zhe, a CJK character
    EXPECT_EQ(dll().Text("RegGetHKLMKeyList", Narrow(kRoot + L"\\Names").c_str()), "\xC6?\r\n");
}

KX_FOR_EACH_BUILD(Registry);

}  // namespace
}  // namespace kxtest

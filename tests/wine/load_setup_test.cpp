// What loading the library writes: the Btrieve engine's Intl settings.
#include <gtest/gtest.h>

#include "kestrel_dll.h"
#include "registry_fixture.h"

namespace kxtest {
namespace {

const std::wstring kConfiguration = L"SOFTWARE\\Titan\\Btrieve\\Configuration";
const std::wstring kIntl = kConfiguration + L"\\Intl";

class LoadSetup : public testing::TestWithParam<BuildInfo> {
protected:
    void SetUp() override { reg::DeleteTree(kConfiguration); }
    void TearDown() override { reg::DeleteTree(kConfiguration); }
    void Load() {
        KestrelDll dll(GetParam());
        dll.Call("EmptyProc");
    }
};

TEST_P(LoadSetup, CreatesBothValuesAsDwordOne) {
    Load();
    EXPECT_EQ(reg::ReadDword(kIntl, L"IgnoreAnsiOEM"), 1u);
    EXPECT_EQ(reg::ReadDword(kIntl, L"IgnoreOEMAnsi"), 1u);
}

TEST_P(LoadSetup, ExistingValuesKeepContentAndType) {
    reg::WriteDword(kIntl, L"IgnoreAnsiOEM", 0);
    Load();
    EXPECT_EQ(reg::ReadDword(kIntl, L"IgnoreAnsiOEM"), 0u);
    EXPECT_EQ(reg::ReadDword(kIntl, L"IgnoreOEMAnsi"), 1u);

    reg::DeleteTree(kConfiguration);
    reg::WriteString(kIntl, L"IgnoreOEMAnsi", L"0");
    Load();
    const auto v = reg::Read(kIntl, L"IgnoreOEMAnsi");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(v->data, std::string("0\0\0\0", 4));
    EXPECT_EQ(reg::ReadDword(kIntl, L"IgnoreAnsiOEM"), 1u);
}

TEST_P(LoadSetup, LoadsWhenTheKeyCannotBeCreated) {
    // Below a volatile key the system refuses a non-volatile one.
    reg::CreateVolatile(kConfiguration);
    KestrelDll dll(GetParam());
    EXPECT_EQ(dll.Text("AddToList", "", "x"), "x\r\n");
    EXPECT_FALSE(reg::KeyExists(kIntl));
}

INSTANTIATE_TEST_SUITE_P(Builds, LoadSetup, testing::ValuesIn(Builds()), BuildName());

}  // namespace
}  // namespace kxtest

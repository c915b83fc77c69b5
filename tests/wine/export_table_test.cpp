// Each DLL's own export directory against the export tables, its imports,
// and its version resource.
#include <gtest/gtest.h>

#include <set>

#include "kestrel_dll.h"
#include "pe_image.h"

namespace kxtest {
namespace {

namespace cat = kx::catalog;

using ExportTable = EachBuild;

TEST_P(ExportTable, NamesSitAtTheirOrdinalsUndecorated) {
    const ExportDirectory dir = ReadExports(dll().module());
    EXPECT_EQ(dir.dllName, "Kestrel.dll");
    EXPECT_EQ(dir.functionCount, static_cast<int>(dir.named.size())) << "an export without a name";
    std::set<std::string> seen;
    for (const auto& e : dir.named) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(e.name.find('@'), std::string::npos) << "decorated name";
        const cat::Export* known = cat::Find(e.name);
        ASSERT_NE(known, nullptr) << "not in the export tables";
        EXPECT_EQ(e.ordinal, cat::OrdinalIn(*known, GetParam().build));
        EXPECT_TRUE(seen.insert(e.name).second) << "exported twice";
    }
    // The line-list group is always there; later families add theirs.
    for (const char* name : {"EmptyProc", "AddToList", "GetEntry", "JoinLists"})
        EXPECT_TRUE(seen.count(name)) << name;
}

TEST_P(ExportTable, ImportsOnlySystemDlls) {
    char system[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
    for (const auto& name : ReadImportedDlls(dll().module())) {
        SCOPED_TRACE(name);
        const std::string path = std::string(system) + "\\" + name;
        EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << "not a system DLL";
        EXPECT_EQ(name.find("libgcc"), std::string::npos);
        EXPECT_EQ(name.find("libstdc++"), std::string::npos);
        EXPECT_EQ(name.find("libwinpthread"), std::string::npos);
    }
}

std::wstring VersionValue(const std::vector<BYTE>& block, const std::wstring& name) {
    void* p = nullptr;
    UINT len = 0;
    const std::wstring query = L"\\StringFileInfo\\040904E4\\" + name;
    if (!VerQueryValueW(block.data(), query.c_str(), &p, &len) || !p) return L"<missing>";
    return std::wstring(static_cast<const wchar_t*>(p));
}

TEST_P(ExportTable, VersionResource) {
    const std::wstring path(GetParam().path.begin(), GetParam().path.end());
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
    EXPECT_EQ(VersionValue(block, L"CompanyName"), L"Velt");
    EXPECT_EQ(VersionValue(block, L"FileVersion"), L"2.0.3.1");
    EXPECT_EQ(VersionValue(block, L"ProductVersion"), L"2.0.0.0");
}

KX_FOR_EACH_BUILD(ExportTable);

}  // namespace
}  // namespace kxtest

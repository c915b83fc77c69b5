// The i686 deliverables read as files: a PE32 DLL for i386 whose export
// directory matches the export tables and whose imports are system DLLs only.
// These checks hold on any machine, also where Wine cannot run 32-bit code.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "frame/export_catalog.h"

namespace {

namespace cat = kx::catalog;

class PeFile {
public:
    explicit PeFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        if (!in) throw std::runtime_error("cannot read " + path);
        bytes_.assign(std::istreambuf_iterator<char>(in), {});
        nt_ = U32(0x3C);
        if (U32(nt_) != 0x00004550) throw std::runtime_error("no PE signature");
        const uint32_t sections = U16(nt_ + 6);
        opt_ = nt_ + 24;
        for (uint32_t i = 0; i < sections; ++i) {
            const size_t s = opt_ + U16(nt_ + 20) + i * 40;
            sections_.push_back({U32(s + 12), std::max(U32(s + 8), U32(s + 16)), U32(s + 20)});
        }
    }
    uint16_t Machine() const { return U16(nt_ + 4); }
    uint16_t Magic() const { return U16(opt_); }
    // PE32 data directories start 96 bytes into the optional header.
    uint32_t DirectoryRva(int index) const { return U32(opt_ + 96 + 8 * index); }

    size_t Offset(uint32_t rva) const {
        for (const auto& s : sections_)
            if (rva >= s.rva && rva < s.rva + s.size) return rva - s.rva + s.raw;
        throw std::runtime_error("RVA outside every section");
    }
    uint32_t U32(size_t at) const { return U16(at) | static_cast<uint32_t>(U16(at + 2)) << 16; }
    uint16_t U16(size_t at) const {
        if (at + 2 > bytes_.size()) throw std::runtime_error("read past the end");
        return static_cast<uint16_t>(static_cast<uint8_t>(bytes_[at]) | static_cast<uint8_t>(bytes_[at + 1]) << 8);
    }
    std::string Str(uint32_t rva) const { return std::string(&bytes_.at(Offset(rva))); }

private:
    struct Section {
        uint32_t rva, size, raw;
    };
    std::vector<char> bytes_;
    size_t nt_ = 0, opt_ = 0;
    std::vector<Section> sections_;
};

struct Deliverable {
    const char* variant;
    cat::Build build;
};

class Deliverables : public testing::TestWithParam<Deliverable> {
protected:
    void SetUp() override {
        const char* dir = std::getenv("KX_DELIVERABLES");
        if (!dir) GTEST_SKIP() << "KX_DELIVERABLES names the build directory";
        pe_ = std::make_unique<PeFile>(std::string(dir) + "/" + GetParam().variant + "/Kestrel.dll");
    }
    std::unique_ptr<PeFile> pe_;
};

TEST_P(Deliverables, IsA32BitDll) {
    EXPECT_EQ(pe_->Machine(), 0x14C);  // i386
    EXPECT_EQ(pe_->Magic(), 0x10B);    // PE32
    EXPECT_NE(pe_->DirectoryRva(2), 0u) << "no resources (version)";
}

TEST_P(Deliverables, ExportsMatchTheTable) {
    const PeFile& pe = *pe_;
    const size_t dir = pe.Offset(pe.DirectoryRva(0));
    EXPECT_EQ(pe.Str(pe.U32(dir + 12)), "Kestrel.dll");
    const uint32_t base = pe.U32(dir + 16), names = pe.U32(dir + 24);
    const size_t nameTable = pe.Offset(pe.U32(dir + 32)), ordTable = pe.Offset(pe.U32(dir + 36));
    std::set<std::string> seen;
    for (uint32_t i = 0; i < names; ++i) {
        const std::string name = pe.Str(pe.U32(nameTable + 4 * i));
        const int ordinal = static_cast<int>(base + pe.U16(ordTable + 2 * i));
        SCOPED_TRACE(name);
        const cat::Export* e = cat::Find(name);
        ASSERT_NE(e, nullptr) << "not in the export tables (decorated?)";
        EXPECT_EQ(ordinal, cat::OrdinalIn(*e, GetParam().build));
        seen.insert(name);
    }
    for (const char* name : {"EmptyProc", "AddToList", "GetEntry", "JoinLists"}) EXPECT_TRUE(seen.count(name)) << name;
}

TEST_P(Deliverables, ImportsOnlySystemDlls) {
    const std::set<std::string> system = {"kernel32.dll", "user32.dll", "advapi32.dll", "msvcrt.dll",
                                          "shell32.dll",  "version.dll", "ole32.dll",   "oleaut32.dll",
                                          "gdi32.dll",    "comdlg32.dll", "comctl32.dll", "shlwapi.dll",
                                          "crypt32.dll"};
    const PeFile& pe = *pe_;
    for (size_t d = pe.Offset(pe.DirectoryRva(1)); pe.U32(d + 12) != 0; d += 20) {
        std::string name = pe.Str(pe.U32(d + 12));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        EXPECT_TRUE(system.count(name)) << name << " is not a system DLL";
    }
}

INSTANTIATE_TEST_SUITE_P(Builds, Deliverables,
                         testing::Values(Deliverable{"oracle", cat::Build::Oracle},
                                         Deliverable{"migration", cat::Build::Migration}),
                         [](const auto& info) { return std::string(info.param.variant); });

TEST(ExportCatalog, BothTablesAreCompleteAndConsistent) {
    std::set<int> oracle, migration;
    int common = 0;
    for (const auto& e : cat::kExports) {
        if (e.oracle) {
            EXPECT_TRUE(oracle.insert(e.oracle).second) << e.name;
        }
        if (e.migration) {
            EXPECT_TRUE(migration.insert(e.migration).second) << e.name;
        }
        if (e.oracle && e.migration) ++common;
        EXPECT_TRUE(e.oracle || e.migration) << e.name;
        EXPECT_LE(e.args.size(), 5u);
    }
    EXPECT_EQ(oracle.size(), 43u);
    EXPECT_EQ(*oracle.rbegin(), 43);
    EXPECT_EQ(migration.size(), 45u);
    EXPECT_EQ(*migration.rbegin(), 45);
    EXPECT_EQ(common, 39);
}

}  // namespace

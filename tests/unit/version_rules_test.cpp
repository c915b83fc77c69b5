#include "host/version_rules.h"

#include <gtest/gtest.h>

#include "host/crc32.h"

namespace kx {
namespace {

using SV = std::string_view;

TEST(Crc32, StandardValuesInAnyChunking) {
    Crc32 empty;
    EXPECT_EQ(ChecksumText(empty.Value()), "00000000");
    Crc32 whole;
    whole.Update("123456789", 9);
    EXPECT_EQ(ChecksumText(whole.Value()), "CBF43926");  // the check value of CRC-32
    Crc32 parts;
    parts.Update("1234", 4);
    parts.Update("", 0);
    parts.Update("56789", 5);
    EXPECT_EQ(parts.Value(), whole.Value());
    EXPECT_EQ(ChecksumText(0x0A1B2C3D), "0A1B2C3D");
}

// Bit by bit, as the polynomial defines it: the reference for the table code.
uint32_t BitwiseCrc32(const std::string& s) {
    uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : s) {
        c ^= b;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return c ^ 0xFFFFFFFFu;
}

TEST(Crc32, WordAndByteStepsAgreeAtEveryLengthAndSplit) {
    std::string data;
    for (int i = 0; i < 67; ++i) data.push_back(static_cast<char>(i * 37 + 11));
    for (size_t len = 0; len <= data.size(); ++len) {
        const std::string s = data.substr(0, len);
        for (size_t split = 0; split <= len; split += 3) {
            Crc32 c;
            c.Update(s.data(), split);
            c.Update(s.data() + split, len - split);
            ASSERT_EQ(c.Value(), BitwiseCrc32(s)) << len << " split at " << split;
        }
    }
}

TEST(VersionRules, ControlLine) {
    EXPECT_EQ(ControlLineVersion(SV("ZUL.EXE 0A1B2C3D - 5.11.0.0"), SV("0A1B2C3D")), SV("5.11.0.0"));
    EXPECT_EQ(ControlLineVersion(SV("A - B - C"), SV("A")), SV("B - C"));
    EXPECT_EQ(ControlLineVersion(SV("0A1B2C3D 5.1"), SV("0A1B2C3D")), SV("0A1B2C3D 5.1"));
    EXPECT_EQ(ControlLineVersion(SV("X 0A1B2C3D -"), SV("0A1B2C3D")), SV(""));
    EXPECT_FALSE(ControlLineVersion(SV("X 0A1B2C3E - 1"), SV("0A1B2C3D")));
    EXPECT_FALSE(ControlLineVersion(SV(""), SV("")));
}

TEST(VersionRules, SuffixThresholdIsCharacterOrder) {
    for (SV v : {"5.12.0.0", "5.13.0.0", "5.9.4.0", "6.0.0.0", "5.2"}) EXPECT_TRUE(TakesInstallationSuffix(v)) << v;
    for (SV v : {"5.11.0.0", "5.10.0.0", "10.0.0.0", " 5.12.0.0", ""}) EXPECT_FALSE(TakesInstallationSuffix(v)) << v;
}

TEST(VersionRules, InstallationBaseAndSuffix) {
    EXPECT_EQ(InstallationBase(SV("C:\\KX\\Programm\\zul.exe")), SV("C:\\KX"));
    EXPECT_EQ(InstallationBase(SV("C:\\Programm\\zul.exe")), SV("C:"));
    EXPECT_EQ(InstallationBase(SV("C:zul.exe")), SV("C:"));
    EXPECT_EQ(InstallationBase(SV("zul.exe")), SV(""));
    EXPECT_EQ(InstallationSuffix(SV("5.12.0.0_2")), SV("_2"));
    EXPECT_EQ(InstallationSuffix(SV("5.12.0.0_")), SV("_"));
    EXPECT_EQ(InstallationSuffix(SV("5.12.0.0")), SV("5."));
}

}  // namespace
}  // namespace kx

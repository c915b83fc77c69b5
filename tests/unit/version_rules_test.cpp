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

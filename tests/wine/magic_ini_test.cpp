// The Magic INI exports on real files, in both builds: the fields, the
// locale's upper-casing, and where the two builds cut the value differently.
#include <gtest/gtest.h>

#include "file_fixture.h"
#include "kestrel_dll.h"

namespace kxtest {
namespace {

class MagicIni : public EachBuild {
protected:
    void SetUp() override {
        dir_ = std::make_unique<ScratchDir>("INI");
        EachBuild::SetUp();
    }
    void TearDown() override {
        EachBuild::TearDown();
        dir_.reset();
    }
    std::string Field(const char* fn, const std::string& content) {
        return dll().Text(fn, dir_->Write("magic.ini", content).c_str());
    }
    bool Oracle() const { return GetParam().build == Build::Oracle; }
    std::unique_ptr<ScratchDir> dir_;
};

// Fields 1..19, user and password in Cyrillic lower case ("пользователь", "пароль").
const std::string kValue = "f1,f2,f3,f4,f5,f6,\xEF\xEE\xEB\xFC\xE7,\xEF\xE0\xF0,f9,f10,f11,f12,f13,f14,f15,f16,f17,f18,srv";

TEST_P(MagicIni, FieldsAreUpperCasedByTheLocale) {
    const std::string file = "[MAGIC_ENV]\r\n  oder = " + kValue + ",\r\n[MAGIC_PRINTERS]\r\nODER=x\r\n";
    EXPECT_EQ(Field("GetIniDBUser", file), "\xCF\xCE\xCB\xDC\xC7");
    EXPECT_EQ(Field("GetIniDBPassword", file), "\xCF\xC0\xD0");
    EXPECT_EQ(Field("GetIniDBServer", file), "SRV");
    // Over three lines.
    EXPECT_EQ(Field("GetIniDBServer", "ODER=f1,f2,f3,f4,f5,f6,+\r\nu,p,f9,f10,+\n\nf11,f12,f13,f14,f15,f16,f17,f18,srv,"),
              "SRV");
}

TEST_P(MagicIni, BuildsCutTheValueTheirOwnWay) {
    // No comma after field 19: only the Oracle build finds it.
    EXPECT_EQ(Field("GetIniDBServer", "ODER=" + kValue), Oracle() ? "SRV" : "");
    // An inner blank in field 2 makes two fields of it in the Oracle build.
    EXPECT_EQ(Field("GetIniDBUser", "ODER=f1,f 2,f3,f4,f5,f6,u,p,"), Oracle() ? "F6" : "U");
}

TEST_P(MagicIni, MissingPartsGiveEmptyText) {
    EXPECT_EQ(dll().Text("GetIniDBUser", (dir_->path() + "\\missing.ini").c_str()), "");
    EXPECT_EQ(dll().Text("GetIniDBUser", ""), "");
    EXPECT_EQ(Field("GetIniDBUser", "[MAGIC_PRINTERS]\r\nODER=" + kValue + ",\r\n"), "");
    EXPECT_EQ(Field("GetIniDBPassword", "ODER=a,b,c,d,e\r\n"), "");
    EXPECT_EQ(Field("GetIniDBServer", ""), "");
}

KX_FOR_EACH_BUILD(MagicIni);

}  // namespace
}  // namespace kxtest

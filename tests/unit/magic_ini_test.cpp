#include "host/magic_ini.h"

#include <gtest/gtest.h>

namespace kx::magic {
namespace {

using SV = std::string_view;

std::string Upper(SV s) { return UpperAZ(s); }
std::string Value(SV file) { return ReadEntryValue(file, Upper); }

// 19 fields, numbered f1..f19, with a comma after the last.
const std::string kFields = "f1,f2,f3,f4,f5,f6,user,pass,f9,f10,f11,f12,f13,f14,f15,f16,f17,f18,server,";

TEST(MagicIni, EntryValue) {
    const struct {
        const char* name;
        std::string file, value;
    } cases[] = {
        {"one line", "[MAGIC_ENV]\r\nODER = " + kFields + "\r\n[MAGIC_PRINTERS]\r\n", Upper(kFields)},
        {"continued with +", "ODER=f1,f2,f3,+\r\nf4,f5,f6,user,+\r\n  pass,f9\r\n[magic_printers]", "F1,F2,F3,F4,F5,F6,USER,PASS,F9"},
        {"continued without +, empty lines skipped", "oder=a,\n\n b,\n\r\nc\n[MAGIC_PRINTERS]", "A,B,C"},
        {"a further entry joins the last field", "ODER=a,b\nOTHER=c,d\n[MAGIC_PRINTERS]", "A,BOTHER=C,D"},
        {"lower case with blanks in front", "   oder=user,x", "USER,X"},
        {"printers first", "  [magic_printers]\r\nODER=a,b", ""},
        {"inner blanks make another line", "ODER=a\r\n[ MAGIC_PRINTERS ]", "A[ MAGIC_PRINTERS ]"},
        {"printers header trimmed and in any case", "ODER=a\r\n  [Magic_Printers]  \r\nb", "A"},
        {"no entry", "X=1\r\n", ""},
        {"end of file without the header keeps what was read", "ODER=a,+\r\nb", "A,B"},
        {"no equal sign", "ODERA,B", "ODERA,B"},
        {"only the first ODER line starts the entry", "x\nODER1=a\nODER2=b", "A\x4F\x44\x45R2=B"},
        {"empty file", "", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Value(c.file), c.value) << c.name;
}

TEST(MagicIni, FieldsOfBothBuilds) {
    const std::string v = Upper(kFields);
    EXPECT_EQ(FieldBetweenCommas(SV(v), kUserField), "USER");
    EXPECT_EQ(FieldBetweenCommas(SV(v), kPasswordField), "PASS");
    EXPECT_EQ(FieldBetweenCommas(SV(v), kServerField), "SERVER");
    EXPECT_EQ(CommaTextField(SV(v), kUserField), "USER");
    EXPECT_EQ(CommaTextField(SV(v), kServerField), "SERVER");

    // Exactly 19 fields, no comma after the last.
    const std::string last = v.substr(0, v.size() - 1);
    EXPECT_EQ(FieldBetweenCommas(SV(last), kServerField), "");
    EXPECT_EQ(CommaTextField(SV(last), kServerField), "SERVER");

    // An inner blank in field 2 splits it in the Oracle build only.
    const std::string blank = "F1,F 2,F3,F4,F5,F6,USER,PASS,";
    EXPECT_EQ(FieldBetweenCommas(SV(blank), kUserField), "USER");
    EXPECT_EQ(CommaTextField(SV(blank), kUserField), "F6");

    // Fewer than seven fields.
    EXPECT_EQ(FieldBetweenCommas(SV("A,B,C"), kUserField), "");
    EXPECT_EQ(CommaTextField(SV("A,B,C"), kUserField), "");

    // Blank and empty fields.
    EXPECT_EQ(FieldBetweenCommas(SV("1,2,3,4,5,6,   ,8,"), kUserField), "");
    EXPECT_EQ(CommaTextField(SV("1,2,3,4,5,6,   ,8,"), kUserField), "");
    EXPECT_EQ(FieldBetweenCommas(SV("1,2,3,4,5,6, u ,8,"), kUserField), "u");
    EXPECT_EQ(CommaTextField(SV("1,2,3,4,5,6, u ,8,"), kUserField), "u");
}

TEST(MagicIni, CommaTextCutting) {
    using V = std::vector<std::string>;
    const struct {
        SV text;
        V fields;
    } cases[] = {
        {"", V{}},
        {"a", V{"a"}},
        {"a,", V{"a", ""}},
        {"a,,b", V{"a", "", "b"}},
        {",a", V{"", "a"}},
        {"  a  b ,c", V{"a", "b", "c"}},
        {"\"x, y\",z", V{"x, y", "z"}},
        {"\"say \"\"hi\"\"\",z", V{"say \"hi\"", "z"}},
        {"\"open", V{"open"}},
        {"\"ab\"cd,e", V{"ab", "cd", "e"}},
        {"a\tb", V{"a", "b"}},
        {SV("a\0b,c", 5), V{"a"}},
    };
    for (const auto& c : cases) EXPECT_EQ(CommaFields(c.text), c.fields) << c.text;
}

}  // namespace
}  // namespace kx::magic

// The Oracle stand-in's portable core: SQL translation, values and their
// external forms, connect descriptors, database.ini, and the engine's Oracle
// semantics on SQLite.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <unistd.h>

#include <filesystem>

#include "engine.h"
#include "oci_defs.h"
#include "ora_error.h"
#include "site.h"
#include "sql_text.h"
#include "tns.h"
#include "values.h"

namespace oradb {
namespace {

// The ORA number an action raises, or 0.
template <class F>
int OraCodeOf(F&& action) {
    try {
        action();
    } catch (const OraError& e) {
        return e.code();
    }
    return 0;
}

TEST(OradbSql, TranslatesOracleToSqlite) {
    struct Case {
        const char* oracle;
        const char* sqlite;
    } cases[] = {
        {"select db_version from kx_configuration", "SELECT DB_VERSION FROM KX_CONFIGURATION"},
        {"SELECT X FROM scott.T", "SELECT X FROM main.T"},
        {"SELECT X FROM other.T", "SELECT X FROM OTHER.T"},
        {"update t set a='' where b = 'It''s'", "UPDATE T SET A=NULL WHERE B = 'It''s'"},
        {"select sysdate, user from dual", "SELECT SYSDATE(), ORA_USER() FROM DUAL"},
        {"select \"Mixed\" from t -- a comment; not a statement end", "SELECT \"Mixed\" FROM T -- a comment; not a statement end"},
        {"insert into t values (:a, :Bb, :a)", "INSERT INTO T VALUES (:A, :BB, :A)"},
        {"select 1 from t where a ^= 2", "SELECT 1 FROM T WHERE A != 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.oracle);
        EXPECT_EQ(TranslateSql(c.oracle, "SCOTT").sqlite, c.sqlite);
    }
    const auto t = TranslateSql("insert into t values (:a, :Bb, :a)", "SCOTT");
    EXPECT_EQ(t.binds, (std::vector<std::string>{"A", "BB"}));
    EXPECT_EQ(t.kind, StatementKind::Insert);
    EXPECT_TRUE(TranslateSql("select * from user_tables", "S").usesUserTables);
    EXPECT_EQ(KindOf("  (select 1 from dual)"), StatementKind::Select);
    EXPECT_EQ(KindOf("CREATE TABLE X (A NUMBER)"), StatementKind::Create);
    EXPECT_EQ(KindOf("frobnicate"), StatementKind::Other);
}

TEST(OradbSql, RefusesWhatOracleRefusesBeforeParsing) {
    EXPECT_EQ(OraCodeOf([] { TranslateSql("select 1 from dual;", "S"); }), 911);
    EXPECT_EQ(OraCodeOf([] { TranslateSql("select 'open from dual", "S"); }), 1756);
    EXPECT_EQ(OraCodeOf([] { TranslateSql("select \"open from dual", "S"); }), 1740);
    EXPECT_EQ(OraCodeOf([] { TranslateSql("select ';' from dual", "S"); }), 0) << "inside a literal";
}

TEST(OradbValues, NumbersAndDatesAsOracleWritesThem) {
    EXPECT_EQ(NumberText(0.5), ".5");
    EXPECT_EQ(NumberText(-0.25), "-.25");
    EXPECT_EQ(NumberText(12), "12");
    EXPECT_EQ(NumberText(1234567890123456.0), "1234567890123456");
    EXPECT_EQ(NumberText(2.75), "2.75");
    const Date d{2001, 1, 2, 3, 4, 5};
    EXPECT_EQ(StoredDate(d), "2001-01-02 03:04:05");
    EXPECT_EQ(ParseStoredDate("2001-01-02 03:04:05"), d);
    EXPECT_FALSE(ParseStoredDate("2001-02-30 00:00:00"));
    EXPECT_FALSE(ParseStoredDate("hello"));
    EXPECT_EQ(DefaultDateText(d), "02-JAN-01");
    EXPECT_EQ(FormatDate(d, "dd.mm.yyyy hh24:mi:ss"), "02.01.2001 03:04:05");
    EXPECT_EQ(ParseDate("02.01.2001 03:04:05", "DD.MM.YYYY HH24:MI:SS"), d);
    EXPECT_EQ(ParseDate("02-jan-01", "DD-MON-RR"), (Date{2001, 1, 2, 0, 0, 0}));
    EXPECT_FALSE(ParseDate("31.02.2001", "DD.MM.YYYY"));
}

TEST(OradbValues, ExternalTypesRoundTrip) {
    // SQLT_DAT: century+100, year+100, month, day, hour+1, minute+1, second+1.
    const unsigned char dat[7] = {120, 101, 1, 1, 2, 2, 2};
    const Value v = FromExternal(oci::SQLT_DAT, dat, 7);
    EXPECT_EQ(std::get<Date>(v), (Date{2001, 1, 1, 1, 1, 1}));
    unsigned char back[7] = {};
    ToExternal(v, oci::SQLT_DAT, back, 7);
    EXPECT_EQ(std::memcmp(back, dat, 7), 0);
    unsigned char odt[8] = {};
    ToExternal(v, oci::SQLT_ODT, odt, 8);
    EXPECT_EQ(std::get<Date>(FromExternal(oci::SQLT_ODT, odt, 8)), (Date{2001, 1, 1, 1, 1, 1}));

    char text[6] = {};
    Fetched f = ToExternal(Value{std::string("abcdefgh")}, oci::SQLT_STR, text, sizeof text);
    EXPECT_TRUE(f.truncated);
    EXPECT_EQ(f.fullLength, 8u);
    EXPECT_STREQ(text, "abcde") << "room for the zero";
    f = ToExternal(Value{0.5}, oci::SQLT_STR, text, sizeof text);
    EXPECT_STREQ(text, ".5");
    int32_t i = 0;
    ToExternal(Value{std::string(" 42 ")}, oci::SQLT_INT, &i, 4);
    EXPECT_EQ(i, 42);
    EXPECT_EQ(OraCodeOf([&] { ToExternal(Value{std::string("x")}, oci::SQLT_INT, &i, 4); }), 1722);
    double d = 0;
    ToExternal(Value{int64_t{7}}, oci::SQLT_FLT, &d, 8);
    EXPECT_EQ(d, 7.0);
    EXPECT_TRUE(IsNull(FromExternal(oci::SQLT_STR, "", 1))) << "'' is NULL";
    EXPECT_EQ(std::get<std::string>(FromExternal(oci::SQLT_STR, "ab\0cd", 5)), "ab");
    EXPECT_EQ(std::get<int64_t>(FromExternal(oci::SQLT_INT, "\xFF\xFF", 2)), -1);
    EXPECT_EQ(OraCodeOf([] { FromExternal(oci::SQLT_CLOB, "x", 1); }), 932);
}

TEST(OradbTns, AliasesDescriptorsAndEasyConnect) {
    const std::string tnsnames =
        "# the site's databases\n"
        "KXDB.WORLD, KX =\n  (DESCRIPTION =\n    (ADDRESS = (PROTOCOL = TCP)(HOST = db1)(PORT = 1521))\n"
        "    (CONNECT_DATA = (SERVICE_NAME = kxdb))\n  )\n"
        "OLD = (DESCRIPTION=(ADDRESS=(HOST=db2)(PORT=1526))(CONNECT_DATA=(SID=ORCL)))\n"
        "IFILE = more.ora\n";
    const FileReader read = [](const std::string& name) -> std::optional<std::string> {
        if (name == "more.ora") return std::string("EXTRA = (DESCRIPTION=(CONNECT_DATA=(SERVICE_NAME=X1)))");
        return std::nullopt;
    };
    auto entry = FindTnsEntry(tnsnames, "kx", read);
    ASSERT_TRUE(entry);
    Descriptor d = ParseDescriptor(*entry);
    EXPECT_EQ(d.host, "db1");
    EXPECT_EQ(d.port, "1521");
    EXPECT_EQ(d.service, "KXDB");
    EXPECT_TRUE(FindTnsEntry(tnsnames, "KXDB.world", read));
    EXPECT_EQ(ParseDescriptor(*FindTnsEntry(tnsnames, "old", read)).service, "ORCL") << "SID when no SERVICE_NAME";
    EXPECT_EQ(ParseDescriptor(*FindTnsEntry(tnsnames, "extra", read)).service, "X1") << "through IFILE";
    EXPECT_FALSE(FindTnsEntry(tnsnames, "nowhere", read));
    EXPECT_EQ(DefaultDomain("# x\nnames.default_domain = world\n"), "world");
    auto ez = ParseEasyConnect("//dbhost:1522/kxdb");
    ASSERT_TRUE(ez);
    EXPECT_EQ(ez->host, "dbhost");
    EXPECT_EQ(ez->port, "1522");
    EXPECT_EQ(ez->service, "KXDB");
    EXPECT_FALSE(ParseEasyConnect("KXDB"));
}

TEST(OradbSite, DatabaseIniRoundTrip) {
    DatabaseConfig c;
    c.service = "KXDB";
    c.endpoint = Endpoint::Silent;
    c.silentMs = 50;
    c.accounts = {{"SCOTT", "ti;ger", false, false}, {"SYS", "pw", false, true}, {"OLD", "x", true, false}};
    const DatabaseConfig back = ParseDatabaseIni(DatabaseIniText(c));
    EXPECT_EQ(back.service, "KXDB");
    EXPECT_EQ(back.endpoint, Endpoint::Silent);
    EXPECT_EQ(back.silentMs, 50);
    ASSERT_EQ(back.accounts.size(), 3u);
    EXPECT_EQ(back.Find("SCOTT")->password, "ti;ger");
    EXPECT_TRUE(back.Find("SYS")->sysdba);
    EXPECT_TRUE(back.Find("OLD")->locked);
    EXPECT_EQ(back.Find("NOBODY"), nullptr);
}

class OradbEngine : public testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("oradb-unit-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::unique_ptr<Session> Open(const std::string& user) {
        return std::make_unique<Session>(dir_.string(), user, user, std::vector<std::string>{"SCOTT", "OTHER"});
    }
    static void Run(Session& s, const std::string& sql, const std::map<std::string, Value>& binds = {}) {
        Cursor c(s, sql);
        c.Execute(binds);
    }
    // The first column of the first row as text, or "<none>".
    static std::string One(Session& s, const std::string& sql) {
        Cursor c(s, sql);
        c.Execute({});
        if (!c.Next()) return "<none>";
        const Value v = c.At(0);
        if (IsNull(v)) return "<null>";
        if (auto i = std::get_if<int64_t>(&v)) return std::to_string(*i);
        if (auto d = std::get_if<double>(&v)) return NumberText(*d);
        if (auto t = std::get_if<Date>(&v)) return StoredDate(*t);
        return std::get<std::string>(v);
    }
    std::filesystem::path dir_;
};

TEST_F(OradbEngine, OracleErrorsForWhatSqliteSays) {
    auto s = Open("SCOTT");
    Run(*s, "create table t (a number not null, b varchar2(10), d date)");
    struct Case {
        const char* sql;
        int code;
        const char* text;
    } cases[] = {
        {"select * from missing", 942, "ORA-00942: table or view does not exist\n"},
        {"select nosuch from t", 904, "ORA-00904: \"NOSUCH\": invalid identifier\n"},
        {"create table t (x number)", 955, "ORA-00955: name is already used by an existing object\n"},
        {"insert into t (a) values ('')", 1400, "ORA-01400: cannot insert NULL into (\"SCOTT\".\"T\".\"A\")\n"},
        {"select from where", 933, nullptr},
        {"frobnicate the table", 900, "ORA-00900: invalid SQL statement\n"},
        {"select 1 from dual;", 911, "ORA-00911: invalid character\n"},
        {"select * from nowhere.t", 942, nullptr},
        {"begin null; end;", 900, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql);
        try {
            Run(*s, c.sql);
            ADD_FAILURE() << "no error";
        } catch (const OraError& e) {
            EXPECT_EQ(e.code(), c.code);
            if (c.text) {
                EXPECT_STREQ(e.what(), c.text);
            }
        }
    }
    Run(*s, "insert into t (a) values (1)");
    try {
        Run(*s, "update t set a = null");
        ADD_FAILURE();
    } catch (const OraError& e) {
        EXPECT_STREQ(e.what(), "ORA-01407: cannot update (\"SCOTT\".\"T\".\"A\") to NULL\n");
    }
}

TEST_F(OradbEngine, SchemasTransactionsAndOracleSemantics) {
    auto scott = Open("SCOTT");
    Run(*scott, "create table kx_configuration (db_version varchar2(10), n number)");
    Run(*scott, "insert into kx_configuration values (:v, :n)", {{"V", std::string("5.2")}, {"N", int64_t{3}}});
    auto other = Open("OTHER");
    EXPECT_EQ(One(*other, "select count(*) from scott.kx_configuration"), "0") << "not committed yet";
    scott->Commit();
    EXPECT_EQ(One(*other, "select db_version from scott.kx_configuration"), "5.2");
    EXPECT_EQ(One(*other, "select count(*) from user_tables"), "0") << "only the own schema";
    EXPECT_EQ(One(*scott, "select table_name from user_tables"), "KX_CONFIGURATION");
    EXPECT_EQ(One(*scott, "select db_version from kx_configuration where db_version = ''"), "<none>");
    EXPECT_EQ(One(*scott, "select user from dual"), "SCOTT");
    EXPECT_EQ(One(*scott, "select nvl(null, 'x') from dual"), "x");
    EXPECT_EQ(One(*scott, "select count(*) from dual where 'ABC' like 'a%'"), "0") << "LIKE is case-sensitive";
    EXPECT_EQ(One(*scott, "select to_char(to_date('02.01.2001', 'DD.MM.YYYY'), 'YYYY-MM-DD') from dual"),
              "2001-01-02");
    // Work that is not committed is gone with the session; DDL commits.
    Run(*scott, "insert into kx_configuration values ('lost', 1)");
    scott.reset();
    scott = Open("SCOTT");
    EXPECT_EQ(One(*scott, "select count(*) from kx_configuration"), "1");
    Run(*scott, "insert into kx_configuration values ('kept', 1)");
    Run(*scott, "create table t2 (x number)");
    scott.reset();
    scott = Open("SCOTT");
    EXPECT_EQ(One(*scott, "select count(*) from kx_configuration"), "2");
}

TEST_F(OradbEngine, DescribedColumns) {
    auto s = Open("SCOTT");
    Run(*s, "create table t (n number(10,2) not null, v varchar2(30), c char(3), d date, i integer)");
    Cursor c(*s, "select n, v, c, d, i, count(*) over () cnt, sysdate from t");
    c.Describe();
    const auto& cols = c.columns();
    ASSERT_EQ(cols.size(), 7u);
    EXPECT_EQ(cols[0].name, "N");
    EXPECT_EQ(cols[0].type, 2);
    EXPECT_EQ(cols[0].precision, 10);
    EXPECT_EQ(cols[0].scale, 2);
    EXPECT_FALSE(cols[0].nullable);
    EXPECT_EQ(cols[1].type, 1);
    EXPECT_EQ(cols[1].size, 30);
    EXPECT_TRUE(cols[1].nullable);
    EXPECT_EQ(cols[2].type, 96);
    EXPECT_EQ(cols[3].type, 12);
    EXPECT_EQ(cols[3].size, 7);
    EXPECT_EQ(cols[4].type, 2);
    EXPECT_EQ(cols[6].name, "SYSDATE");
    Run(*s, "insert into t values (1.5, 'x', 'abc', sysdate, 2)");
    Cursor q(*s, "select d, sysdate, n from t");
    q.Execute({});
    ASSERT_TRUE(q.Next());
    EXPECT_TRUE(std::holds_alternative<Date>(q.At(0)));
    EXPECT_EQ(q.columns()[1].type, 12) << "an expression's date, from its value";
    EXPECT_EQ(std::get<double>(q.At(2)), 1.5);
    EXPECT_FALSE(q.Next());
}

}  // namespace
}  // namespace oradb

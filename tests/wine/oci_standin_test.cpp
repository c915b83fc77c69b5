// The stand-in Oracle client (oci.dll over SQLite), through its C interface
// as a client calls it, for each emulated client version.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <cstring>

#include "file_fixture.h"
#include "oci_client.h"
#include "registry_fixture.h"

namespace kxtest {
namespace {

const oci::OraText* Txt(const char* s) { return reinterpret_cast<const oci::OraText*>(s); }

class OciStandIn : public testing::TestWithParam<std::string> {
protected:
    static void SetUpTestSuite() { MakeTestDatabases(); }
    void SetUp() override {
        lib_ = std::make_unique<OciLibrary>(GetParam());
        env_ = std::make_unique<OciEnv>(*lib_);
    }
    void TearDown() override {
        env_.reset();
        lib_.reset();
    }
    bool Old() const { return GetParam() != "19.3"; }
    template <class F>
    F Fn(const char* name) const {
        return lib_->Get<F>(name);
    }
    std::unique_ptr<OciSession> Scott() {
        auto s = std::make_unique<OciSession>(*env_, "KX", "scott", "tiger");
        EXPECT_TRUE(s->ok()) << s->error();
        return s;
    }
    std::unique_ptr<OciLibrary> lib_;
    std::unique_ptr<OciEnv> env_;
};

TEST_P(OciStandIn, LogonNormalAndSysdba) {
    auto scott = Scott();
    EXPECT_EQ(scott->One("select user from dual"), "SCOTT");
    scott->End();
    OciSession sys(*env_, "kx", "sys", "change_on_install", oci::kSysDba);
    ASSERT_TRUE(sys.ok()) << sys.error();
    EXPECT_EQ(sys.One("select user from dual"), "SYS") << "a SYSDBA session works in SYS";
    // Other ways to name the database.
    for (const char* connect : {"kx.world", "//kxhost:1521/KXDB",
                                "(DESCRIPTION=(ADDRESS=(HOST=kxhost)(PORT=1521))(CONNECT_DATA=(SERVICE_NAME=kxdb)))"}) {
        OciSession s(*env_, connect, "SCOTT", "tiger");
        EXPECT_TRUE(s.ok()) << connect << ": " << s.error();
    }
}

TEST_P(OciStandIn, LogonFailuresGiveOraclesErrors) {
    const std::string unresolved = Old() ? "ORA-12154: TNS:could not resolve service name\n"
                                         : "ORA-12154: TNS:could not resolve the connect identifier specified\n";
    const std::string timeout = Old() ? "ORA-12535: TNS:operation timed out\n" : "ORA-12170: TNS:Connect timeout occurred\n";
    struct Case {
        const char* connect;
        const char* user;
        const char* password;
        oci::ub4 mode;
        std::string text;
    } cases[] = {
        {"KX", "scott", "wrong", oci::kDefault, "ORA-01017: invalid username/password; logon denied\n"},
        {"KX", "nobody", "tiger", oci::kDefault, "ORA-01017: invalid username/password; logon denied\n"},
        {"KX", "scott", "", oci::kDefault, "ORA-01005: null password given; logon denied\n"},
        {"KX", "locked", "locked", oci::kDefault, "ORA-28000: the account is locked\n"},
        {"KX", "system", "manager", oci::kSysDba, "ORA-01031: insufficient privileges\n"},
        {"KX_UNKNOWN", "scott", "tiger", oci::kDefault, unresolved},
        {"KX_REFUSED", "scott", "tiger", oci::kDefault, "ORA-12541: TNS:no listener\n"},
        {"KX_SILENT", "scott", "tiger", oci::kDefault, timeout},
        {"KX_NOSERVICE", "scott", "tiger", oci::kDefault,
         "ORA-12514: TNS:listener does not currently know of service requested in connect descriptor\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.connect) + " " + c.user);
        OciSession s(*env_, c.connect, c.user, c.password, c.mode);
        EXPECT_EQ(s.status(), oci::kError);
        EXPECT_EQ(s.error(), c.text);
    }
    oci::sb4 code = 0;
    OciSession s(*env_, "KX", "scott", "wrong");
    env_->ErrorText(&code);
    EXPECT_EQ(code, 1017);
}

TEST_P(OciStandIn, StatementErrorsGiveOraclesErrors) {
    auto s = Scott();
    s->Exec("drop table kx_err");
    ASSERT_EQ(s->Exec("create table kx_err (a number not null)"), oci::kSuccess) << env_->ErrorText();
    struct Case {
        const char* sql;
        const char* text;
    } cases[] = {
        {"select * from no_such_table", "ORA-00942: table or view does not exist\n"},
        {"select nosuch from kx_err", "ORA-00904: \"NOSUCH\": invalid identifier\n"},
        {"frobnicate", "ORA-00900: invalid SQL statement\n"},
        {"select * from kx_err where", "ORA-00933: SQL command not properly ended\n"},
        {"select * from kx_err;", "ORA-00911: invalid character\n"},
        {"create table kx_err (b number)", "ORA-00955: name is already used by an existing object\n"},
        {"insert into kx_err values ('')", "ORA-01400: cannot insert NULL into (\"SCOTT\".\"KX_ERR\".\"A\")\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql);
        EXPECT_EQ(s->Exec(c.sql), oci::kError);
        EXPECT_EQ(env_->ErrorText(), c.text);
    }
    // A DML statement needs an iteration count.
    OciStmt insert(*env_, "insert into kx_err values (1)");
    EXPECT_EQ(Fn<oci::OCIStmtExecuteFn>("OCIStmtExecute")(s->svc(), insert.get(), env_->err(), 0, 0, nullptr, nullptr,
                                                          oci::kDefault),
              oci::kError);
    EXPECT_EQ(env_->ErrorText(), "ORA-24333: iteration count is zero\n");
}

TEST_P(OciStandIn, PrepareExecuteDescribeDefineFetchAndBinds) {
    auto s = Scott();
    s->Exec("drop table kx_rows");
    ASSERT_EQ(s->Exec("create table kx_rows (id number(10) not null, name varchar2(20), amount number(12,2), "
                      "made date)"),
              oci::kSuccess)
        << env_->ErrorText();
    // Insert through binds by name: SQLT_INT, SQLT_STR, SQLT_FLT, SQLT_DAT, and NULL by indicator.
    OciStmt insert(*env_, "insert into kx_rows (id, name, amount, made) values (:ID, :name, :Amount, :made)");
    auto bind = Fn<oci::OCIBindByNameFn>("OCIBindByName");
    oci::sb4 id = 0;
    char name[21] = {};
    double amount = 0;
    unsigned char made[7] = {120, 101, 1, 2, 4, 5, 6};  // 2001-01-02 03:04:05
    oci::sb2 nameNull = 0, madeNull = 0;
    void* b[4] = {};
    ASSERT_EQ(bind(insert.get(), &b[0], env_->err(), Txt(":id"), 3, &id, 4, oci::kSqltInt, nullptr, nullptr, nullptr,
                   0, nullptr, oci::kDefault),
              oci::kSuccess);
    bind(insert.get(), &b[1], env_->err(), Txt(":NAME"), 5, name, sizeof name, oci::kSqltStr, &nameNull, nullptr,
         nullptr, 0, nullptr, oci::kDefault);
    bind(insert.get(), &b[2], env_->err(), Txt(":amount"), 7, &amount, 8, oci::kSqltFlt, nullptr, nullptr, nullptr, 0,
         nullptr, oci::kDefault);
    bind(insert.get(), &b[3], env_->err(), Txt(":MADE"), 5, made, 7, oci::kSqltDat, &madeNull, nullptr, nullptr, 0,
         nullptr, oci::kDefault);
    void* unknown = nullptr;
    EXPECT_EQ(bind(insert.get(), &unknown, env_->err(), Txt(":nosuch"), 7, &id, 4, oci::kSqltInt, nullptr, nullptr,
                   nullptr, 0, nullptr, oci::kDefault),
              oci::kError);
    EXPECT_EQ(env_->ErrorText(), "ORA-01036: illegal variable name/number\n");
    auto execute = Fn<oci::OCIStmtExecuteFn>("OCIStmtExecute");
    const struct {
        int id;
        const char* name;
        double amount;
        bool nulls;
    } rows[] = {{1, "first", 10.5, false}, {2, "", 0.25, true}, {3, "a somewhat long name", -3, false}};
    for (const auto& r : rows) {
        id = r.id;
        std::strcpy(name, r.name);
        amount = r.amount;
        nameNull = madeNull = r.nulls ? -1 : 0;
        ASSERT_EQ(execute(s->svc(), insert.get(), env_->err(), 1, 0, nullptr, nullptr, oci::kDefault), oci::kSuccess)
            << env_->ErrorText();
    }
    ASSERT_EQ(s->Commit(), oci::kSuccess);

    // Describe.
    OciStmt query(*env_, "select id, name, amount, made from kx_rows order by id");
    oci::ub2 type = 0;
    auto attrGet = Fn<oci::OCIAttrGetFn>("OCIAttrGet");
    attrGet(query.get(), oci::kHtypeStmt, &type, nullptr, oci::kAttrStmtType, env_->err());
    EXPECT_EQ(type, oci::kStmtSelect);
    ASSERT_EQ(execute(s->svc(), query.get(), env_->err(), 0, 0, nullptr, nullptr, oci::kDefault), oci::kSuccess)
        << env_->ErrorText();
    oci::ub4 count = 0;
    attrGet(query.get(), oci::kHtypeStmt, &count, nullptr, oci::kAttrParamCount, env_->err());
    ASSERT_EQ(count, 4u);
    struct Described {
        const char* name;
        oci::ub2 type;
        oci::ub2 size;
        oci::sb2 precision;
        oci::sb1 scale;
        oci::ub1 nullable;
    } expected[] = {{"ID", 2, 22, 10, 0, 0}, {"NAME", 1, 20, 0, 0, 1}, {"AMOUNT", 2, 22, 12, 2, 1}, {"MADE", 12, 7, 0, 0, 1}};
    for (oci::ub4 i = 0; i < count; ++i) {
        SCOPED_TRACE(expected[i].name);
        void* param = nullptr;
        ASSERT_EQ(Fn<oci::OCIParamGetFn>("OCIParamGet")(query.get(), oci::kHtypeStmt, env_->err(), &param, i + 1),
                  oci::kSuccess);
        const char* colName = nullptr;
        oci::ub4 nameLength = 0;
        Described d{};
        attrGet(param, oci::kDtypeParam, &colName, &nameLength, oci::kAttrName, env_->err());
        attrGet(param, oci::kDtypeParam, &d.type, nullptr, oci::kAttrDataType, env_->err());
        attrGet(param, oci::kDtypeParam, &d.size, nullptr, oci::kAttrDataSize, env_->err());
        attrGet(param, oci::kDtypeParam, &d.precision, nullptr, oci::kAttrPrecision, env_->err());
        attrGet(param, oci::kDtypeParam, &d.scale, nullptr, oci::kAttrScale, env_->err());
        attrGet(param, oci::kHtypeDescribe, &d.nullable, nullptr, oci::kAttrIsNull, env_->err());  // 7 for 53
        EXPECT_EQ(std::string(colName, nameLength), expected[i].name);
        EXPECT_EQ(d.type, expected[i].type);
        EXPECT_EQ(d.size, expected[i].size);
        EXPECT_EQ(d.precision, expected[i].precision);
        EXPECT_EQ(d.scale, expected[i].scale);
        EXPECT_EQ(d.nullable, expected[i].nullable);
        EXPECT_EQ(Fn<oci::OCIDescriptorFreeFn>("OCIDescriptorFree")(param, oci::kDtypeParam), oci::kSuccess);
    }
    EXPECT_EQ(Fn<oci::OCIParamGetFn>("OCIParamGet")(query.get(), oci::kHtypeStmt, env_->err(), &unknown, 5),
              oci::kError);

    // Define and fetch.
    auto define = Fn<oci::OCIDefineByPosFn>("OCIDefineByPos");
    oci::sb4 outId = 0;
    char outName[8] = {};
    double outAmount = 0;
    unsigned char outMade[7] = {};
    oci::sb2 nameInd = 0, madeInd = 0, amountInd = 0;
    oci::ub2 nameLen = 0, nameCode = 0;
    void* d[4] = {};
    define(query.get(), &d[0], env_->err(), 1, &outId, 4, oci::kSqltInt, nullptr, nullptr, nullptr, oci::kDefault);
    define(query.get(), &d[1], env_->err(), 2, outName, sizeof outName, oci::kSqltStr, &nameInd, &nameLen, &nameCode,
           oci::kDefault);
    define(query.get(), &d[2], env_->err(), 3, &outAmount, 8, oci::kSqltFlt, &amountInd, nullptr, nullptr,
           oci::kDefault);
    define(query.get(), &d[3], env_->err(), 4, outMade, 7, oci::kSqltDat, &madeInd, nullptr, nullptr, oci::kDefault);
    auto fetch = Fn<oci::OCIStmtFetchFn>("OCIStmtFetch");
    ASSERT_EQ(fetch(query.get(), env_->err(), 1, oci::kFetchNext, oci::kDefault), oci::kSuccess) << env_->ErrorText();
    EXPECT_EQ(outId, 1);
    EXPECT_STREQ(outName, "first");
    EXPECT_EQ(nameLen, 5);
    EXPECT_EQ(outAmount, 10.5);
    EXPECT_EQ(std::memcmp(outMade, made, 7), 0) << "the date comes back as it went in";
    ASSERT_EQ(fetch(query.get(), env_->err(), 1, oci::kFetchNext, oci::kDefault), oci::kSuccess);
    EXPECT_EQ(outId, 2);
    EXPECT_EQ(nameInd, -1) << "NULL by indicator ('' and -1 alike)";
    EXPECT_EQ(madeInd, -1);
    EXPECT_EQ(outAmount, 0.25);
    // A value longer than the buffer: cut, with ORA-01406 as information.
    EXPECT_EQ(fetch(query.get(), env_->err(), 1, oci::kFetchNext, oci::kDefault), oci::kSuccessWithInfo);
    EXPECT_EQ(env_->ErrorText(), "ORA-01406: fetched column value was truncated\n");
    EXPECT_STREQ(outName, "a somew");
    EXPECT_EQ(nameInd, 20) << "the full length";
    EXPECT_EQ(nameCode, 1406);
    EXPECT_EQ(fetch(query.get(), env_->err(), 1, oci::kFetchNext, oci::kDefault), oci::kNoData);
    EXPECT_EQ(env_->ErrorText(), "ORA-01403: no data found\n");
    oci::ub4 fetched = 0;
    attrGet(query.get(), oci::kHtypeStmt, &fetched, nullptr, oci::kAttrRowCount, env_->err());
    EXPECT_EQ(fetched, 3u);

    // A NULL without an indicator is an error.
    OciStmt nulls(*env_, "select name from kx_rows where id = 2");
    ASSERT_EQ(execute(s->svc(), nulls.get(), env_->err(), 0, 0, nullptr, nullptr, oci::kDefault), oci::kSuccess);
    void* d2 = nullptr;
    define(nulls.get(), &d2, env_->err(), 1, outName, sizeof outName, oci::kSqltStr, nullptr, nullptr, nullptr,
           oci::kDefault);
    EXPECT_EQ(fetch(nulls.get(), env_->err(), 1, oci::kFetchNext, oci::kDefault), oci::kError);
    EXPECT_EQ(env_->ErrorText(), "ORA-01405: fetched column value is NULL\n");
}

TEST_P(OciStandIn, DatesRoundTrip) {
    auto s = Scott();
    s->Exec("drop table kx_dates");
    ASSERT_EQ(s->Exec("create table kx_dates (d date)"), oci::kSuccess);
    OciStmt insert(*env_, "insert into kx_dates values (:d)");
    // SQLT_ODT: year, month, day, hour, minute, second.
    struct {
        oci::sb2 year;
        oci::ub1 month, day, hour, minute, second, pad;
    } odt{2001, 1, 1, 1, 1, 1, 0};
    void* b = nullptr;
    Fn<oci::OCIBindByNameFn>("OCIBindByName")(insert.get(), &b, env_->err(), Txt(":d"), 2, &odt, sizeof odt,
                                              oci::kSqltOdt, nullptr, nullptr, nullptr, 0, nullptr, oci::kDefault);
    ASSERT_EQ(Fn<oci::OCIStmtExecuteFn>("OCIStmtExecute")(s->svc(), insert.get(), env_->err(), 1, 0, nullptr, nullptr,
                                                          oci::kCommitOnSuccess),
              oci::kSuccess)
        << env_->ErrorText();
    EXPECT_EQ(s->One("select to_char(d, 'DD.MM.YYYY HH24:MI:SS') from kx_dates"), "01.01.2001 01:01:01");
    EXPECT_EQ(s->One("select d from kx_dates"), "01-JAN-01") << "NLS_DATE_FORMAT's default";
    EXPECT_EQ(s->One("select count(*) from kx_dates where d < sysdate"), "1");
}

TEST_P(OciStandIn, CommitIsVisibleFromASecondSession) {
    auto a = Scott();
    a->Exec("drop table kx_commit");
    ASSERT_EQ(a->Exec("create table kx_commit (n number)"), oci::kSuccess);
    auto b = Scott();
    ASSERT_EQ(a->Exec("insert into kx_commit values (1)"), oci::kSuccess) << env_->ErrorText();
    EXPECT_EQ(b->One("select count(*) from kx_commit"), "0");
    ASSERT_EQ(a->Commit(), oci::kSuccess);
    EXPECT_EQ(b->One("select count(*) from kx_commit"), "1");
    ASSERT_EQ(a->Exec("insert into kx_commit values (2)", oci::kCommitOnSuccess), oci::kSuccess);
    EXPECT_EQ(b->One("select count(*) from kx_commit"), "2");
    // Ending a session commits; freeing it unended rolls back.
    a->Exec("insert into kx_commit values (3)");
    a->End();
    EXPECT_EQ(b->One("select count(*) from kx_commit"), "3");
    auto c = Scott();
    c->Exec("insert into kx_commit values (4)");
    c->Abandon();
    c.reset();
    EXPECT_EQ(b->One("select count(*) from kx_commit"), "3");
    // Another schema's table by its owner's name.
    OciSession sys(*env_, "KX", "sys", "change_on_install", oci::kSysDba);
    EXPECT_EQ(sys.One("select count(*) from scott.kx_commit"), "3");
}

TEST_P(OciStandIn, ForeignFreedOrWrongHandlesAreRefused) {
    auto alloc = Fn<oci::OCIHandleAllocFn>("OCIHandleAlloc");
    auto free = Fn<oci::OCIHandleFreeFn>("OCIHandleFree");
    auto prepare = Fn<oci::OCIStmtPrepareFn>("OCIStmtPrepare");
    void* stmt = env_->Alloc(oci::kHtypeStmt);
    EXPECT_EQ(free(stmt, oci::kHtypeError), oci::kInvalidHandle) << "wrong type";
    EXPECT_EQ(free(stmt, oci::kHtypeStmt), oci::kSuccess);
    EXPECT_EQ(free(stmt, oci::kHtypeStmt), oci::kInvalidHandle) << "freed twice";
    EXPECT_EQ(prepare(stmt, env_->err(), Txt("select 1 from dual"), 18, oci::kNtvSyntax, oci::kDefault),
              oci::kInvalidHandle)
        << "used after free";
    int garbage[16] = {};
    EXPECT_EQ(prepare(garbage, env_->err(), Txt("select 1 from dual"), 18, oci::kNtvSyntax, oci::kDefault),
              oci::kInvalidHandle);
    void* h = nullptr;
    EXPECT_EQ(alloc(env_->err(), &h, oci::kHtypeStmt, 0, nullptr), oci::kInvalidHandle) << "parent is no environment";
    EXPECT_EQ(alloc(nullptr, &h, oci::kHtypeStmt, 0, nullptr), oci::kInvalidHandle);
    OciStmt query(*env_, "select 1 from dual");
    EXPECT_EQ(Fn<oci::OCIStmtExecuteFn>("OCIStmtExecute")(env_->err(), query.get(), env_->err(), 0, 0, nullptr, nullptr,
                                                          oci::kDefault),
              oci::kInvalidHandle)
        << "an error handle as service context";
    // A statement on a service context without a session.
    void* svc = env_->Alloc(oci::kHtypeSvcCtx);
    EXPECT_EQ(Fn<oci::OCIStmtExecuteFn>("OCIStmtExecute")(svc, query.get(), env_->err(), 0, 0, nullptr, nullptr,
                                                          oci::kDefault),
              oci::kError);
    EXPECT_EQ(env_->ErrorText(), "ORA-01012: not logged on\n");
    free(svc, oci::kHtypeSvcCtx);
}

TEST_P(OciStandIn, EachVersionHasItsCalls) {
    EXPECT_EQ(lib_->Has("OCIEnvCreate"), GetParam() != "8.0.5");
    EXPECT_EQ(lib_->Has("OCIClientVersion"), GetParam() == "19.3");
    EXPECT_EQ(lib_->Has("OCIStmtPrepare2"), GetParam() == "19.3");
    for (const char* always : {"OCIInitialize", "OCIEnvInit", "OCIHandleAlloc", "OCIServerAttach", "OCISessionBegin",
                               "OCIStmtPrepare", "OCIStmtExecute", "OCIStmtFetch", "OCIDefineByPos", "OCIBindByName",
                               "OCIParamGet", "OCITransCommit", "OCITransRollback", "OCIErrorGet", "OCILogon"})
        EXPECT_TRUE(lib_->Has(always)) << always;
    if (lib_->Has("OCIClientVersion")) {
        int v[5] = {};
        Fn<oci::OCIClientVersionFn>("OCIClientVersion")(&v[0], &v[1], &v[2], &v[3], &v[4]);
        EXPECT_EQ(v[0], 19);
        EXPECT_EQ(v[1], 3);
    }
    // The file's version resource names the emulated version.
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(lib_->path().c_str(), &ignored);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(lib_->path().c_str(), 0, size, block.data()));
    char* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904E4\\FileVersion", reinterpret_cast<void**>(&value),
                               &length));
    EXPECT_EQ(std::string(value), GetParam() == "19.3" ? "19.3.0.0.0" : GetParam() + ".0.0");
}

INSTANTIATE_TEST_SUITE_P(Versions, OciStandIn, testing::Values("8.0.5", "8.1.7", "19.3"),
                         [](const testing::TestParamInfo<std::string>& i) {
                             std::string n = "v" + i.param;
                             for (auto& c : n)
                                 if (c == '.') c = '_';
                             return n;
                         });

// The 8.0 client needs OCIInitialize before OCIEnvInit.
TEST(OciStandIn80, EnvInitWithoutInitializeFails) {
    OciLibrary lib("8.0.5");
    void* env = nullptr;
    EXPECT_EQ(lib.Get<oci::OCIEnvInitFn>("OCIEnvInit")(&env, oci::kDefault, 0, nullptr), oci::kError);
    EXPECT_EQ(env, nullptr);
}

// Without TNS_ADMIN in the environment, a client installed in an Oracle
// home finds tnsnames.ora through TNS_ADMIN of the home's registry key, and
// else in the home's network\admin.
TEST(OciStandInHome, TnsNamesOfTheHome) {
    MakeTestDatabases();
    const std::string home = "C:\\KXT\\ORAHOME";
    RemoveTree(home);
    ScratchDir admin("ORAHOME\\REGADMIN");
    admin.Write("tnsnames.ora", "ONLYREG = (DESCRIPTION=(CONNECT_DATA=(SERVICE_NAME=KXDB)))\r\n");
    ScratchDir bin("ORAHOME\\BIN");
    bin.Write("..\\NETWORK\\ADMIN\\tnsnames.ora", "ONLYHOME = (DESCRIPTION=(CONNECT_DATA=(SERVICE_NAME=KXDB)))\r\n");
    ASSERT_TRUE(CopyFileA(BesideTests("..\\standins\\oci\\19.3\\oci.dll").c_str(), (home + "\\BIN\\oci.dll").c_str(),
                          FALSE));
    const std::wstring key = L"SOFTWARE\\ORACLE\\KEY_KXTEST";
    reg::DeleteTree(key);
    reg::WriteString(key, L"ORACLE_HOME", L"C:\\KXT\\ORAHOME");
    reg::WriteString(key, L"TNS_ADMIN", L"C:\\KXT\\ORAHOME\\REGADMIN");
    SetEnvironmentVariableA("TNS_ADMIN", nullptr);
    {
        OciLibrary lib("19.3", home + "\\BIN\\oci.dll");
        OciEnv env(lib);
        OciSession byRegistry(env, "onlyreg", "scott", "tiger");
        EXPECT_TRUE(byRegistry.ok()) << byRegistry.error();
        reg::WriteString(key, L"TNS_ADMIN", L"");
        OciSession byHome(env, "onlyhome", "scott", "tiger");
        EXPECT_TRUE(byHome.ok()) << byHome.error();
        OciSession notThere(env, "onlyreg", "scott", "tiger");
        EXPECT_EQ(notThere.error(), "ORA-12154: TNS:could not resolve the connect identifier specified\n");
    }
    reg::DeleteTree(key);
    MakeTestDatabases();
}

// Every handle of a logon is released: 10,000 logons leave the process as
// large as it was.
TEST(OciStandInHandles, NoGrowthOverTenThousandLogons) {
    MakeTestDatabases();
    OciLibrary lib("19.3");
    auto cycle = [&](int n) {
        for (int i = 0; i < n; ++i) {
            OciEnv env(lib);
            OciSession s(env, "KX", "scott", "tiger");
            ASSERT_TRUE(s.ok()) << s.error();
            ASSERT_EQ(s.One("select 1 from dual"), "1");
        }
    };
    auto usage = [] {
        PROCESS_MEMORY_COUNTERS c{};
        c.cb = sizeof c;
        GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c);
        DWORD handles = 0;
        GetProcessHandleCount(GetCurrentProcess(), &handles);
        return std::make_pair(c.PagefileUsage, handles);
    };
    cycle(300);  // the allocator and SQLite's caches settle
    const auto before = usage();
    cycle(10000);
    const auto after = usage();
    EXPECT_LT(after.first, before.first + 512 * 1024) << "private bytes " << before.first << " -> " << after.first;
    EXPECT_LE(after.second, before.second + 2) << "handles " << before.second << " -> " << after.second;
}

}  // namespace
}  // namespace kxtest

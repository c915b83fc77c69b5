// The Oracle stand-in's own overhead: 100,000 rows inserted one statement and
// one commit at a time through oci.dll (bind by name, execute, OCITransCommit),
// against the same rows through SQLite directly with a transaction per row and
// the same journal settings, in the same process.
//   oci_insert_bench.exe OCI-DLL ORADB-ROOT DIRECT-DB [ROWS]
// Prints "<stand-in seconds> <sqlite seconds> <rows>".
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_util.h"
#include "oracle/oci_api.h"

namespace oci = kx::oci;

namespace {

const oci::OraText* Txt(const char* s) { return reinterpret_cast<const oci::OraText*>(s); }

template <class F>
F Get(HMODULE m, const char* name) {
    auto f = reinterpret_cast<F>(GetProcAddress(m, name));
    if (!f) {
        std::fprintf(stderr, "no %s\n", name);
        std::exit(1);
    }
    return f;
}

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "%s failed\n", what);
        std::exit(1);
    }
}

double ThroughStandIn(const char* dll, int rows) {
    HMODULE m = LoadLibraryA(dll);
    Check(m, "LoadLibrary");
    auto alloc = Get<oci::OCIHandleAllocFn>(m, "OCIHandleAlloc");
    auto set = Get<oci::OCIAttrSetFn>(m, "OCIAttrSet");
    auto execute = Get<oci::OCIStmtExecuteFn>(m, "OCIStmtExecute");
    void *env = nullptr, *err = nullptr, *server = nullptr, *svc = nullptr, *session = nullptr, *stmt = nullptr;
    Check(Get<oci::OCIEnvCreateFn>(m, "OCIEnvCreate")(&env, 0, nullptr, nullptr, nullptr, nullptr, 0, nullptr) == 0, "env");
    alloc(env, &err, oci::kHtypeError, 0, nullptr);
    alloc(env, &server, oci::kHtypeServer, 0, nullptr);
    alloc(env, &svc, oci::kHtypeSvcCtx, 0, nullptr);
    alloc(env, &session, oci::kHtypeSession, 0, nullptr);
    Check(Get<oci::OCIServerAttachFn>(m, "OCIServerAttach")(server, err, Txt("//bench/BENCH"), 13, 0) == 0, "attach");
    set(svc, oci::kHtypeSvcCtx, server, 0, oci::kAttrServer, err);
    set(session, oci::kHtypeSession, const_cast<char*>("bench"), 5, oci::kAttrUsername, err);
    set(session, oci::kHtypeSession, const_cast<char*>("bench"), 5, oci::kAttrPassword, err);
    Check(Get<oci::OCISessionBeginFn>(m, "OCISessionBegin")(svc, err, session, oci::kCredRdbms, 0) == 0, "logon");
    set(svc, oci::kHtypeSvcCtx, session, 0, oci::kAttrSession, err);
    auto run = [&](const char* sql) {
        void* s = nullptr;
        alloc(env, &s, oci::kHtypeStmt, 0, nullptr);
        Get<oci::OCIStmtPrepareFn>(m, "OCIStmtPrepare")(s, err, Txt(sql), static_cast<oci::ub4>(strlen(sql)), 1, 0);
        execute(svc, s, err, 1, 0, nullptr, nullptr, 0);
        Get<oci::OCIHandleFreeFn>(m, "OCIHandleFree")(s, oci::kHtypeStmt);
    };
    run("drop table bench_rows");
    run("create table bench_rows (id number, name varchar2(40), amount number)");
    alloc(env, &stmt, oci::kHtypeStmt, 0, nullptr);
    const char* sql = "insert into bench_rows values (:id, :name, :amount)";
    Get<oci::OCIStmtPrepareFn>(m, "OCIStmtPrepare")(stmt, err, Txt(sql), static_cast<oci::ub4>(strlen(sql)), 1, 0);
    oci::sb4 id = 0;
    char name[41] = {};
    double amount = 0;
    void* b = nullptr;
    auto bind = Get<oci::OCIBindByNameFn>(m, "OCIBindByName");
    bind(stmt, &b, err, Txt(":id"), 3, &id, 4, oci::kSqltInt, nullptr, nullptr, nullptr, 0, nullptr, 0);
    bind(stmt, &b, err, Txt(":name"), 5, name, sizeof name, oci::kSqltStr, nullptr, nullptr, nullptr, 0, nullptr, 0);
    bind(stmt, &b, err, Txt(":amount"), 7, &amount, 8, oci::kSqltFlt, nullptr, nullptr, nullptr, 0, nullptr, 0);
    auto commit = Get<oci::OCITransCommitFn>(m, "OCITransCommit");
    const double t = kxbench::Seconds([&] {
        for (int i = 0; i < rows; ++i) {
            id = i;
            std::snprintf(name, sizeof name, "row %d", i);
            amount = i * 0.5;
            Check(execute(svc, stmt, err, 1, 0, nullptr, nullptr, 0) == 0, "insert");
            Check(commit(svc, err, 0) == 0, "commit");
        }
    });
    Get<oci::OCIHandleFreeFn>(m, "OCIHandleFree")(env, oci::kHtypeEnv);
    FreeLibrary(m);
    return t;
}

double ThroughSqlite(const char* file, int rows) {
    std::remove(file);
    sqlite3* db = nullptr;
    Check(sqlite3_open(file, &db) == SQLITE_OK, "sqlite3_open");
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
                     "CREATE TABLE bench_rows (id NUMBER, name VARCHAR2(40), amount NUMBER)",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO bench_rows VALUES (?, ?, ?)", -1, &insert, nullptr);
    const double t = kxbench::Seconds([&] {
        char name[41];
        for (int i = 0; i < rows; ++i) {
            sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
            std::snprintf(name, sizeof name, "row %d", i);
            sqlite3_bind_int(insert, 1, i);
            sqlite3_bind_text(insert, 2, name, -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(insert, 3, i * 0.5);
            Check(sqlite3_step(insert) == SQLITE_DONE, "step");
            sqlite3_reset(insert);
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        }
    });
    sqlite3_finalize(insert);
    sqlite3_close(db);
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: oci_insert_bench.exe OCI-DLL ORADB-ROOT DIRECT-DB [ROWS]\n");
        return 2;
    }
    const int rows = argc > 4 ? std::atoi(argv[4]) : 100000;
    SetEnvironmentVariableA("ORADB_ROOT", argv[2]);
    const double standIn = ThroughStandIn(argv[1], rows);
    const double direct = ThroughSqlite(argv[3], rows);
    std::printf("%.3f %.3f %d\n", standIn, direct, rows);
    return 0;
}

// The database side of the stand-in: a logged-on session on SQLite, and the
// cursors that run statements on it with Oracle's semantics (translated SQL,
// Oracle error numbers and texts, described columns, DDL that commits).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sql_text.h"
#include "values.h"

struct sqlite3;
struct sqlite3_stmt;

namespace oradb {

// A session: the schema's SQLite file (DIR/SCHEMA.db, created on first use)
// as SQLite's main database, and the other schemas of the database attached
// under their names. Work is one transaction until Commit or Rollback; a
// session that ends without Commit rolls back.
class Session {
public:
    // `dir` is the database directory in UTF-8; `schemas` the other schemas
    // that may be named as SCHEMA.TABLE.
    Session(const std::string& dir, const std::string& user, const std::string& schema,
            const std::vector<std::string>& schemas);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const std::string& user() const { return user_; }
    const std::string& schema() const { return schema_; }
    sqlite3* db() const { return db_; }

    void Commit();
    void Rollback();

    // Before a statement is parsed: DUAL and USER_TABLES where it names them.
    void ProvideViews(const TranslatedSql& sql);
    // Before it runs: a transaction for changes; a commit before DDL, which
    // Oracle commits before and after.
    void BeforeRun(StatementKind kind);
    void AfterDdl() { Commit(); }

private:
    void Exec(const char* sql);
    sqlite3* db_ = nullptr;
    std::string user_, schema_;
    bool inTransaction_ = false, dual_ = false, userTables_ = false;
};

// A described column of a query.
struct Column {
    std::string name;
    uint16_t type = 1;  // Oracle's internal type: 1 VARCHAR2, 2 NUMBER, 12 DATE, 96 CHAR
    uint16_t size = 0;
    int16_t precision = 0;
    int8_t scale = 0;
    bool nullable = true;
};

// One statement on a session.
class Cursor {
public:
    // Translates the statement; throws OraError for what Oracle refuses
    // before parsing. The statement is parsed by Execute or Describe.
    Cursor(Session& session, std::string_view oracleSql);
    ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    StatementKind kind() const { return sql_.kind; }
    const std::vector<std::string>& bindNames() const { return sql_.binds; }

    // Parses the statement without running it (for a describe).
    void Describe();
    // Runs it with the values bound by name (upper case, without ':'). A
    // query stands before its first row afterwards.
    void Execute(const std::map<std::string, Value>& binds);
    int64_t rowsAffected() const { return rows_; }

    // Queries: columns after Describe or Execute; Next moves to the next row.
    const std::vector<Column>& columns() const { return columns_; }
    bool Next();
    Value At(size_t column) const;
    int64_t rowsFetched() const { return fetched_; }
    // Ends the query (releases SQLite's read lock).
    void Close();

private:
    void Parse();
    void DescribeColumns();
    [[noreturn]] void Raise(int rc) const;

    Session& session_;
    TranslatedSql sql_;
    sqlite3_stmt* stmt_ = nullptr;
    std::vector<Column> columns_;
    bool firstRowWaiting_ = false, done_ = false;
    int64_t rows_ = 0, fetched_ = 0;
};

}  // namespace oradb

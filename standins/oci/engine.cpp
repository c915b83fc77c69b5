#include "engine.h"

#include <sqlite3.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <utility>

#include "ora_error.h"

namespace oradb {
namespace {

// --- functions Oracle has and SQLite lacks ----------------------------------

Date Now() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

void ResultText(sqlite3_context* c, const std::string& s) {
    sqlite3_result_text(c, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

void ResultOraError(sqlite3_context* c, int code, const std::string& detail = "") {
    const std::string m = OraMessage(code, detail);
    sqlite3_result_error(c, m.data(), static_cast<int>(m.size()));
}

std::string ArgText(sqlite3_value* v) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return p ? std::string(p, static_cast<size_t>(sqlite3_value_bytes(v))) : std::string();
}

void SysDate(sqlite3_context* c, int, sqlite3_value**) { ResultText(c, StoredDate(Now())); }

void OraUser(sqlite3_context* c, int, sqlite3_value**) {
    ResultText(c, *static_cast<const std::string*>(sqlite3_user_data(c)));
}

void Nvl(sqlite3_context* c, int, sqlite3_value** v) {
    sqlite3_result_value(c, sqlite3_value_type(v[0]) == SQLITE_NULL ? v[1] : v[0]);
}

void ToChar(sqlite3_context* c, int n, sqlite3_value** v) {
    switch (sqlite3_value_type(v[0])) {
    case SQLITE_NULL:
        sqlite3_result_null(c);
        return;
    case SQLITE_INTEGER:
        ResultText(c, std::to_string(sqlite3_value_int64(v[0])));
        return;
    case SQLITE_FLOAT:
        ResultText(c, NumberText(sqlite3_value_double(v[0])));
        return;
    default: {
        const std::string text = ArgText(v[0]);
        if (auto d = ParseStoredDate(text)) {
            ResultText(c, n > 1 ? FormatDate(*d, ArgText(v[1])) : DefaultDateText(*d));
            return;
        }
        ResultText(c, text);
    }
    }
}

void ToDate(sqlite3_context* c, int n, sqlite3_value** v) {
    if (sqlite3_value_type(v[0]) == SQLITE_NULL) return sqlite3_result_null(c);
    const std::string text = ArgText(v[0]);
    if (ParseStoredDate(text)) return ResultText(c, text);
    const auto d = ParseDate(text, n > 1 ? ArgText(v[1]) : "DD-MON-RR");
    if (!d) return ResultOraError(c, ora::LiteralMismatch);
    ResultText(c, StoredDate(*d));
}

void ToNumber(sqlite3_context* c, int, sqlite3_value** v) {
    const int type = sqlite3_value_type(v[0]);
    if (type == SQLITE_NULL || type == SQLITE_INTEGER || type == SQLITE_FLOAT) return sqlite3_result_value(c, v[0]);
    const std::string text = ArgText(v[0]);
    char* end = nullptr;
    const double d = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != 0) return ResultOraError(c, ora::InvalidNumber);
    if (d == static_cast<double>(static_cast<int64_t>(d))) return sqlite3_result_int64(c, static_cast<int64_t>(d));
    sqlite3_result_double(c, d);
}

// --- describing columns -------------------------------------------------------

bool Contains(const std::string& s, const char* w) { return s.find(w) != std::string::npos; }

// A column named after its expression, as Oracle names it: SYSDATE and USER
// without the parentheses of the functions that stand in for them.
std::string OracleColumnName(std::string name) {
    for (const auto& [from, to] : {std::pair<const char*, const char*>{"SYSDATE()", "SYSDATE"}, {"ORA_USER()", "USER"}})
        for (size_t at; (at = name.find(from)) != std::string::npos;) name.replace(at, std::strlen(from), to);
    return name;
}

// The parenthesised numbers of a declared type: "NUMBER(10,2)".
void Arguments(const std::string& decl, int& a, int& b) {
    a = b = -1;
    const size_t open = decl.find('(');
    if (open == std::string::npos) return;
    a = std::atoi(decl.c_str() + open + 1);
    const size_t comma = decl.find(',', open);
    if (comma != std::string::npos) b = std::atoi(decl.c_str() + comma + 1);
}

Column FromDeclaredType(const std::string& name, const char* declared) {
    Column col;
    col.name = name;
    const std::string decl = UpperName(declared ? declared : "");
    int a = 0, b = 0;
    Arguments(decl, a, b);
    if (Contains(decl, "DATE") || Contains(decl, "TIMESTAMP")) {
        col.type = 12;
        col.size = 7;
    } else if (Contains(decl, "CHAR") || Contains(decl, "CLOB") || Contains(decl, "TEXT")) {
        col.type = Contains(decl, "VARCHAR") || Contains(decl, "CLOB") || Contains(decl, "TEXT") ? 1 : 96;
        col.size = static_cast<uint16_t>(a > 0 ? a : (col.type == 96 ? 1 : 4000));
    } else {
        col.type = 2;
        col.size = 22;
        if (Contains(decl, "INT")) {
            col.precision = 38;
        } else if (a > 0) {
            col.precision = static_cast<int16_t>(a);
            col.scale = static_cast<int8_t>(b > 0 ? b : 0);
        } else if (Contains(decl, "FLOAT") || Contains(decl, "REAL") || Contains(decl, "DOUBLE")) {
            col.precision = 126;
            col.scale = -127;
        }
    }
    return col;
}

}  // namespace

// --- Session ------------------------------------------------------------------

Session::Session(const std::string& dir, const std::string& user, const std::string& schema,
                 const std::vector<std::string>& schemas)
    : user_(user), schema_(schema) {
    const std::string file = dir + "/" + schema + ".db";
    const int rc = sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        Fail(ora::Internal, "open " + file + ": " + why);
    }
    sqlite3_busy_timeout(db_, 5000);
    sqlite3_extended_result_codes(db_, 0);
    // Readers never wait for writers, as in Oracle; a commit need not wait
    // for the disk.
    Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA case_sensitive_like=ON;");
    for (const auto& other : schemas) {
        if (other == schema) continue;
        const std::string path = dir + "/" + other + ".db";
        if (FILE* f = std::fopen(path.c_str(), "rb")) {
            std::fclose(f);
            char* sql = sqlite3_mprintf("ATTACH DATABASE %Q AS %Q", path.c_str(), other.c_str());
            sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
            sqlite3_free(sql);
        }
    }
    const int utf8 = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db_, "SYSDATE", 0, SQLITE_UTF8, nullptr, SysDate, nullptr, nullptr);
    sqlite3_create_function(db_, "ORA_USER", 0, SQLITE_UTF8, &user_, OraUser, nullptr, nullptr);
    sqlite3_create_function(db_, "NVL", 2, utf8, nullptr, Nvl, nullptr, nullptr);
    sqlite3_create_function(db_, "TO_CHAR", 1, utf8, nullptr, ToChar, nullptr, nullptr);
    sqlite3_create_function(db_, "TO_CHAR", 2, utf8, nullptr, ToChar, nullptr, nullptr);
    sqlite3_create_function(db_, "TO_DATE", 1, utf8, nullptr, ToDate, nullptr, nullptr);
    sqlite3_create_function(db_, "TO_DATE", 2, utf8, nullptr, ToDate, nullptr, nullptr);
    sqlite3_create_function(db_, "TO_NUMBER", 1, utf8, nullptr, ToNumber, nullptr, nullptr);
}

Session::~Session() {
    if (inTransaction_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db_);
}

void Session::Exec(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string why = error ? error : "?";
        sqlite3_free(error);
        if (why.find("locked") != std::string::npos || why.find("busy") != std::string::npos) Fail(ora::ResourceBusy);
        Fail(ora::Internal, why);
    }
}

void Session::Commit() {
    if (!inTransaction_) return;
    Exec("COMMIT");
    inTransaction_ = false;
}

void Session::Rollback() {
    if (!inTransaction_) return;
    Exec("ROLLBACK");
    inTransaction_ = false;
}

void Session::ProvideViews(const TranslatedSql& sql) {
    if (sql.usesDual && !dual_) {
        Exec("CREATE TEMP VIEW IF NOT EXISTS DUAL AS SELECT 'X' AS DUMMY");
        dual_ = true;
    }
    if (sql.usesUserTables && !userTables_) {
        Exec("CREATE TEMP VIEW IF NOT EXISTS USER_TABLES AS SELECT name AS TABLE_NAME FROM main.sqlite_master "
             "WHERE type = 'table' AND name NOT LIKE 'sqlite!_%' ESCAPE '!'");
        userTables_ = true;
    }
}

void Session::BeforeRun(StatementKind kind) {
    switch (kind) {
    case StatementKind::Insert:
    case StatementKind::Update:
    case StatementKind::Delete:
        if (!inTransaction_) {
            Exec("BEGIN");
            inTransaction_ = true;
        }
        break;
    case StatementKind::Create:
    case StatementKind::Drop:
    case StatementKind::Alter:
        Commit();
        break;
    default:
        break;
    }
}

// --- Cursor -------------------------------------------------------------------

Cursor::Cursor(Session& session, std::string_view oracleSql) : session_(session) {
    const StatementKind kind = KindOf(oracleSql);
    // PL/SQL blocks are not run by the stand-in.
    if (kind == StatementKind::Begin || kind == StatementKind::Declare) Fail(ora::InvalidSql);
    sql_ = TranslateSql(oracleSql, session.schema());
}

Cursor::~Cursor() { sqlite3_finalize(stmt_); }

void Cursor::Parse() {
    if (stmt_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
        return;
    }
    if (sql_.kind == StatementKind::Commit || sql_.kind == StatementKind::Rollback) return;
    session_.ProvideViews(sql_);
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(session_.db(), sql_.sqlite.c_str(), static_cast<int>(sql_.sqlite.size()), &stmt_,
                                      &tail);
    if (rc != SQLITE_OK) Raise(rc);
    if (!stmt_) Fail(ora::InvalidSql);  // nothing but blanks and comments
    for (; tail && *tail; ++tail)
        if (!std::strchr(" \t\r\n", *tail)) Fail(ora::NotProperlyEnded);
}

void Cursor::DescribeColumns() {
    columns_.clear();
    const int n = sqlite3_column_count(stmt_);
    for (int i = 0; i < n; ++i) {
        Column col = FromDeclaredType(OracleColumnName(sqlite3_column_name(stmt_, i)), sqlite3_column_decltype(stmt_, i));
        if (!sqlite3_column_decltype(stmt_, i)) {
            // An expression: its type from the first row's value, if there is one.
            col.type = 1;
            col.size = 4000;
            if (firstRowWaiting_) {
                const int t = sqlite3_column_type(stmt_, i);
                if (t == SQLITE_INTEGER || t == SQLITE_FLOAT) {
                    col.type = 2;
                    col.size = 22;
                } else if (t == SQLITE_TEXT &&
                           ParseStoredDate(reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i)))) {
                    col.type = 12;
                    col.size = 7;
                }
            }
        }
        const char* table = sqlite3_column_table_name(stmt_, i);
        const char* origin = sqlite3_column_origin_name(stmt_, i);
        const char* database = sqlite3_column_database_name(stmt_, i);
        int notNull = 0;
        if (table && origin &&
            sqlite3_table_column_metadata(session_.db(), database, table, origin, nullptr, nullptr, &notNull, nullptr,
                                          nullptr) == SQLITE_OK)
            col.nullable = !notNull;
        columns_.push_back(std::move(col));
    }
}

void Cursor::Describe() {
    Parse();
    DescribeColumns();
}

void Cursor::Execute(const std::map<std::string, Value>& binds) {
    if (sql_.kind == StatementKind::Commit) return session_.Commit();
    if (sql_.kind == StatementKind::Rollback) return session_.Rollback();
    session_.BeforeRun(sql_.kind);
    Parse();
    for (const auto& name : sql_.binds) {
        const auto it = binds.find(name);
        if (it == binds.end()) Fail(ora::NotAllBound);
        const int index = sqlite3_bind_parameter_index(stmt_, (":" + name).c_str());
        if (index == 0) continue;
        const Value& v = it->second;
        if (auto i = std::get_if<int64_t>(&v)) {
            sqlite3_bind_int64(stmt_, index, *i);
        } else if (auto d = std::get_if<double>(&v)) {
            sqlite3_bind_double(stmt_, index, *d);
        } else if (auto s = std::get_if<std::string>(&v)) {
            sqlite3_bind_text(stmt_, index, s->data(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
        } else if (auto date = std::get_if<Date>(&v)) {
            const std::string t = StoredDate(*date);
            sqlite3_bind_text(stmt_, index, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_null(stmt_, index);
        }
    }
    rows_ = fetched_ = 0;
    done_ = firstRowWaiting_ = false;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        firstRowWaiting_ = true;
    } else if (rc == SQLITE_DONE) {
        done_ = true;
        if (sql_.kind != StatementKind::Select) rows_ = sqlite3_changes(session_.db());
    } else {
        Raise(rc);
    }
    if (sql_.kind == StatementKind::Select) {
        DescribeColumns();
    } else {
        sqlite3_reset(stmt_);
        if (sql_.kind == StatementKind::Create || sql_.kind == StatementKind::Drop || sql_.kind == StatementKind::Alter) {
            // The schema changed: the statement is prepared anew next time.
            sqlite3_finalize(stmt_);
            stmt_ = nullptr;
            session_.AfterDdl();
        }
    }
}

bool Cursor::Next() {
    if (!stmt_) return false;
    if (firstRowWaiting_) {
        firstRowWaiting_ = false;
        ++fetched_;
        return true;
    }
    if (done_) return false;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        ++fetched_;
        return true;
    }
    done_ = true;
    sqlite3_reset(stmt_);
    if (rc != SQLITE_DONE) Raise(rc);
    return false;
}

Value Cursor::At(size_t i) const {
    const int c = static_cast<int>(i);
    switch (sqlite3_column_type(stmt_, c)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return static_cast<int64_t>(sqlite3_column_int64(stmt_, c));
    case SQLITE_FLOAT:
        return sqlite3_column_double(stmt_, c);
    default: {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt_, c));
        std::string text(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(stmt_, c)));
        if (i < columns_.size() && columns_[i].type == 12)
            if (auto d = ParseStoredDate(text)) return *d;
        return text;
    }
    }
}

void Cursor::Close() {
    if (stmt_) sqlite3_reset(stmt_);
    done_ = true;
    firstRowWaiting_ = false;
}

// SQLite's complaint as the Oracle error a client would see.
void Cursor::Raise(int rc) const {
    const std::string m = sqlite3_errmsg(session_.db());
    if (m.rfind("ORA-", 0) == 0) throw OraError(std::atoi(m.c_str() + 4), m.back() == '\n' ? m : m + "\n");
    auto after = [&](const char* prefix) { return m.substr(m.find(prefix) + std::strlen(prefix)); };
    auto quoted = [](const std::string& dotted) {
        std::string out = "\"";
        for (char ch : dotted) out += ch == '.' ? std::string("\".\"") : std::string(1, ch);
        return out + "\"";
    };
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) Fail(ora::ResourceBusy);
    if (m.find("no such table") != std::string::npos || m.find("unknown database") != std::string::npos)
        Fail(ora::TableNotFound);
    if (m.find("no such column: ") != std::string::npos) Fail(ora::InvalidIdentifier, quoted(after("no such column: ")));
    if (m.find("no such function: ") != std::string::npos)
        Fail(ora::InvalidIdentifier, quoted(after("no such function: ")));
    if (m.find("wrong number of arguments") != std::string::npos) Fail(ora::InvalidNumberOfArguments);
    if (m.find("already exists") != std::string::npos) Fail(ora::NameInUse);
    if (m.find("NOT NULL constraint failed: ") != std::string::npos) {
        const std::string column = quoted(session_.schema() + "." + after("NOT NULL constraint failed: "));
        Fail(sql_.kind == StatementKind::Update ? ora::CannotUpdateToNull : ora::CannotInsertNull, column);
    }
    if (m.find("UNIQUE constraint failed") != std::string::npos) Fail(ora::UniqueViolated, session_.schema() + ".SYS_C007001");
    if (m.find("syntax error") != std::string::npos || m.find("incomplete input") != std::string::npos)
        Fail(sql_.kind == StatementKind::Other ? ora::InvalidSql : ora::NotProperlyEnded);
    Fail(ora::Internal, m);
}

}  // namespace oradb

// Oracle SQL as SQLite takes it. The stand-in runs the statements a client
// sends on SQLite, with Oracle's rules where the two differ: unquoted names
// fold to upper case, '' is NULL, a ';' is an invalid character, SYSDATE and
// USER are functions, the session's own schema is SQLite's "main", DUAL and
// USER_TABLES exist, and bind names are case-insensitive.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace oradb {

enum class StatementKind { Select, Update, Delete, Insert, Create, Drop, Alter, Begin, Declare, Commit, Rollback, Other };

struct TranslatedSql {
    std::string sqlite;                // the statement for SQLite
    StatementKind kind = StatementKind::Other;
    std::vector<std::string> binds;    // bind names in upper case, without ':', each once
    std::set<std::string> qualifiers;  // names used as "NAME." (other schemas, or table aliases)
    bool usesDual = false;
    bool usesUserTables = false;
};

// The kind of a statement by its first keyword (WITH counts as a query).
StatementKind KindOf(std::string_view sql);

// Translates one Oracle statement for a session whose schema is `schema`
// (upper case). Throws OraError for what Oracle refuses before it parses:
// ORA-00911 for a ';', ORA-01756 for an unterminated quoted string.
TranslatedSql TranslateSql(std::string_view sql, std::string_view schema);

// Folds the letters a to z to upper case, as Oracle folds unquoted names.
std::string UpperName(std::string_view name);

}  // namespace oradb

// Both export tables of Kestrel.dll: every export's ordinal in each build,
// its arguments and its result. Hosts (kxcall, the test program) use it to
// call an export by name with its stdcall signature; the test program checks
// each DLL's own export directory against it.
#pragma once

#include <string_view>

namespace kx::catalog {

// Argument kinds, one letter each in an export's argument string.
namespace arg {
inline constexpr char Text = 't';    // script text
inline constexpr char Int = 'i';     // signed 32-bit integer
inline constexpr char UInt = 'u';    // unsigned 32-bit integer
inline constexpr char Window = 'w';  // window handle
}  // namespace arg

enum class Result { Text, Int, None };

struct Export {
    std::string_view name;
    int oracle;     // ordinal in the Oracle build, 0 when not there
    int migration;  // ordinal in the migration build, 0 when not there
    Result result;
    std::string_view args;  // argument kinds in order
};

using R = Result;

inline constexpr Export kExports[] = {
    {"GetOracleHomePath", 1, 0, R::Text, "t"},
    {"GetOracleAlias", 2, 0, R::Text, "u"},
    {"GetOracleHomesList", 3, 0, R::Text, ""},
    {"GetOracleHomeNumber", 4, 0, R::Int, "t"},
    {"GetZULVersionList", 5, 1, R::Text, "t"},
    {"MoveJourSh2Oracle", 0, 2, R::Int, "ttttt"},
    {"KillProcess", 6, 3, R::Int, "t"},
    {"ProcessExists", 7, 4, R::Int, "t"},
    {"CalcFileMD5", 8, 5, R::Text, "t"},
    {"MoveKXConfig", 0, 6, R::Int, "tttt"},
    {"SetKXOracleParams", 9, 7, R::Int, "tttt"},
    {"GetKXOracleConfig", 10, 8, R::Int, "tttt"},
    {"GetKXBtrieveConfig", 0, 9, R::Int, "t"},
    {"GetSQLResult", 11, 10, R::Text, "tttt"},
    {"ExecSQL", 12, 11, R::Int, "tttt"},
    {"UpdateFixedPrice", 0, 12, R::Int, "t"},
    {"WriteBTI", 0, 13, R::Int, "tit"},
    {"ReadBTI", 0, 14, R::Text, "ti"},
    {"ExecuteProgramWait", 13, 15, R::Int, "t"},
    {"ExecuteProgram", 14, 16, R::Int, "t"},
    {"SelectDirectoryTree", 15, 17, R::Text, "ttwi"},
    {"SelectDirectory", 16, 18, R::Text, "t"},
    {"CheckDBTableExists", 17, 19, R::Text, "tttt"},
    {"GetKXDBVersion", 18, 20, R::Text, "ttt"},
    {"CheckOraConnStr", 19, 21, R::Text, "ttt"},
    {"CheckOraConn", 20, 22, R::Int, "ttt"},
    {"GetTNSNamesPath", 21, 23, R::Text, ""},
    {"GetOracleAliasList", 22, 24, R::Text, "t"},
    {"ProcessGateList", 23, 25, R::Text, "tt"},
    {"ProcessZULList", 24, 26, R::Text, "tt"},
    {"GetComputerName", 25, 27, R::Text, ""},
    {"WriteLine", 26, 28, R::None, "tt"},
    {"CheckLog", 27, 29, R::Text, "tt"},
    {"GetKXVersion", 28, 30, R::Text, "tt"},
    {"DeleteFolder", 29, 31, R::Int, "t"},
    {"GetModuleVersion", 30, 32, R::Text, "tt"},
    {"RegDeleteKXVer", 31, 33, R::Text, "tt"},
    {"RegGetHKLMKeyList", 32, 34, R::Text, "t"},
    {"RegDeleteHKLMValue", 33, 35, R::Int, "tt"},
    {"RegCreateHKLMValue", 34, 36, R::Int, "ttt"},
    {"RegDeleteHKLMKey", 35, 37, R::Int, "t"},
    {"RegCreateHKLMKey", 36, 38, R::Int, "t"},
    {"GetIniDBServer", 37, 39, R::Text, "t"},
    {"GetIniDBPassword", 38, 40, R::Text, "t"},
    {"GetIniDBUser", 39, 41, R::Text, "t"},
    {"JoinLists", 40, 42, R::Text, "tt"},
    {"GetEntry", 41, 43, R::Text, "ti"},
    {"AddToList", 42, 44, R::Text, "tt"},
    {"EmptyProc", 43, 45, R::None, ""},
};

enum class Build { Oracle, Migration };

inline int OrdinalIn(const Export& e, Build b) { return b == Build::Oracle ? e.oracle : e.migration; }

inline const Export* Find(std::string_view name) {
    for (const auto& e : kExports)
        if (e.name == name) return &e;
    return nullptr;
}

// The name the stdcall convention decorates the export with: Name@bytes.
inline int ArgumentBytes(const Export& e) { return static_cast<int>(e.args.size()) * 4; }

}  // namespace kx::catalog

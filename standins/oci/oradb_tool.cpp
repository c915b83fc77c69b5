// oradb: makes databases of the Oracle stand-in and runs SQL in them from the
// shell, for tests and demonstrations.
//
//   oradb create ROOT SERVICE [--endpoint answers|refuses|silent] [--silent-ms N] ACCOUNT...
//   oradb account ROOT SERVICE ACCOUNT...        add accounts or change them
//   oradb sql ROOT SERVICE USER [--raw] SQL...    run statements in USER's schema
//
// ACCOUNT is USER/PASSWORD, optionally followed by :sysdba and :locked. The
// stand-in keeps texts in the clients' code page (1251); `sql` converts the
// statements from UTF-8 and the results back, unless --raw.
#include <iconv.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "engine.h"
#include "ora_error.h"
#include "site.h"

namespace fs = std::filesystem;
using namespace oradb;

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: oradb create ROOT SERVICE [--endpoint answers|refuses|silent] [--silent-ms N] ACCOUNT...\n"
                 "       oradb account ROOT SERVICE ACCOUNT...\n"
                 "       oradb sql ROOT SERVICE USER [--raw] SQL...\n"
                 "ACCOUNT: USER/PASSWORD[:sysdba][:locked]\n");
    return 2;
}

std::string Convert(const std::string& text, const char* from, const char* to) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return text;
    std::string out(text.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size(), outLeft = out.size();
    char* o = out.data();
    while (inLeft > 0 && iconv(cd, &in, &inLeft, &o, &outLeft) == static_cast<size_t>(-1)) {
        // A byte the code page lacks passes as "?".
        ++in, --inLeft;
        if (outLeft > 0) *o++ = '?', --outLeft;
    }
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

Account ParseAccount(const std::string& text) {
    Account a;
    const size_t slash = text.find('/');
    if (slash == std::string::npos) throw std::runtime_error("account without a password: " + text);
    a.user = UpperName(text.substr(0, slash));
    std::string rest = text.substr(slash + 1);
    for (size_t colon; (colon = rest.rfind(':')) != std::string::npos;) {
        const std::string flag = UpperName(rest.substr(colon + 1));
        if (flag == "SYSDBA")
            a.sysdba = true;
        else if (flag == "LOCKED")
            a.locked = true;
        else
            break;
        rest.erase(colon);
    }
    a.password = rest;
    return a;
}

fs::path IniOf(const std::string& root, const std::string& service) {
    return fs::path(root) / UpperName(service) / "database.ini";
}

DatabaseConfig Load(const std::string& root, const std::string& service) {
    std::ifstream in(IniOf(root, service));
    if (!in) throw std::runtime_error("no database " + UpperName(service) + " under " + root);
    std::stringstream s;
    s << in.rdbuf();
    return ParseDatabaseIni(s.str());
}

void Save(const std::string& root, const DatabaseConfig& c) {
    fs::create_directories(fs::path(root) / c.service);
    std::ofstream(IniOf(root, c.service)) << DatabaseIniText(c);
}

void Merge(DatabaseConfig& c, const Account& a) {
    for (auto& existing : c.accounts)
        if (existing.user == a.user) {
            existing = a;
            return;
        }
    c.accounts.push_back(a);
}

int Create(int argc, char** argv) {
    if (argc < 4) return Usage();
    DatabaseConfig c;
    c.service = UpperName(argv[3]);
    for (int i = 4; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--endpoint") && i + 1 < argc) {
            const std::string e = UpperName(argv[++i]);
            c.endpoint = e == "REFUSES" ? Endpoint::Refuses : e == "SILENT" ? Endpoint::Silent : Endpoint::Answers;
        } else if (!std::strcmp(argv[i], "--silent-ms") && i + 1 < argc) {
            c.silentMs = std::atoi(argv[++i]);
        } else {
            Merge(c, ParseAccount(argv[i]));
        }
    }
    Save(argv[2], c);
    std::printf("created %s\n", (fs::path(argv[2]) / c.service).c_str());
    return 0;
}

int AddAccounts(int argc, char** argv) {
    if (argc < 5) return Usage();
    DatabaseConfig c = Load(argv[2], argv[3]);
    if (c.service.empty()) c.service = UpperName(argv[3]);
    for (int i = 4; i < argc; ++i) Merge(c, ParseAccount(argv[i]));
    Save(argv[2], c);
    return 0;
}

int RunSql(int argc, char** argv) {
    if (argc < 6) return Usage();
    const DatabaseConfig c = Load(argv[2], argv[3]);
    const std::string user = UpperName(argv[4]);
    std::vector<std::string> schemas{"SYS"};
    for (const auto& a : c.accounts) schemas.push_back(a.user);
    Session session((fs::path(argv[2]) / UpperName(argv[3])).string(), user, user, schemas);
    bool raw = false;
    for (int i = 5; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--raw")) {
            raw = true;
            continue;
        }
        const std::string sql = raw ? argv[i] : Convert(argv[i], "UTF-8", "CP1251");
        Cursor cursor(session, sql);
        cursor.Execute({});
        if (cursor.kind() != StatementKind::Select) {
            std::printf("%lld row(s)\n", static_cast<long long>(cursor.rowsAffected()));
            continue;
        }
        std::string line;
        for (const auto& col : cursor.columns()) line += (line.empty() ? "" : "\t") + col.name;
        std::printf("%s\n", line.c_str());
        while (cursor.Next()) {
            line.clear();
            for (size_t k = 0; k < cursor.columns().size(); ++k) {
                const Value v = cursor.At(k);
                std::string text;
                if (auto s = std::get_if<std::string>(&v)) text = *s;
                if (auto i = std::get_if<int64_t>(&v)) text = std::to_string(*i);
                if (auto d = std::get_if<double>(&v)) text = NumberText(*d);
                if (auto t = std::get_if<Date>(&v)) text = StoredDate(*t);
                if (IsNull(v)) text = "NULL";
                line += (k ? "\t" : "") + (raw ? text : Convert(text, "CP1251", "UTF-8"));
            }
            std::printf("%s\n", line.c_str());
        }
    }
    session.Commit();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    try {
        const std::string verb = argv[1];
        if (verb == "create") return Create(argc, argv);
        if (verb == "account") return AddAccounts(argc, argv);
        if (verb == "sql") return RunSql(argc, argv);
        return Usage();
    } catch (const OraError& e) {
        std::fprintf(stderr, "%s", e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "oradb: %s\n", e.what());
        return 1;
    }
}

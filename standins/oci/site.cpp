#include "site.h"

#include <cstdlib>
#include <sstream>

#include "sql_text.h"

namespace oradb {
namespace {

std::string Trimmed(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

bool Yes(const std::string& v) {
    const std::string u = UpperName(v);
    return u == "YES" || u == "1" || u == "TRUE";
}

}  // namespace

const Account* DatabaseConfig::Find(const std::string& upperUser) const {
    for (const auto& a : accounts)
        if (a.user == upperUser) return &a;
    return nullptr;
}

DatabaseConfig ParseDatabaseIni(const std::string& text) {
    DatabaseConfig c;
    std::istringstream in(text);
    std::string line;
    Account* account = nullptr;
    bool inDatabase = false;
    while (std::getline(in, line)) {
        line = Trimmed(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            const std::string section = Trimmed(line.substr(1, line.size() - 2));
            inDatabase = UpperName(section) == "DATABASE";
            account = nullptr;
            if (UpperName(section.substr(0, 8)) == "ACCOUNT ") {
                c.accounts.push_back({UpperName(Trimmed(section.substr(8))), "", false, false});
                account = &c.accounts.back();
            }
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = UpperName(Trimmed(line.substr(0, eq))), value = Trimmed(line.substr(eq + 1));
        if (account) {
            if (key == "PASSWORD") account->password = value;
            if (key == "LOCKED") account->locked = Yes(value);
            if (key == "SYSDBA") account->sysdba = Yes(value);
        } else if (inDatabase) {
            if (key == "SERVICE") c.service = UpperName(value);
            if (key == "ENDPOINT") {
                const std::string v = UpperName(value);
                c.endpoint = v == "REFUSES" ? Endpoint::Refuses : v == "SILENT" ? Endpoint::Silent : Endpoint::Answers;
            }
            if (key == "SILENT_MS") c.silentMs = std::atoi(value.c_str());
        }
    }
    return c;
}

std::string DatabaseIniText(const DatabaseConfig& c) {
    std::ostringstream out;
    out << "; A database of the Oracle stand-in: its endpoint and its accounts.\n"
        << "; endpoint = answers | refuses (ORA-12541) | silent (a time-out after silent_ms)\n"
        << "[database]\nservice = " << c.service << "\nendpoint = "
        << (c.endpoint == Endpoint::Refuses ? "refuses" : c.endpoint == Endpoint::Silent ? "silent" : "answers")
        << "\nsilent_ms = " << c.silentMs << "\n";
    for (const auto& a : c.accounts)
        out << "\n[account " << a.user << "]\npassword = " << a.password << "\nlocked = " << (a.locked ? "yes" : "no")
            << "\nsysdba = " << (a.sysdba ? "yes" : "no") << "\n";
    return out.str();
}

}  // namespace oradb

// A database of the stand-in: a directory named after its service, holding
// database.ini (its accounts and how its endpoint behaves) and one SQLite file
// per schema (USER.db). Read-only here, apart from `Save`, which the oradb
// tool uses to create databases.
#pragma once

#include <string>
#include <vector>

namespace oradb {

struct Account {
    std::string user;      // upper case
    std::string password;  // as given; compared exactly
    bool locked = false;
    bool sysdba = false;
};

enum class Endpoint { Answers, Refuses, Silent };

struct DatabaseConfig {
    std::string service;  // upper case
    Endpoint endpoint = Endpoint::Answers;
    int silentMs = 300;   // how long a silent endpoint keeps the client waiting
    std::vector<Account> accounts;

    const Account* Find(const std::string& upperUser) const;
};

// database.ini as text, and back.
DatabaseConfig ParseDatabaseIni(const std::string& text);
std::string DatabaseIniText(const DatabaseConfig& config);

}  // namespace oradb

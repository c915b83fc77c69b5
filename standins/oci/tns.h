// Connect strings as an Oracle client resolves them: a TNS alias looked up in
// tnsnames.ora (with its IFILE includes and sqlnet.ora's default domain), a
// full descriptor, or an easy-connect host:port/service.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace oradb {

struct Descriptor {
    std::string host;
    std::string port;
    std::string service;  // SERVICE_NAME, or else SID; upper case
};

// Reads the file a tnsnames.ora includes; nullopt when it cannot be read.
using FileReader = std::function<std::optional<std::string>(const std::string& name)>;

// The descriptor text of `alias` in the text of a tnsnames.ora, following
// IFILE entries through `read`; nullopt when the alias is not defined. Names
// compare without regard to letter case; an entry may define several names.
std::optional<std::string> FindTnsEntry(std::string_view tnsnames, std::string_view alias, const FileReader& read,
                                        int depth = 0);

// NAMES.DEFAULT_DOMAIN of a sqlnet.ora text, or "".
std::string DefaultDomain(std::string_view sqlnet);

// The parts of a descriptor "(DESCRIPTION=(ADDRESS=...)(CONNECT_DATA=...))".
Descriptor ParseDescriptor(std::string_view text);

// "host:port/service", "//host/service", "host/service"; nullopt otherwise.
std::optional<Descriptor> ParseEasyConnect(std::string_view text);

}  // namespace oradb

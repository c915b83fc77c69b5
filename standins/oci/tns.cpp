#include "tns.h"

#include <cctype>
#include <vector>

#include "sql_text.h"

namespace oradb {
namespace {

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return std::string(s.substr(b, e - b));
}

// The text without its comments: "#" to the end of the line.
std::string WithoutComments(std::string_view s) {
    std::string out;
    bool comment = false;
    for (char c : s) {
        if (c == '\n') comment = false;
        if (c == '#') comment = true;
        if (!comment) out += c;
    }
    return out;
}

// The value of KEY=... inside a descriptor, at any depth; "" when absent.
std::string ValueOf(std::string_view d, std::string_view key) {
    const std::string upper = UpperName(d);
    for (size_t at = upper.find(key); at != std::string::npos; at = upper.find(key, at + 1)) {
        size_t i = at;
        while (i > 0 && std::isspace(static_cast<unsigned char>(upper[i - 1]))) --i;
        if (i == 0 || upper[i - 1] != '(') continue;
        size_t j = at + key.size();
        while (j < upper.size() && std::isspace(static_cast<unsigned char>(upper[j]))) ++j;
        if (j >= upper.size() || upper[j] != '=') continue;
        const size_t end = upper.find(')', j);
        return Trim(d.substr(j + 1, end == std::string::npos ? std::string_view::npos : end - j - 1));
    }
    return "";
}

}  // namespace

std::optional<std::string> FindTnsEntry(std::string_view tnsnames, std::string_view alias, const FileReader& read,
                                        int depth) {
    if (depth > 8) return std::nullopt;  // includes that include themselves
    const std::string text = WithoutComments(tnsnames);
    const std::string wanted = UpperName(Trim(alias));
    size_t i = 0;
    while (i < text.size()) {
        // Names up to "=" at depth 0.
        const size_t eq = text.find('=', i);
        if (eq == std::string::npos) break;
        const std::string names = text.substr(i, eq - i);
        size_t j = eq + 1;
        while (j < text.size() && std::isspace(static_cast<unsigned char>(text[j]))) ++j;
        size_t end = j;
        if (j < text.size() && text[j] == '(') {
            int level = 0;
            for (; end < text.size(); ++end) {
                if (text[end] == '(') ++level;
                if (text[end] == ')' && --level == 0) {
                    ++end;
                    break;
                }
            }
        } else {
            end = text.find('\n', j);
            if (end == std::string::npos) end = text.size();
        }
        const std::string value = Trim(std::string_view(text).substr(j, end - j));
        std::vector<std::string> list;
        std::string name;
        for (char c : names + ",") {
            if (c == ',' || std::isspace(static_cast<unsigned char>(c))) {
                if (!name.empty()) list.push_back(UpperName(name));
                name.clear();
            } else {
                name += c;
            }
        }
        for (const auto& n : list) {
            if (n == "IFILE") {
                if (auto included = read(value))
                    if (auto found = FindTnsEntry(*included, alias, read, depth + 1)) return found;
            } else if (n == wanted) {
                return value;
            }
        }
        i = end;
    }
    return std::nullopt;
}

std::string DefaultDomain(std::string_view sqlnet) {
    const std::string text = WithoutComments(sqlnet);
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        const size_t eq = line.find('=');
        if (eq != std::string::npos && UpperName(Trim(line.substr(0, eq))) == "NAMES.DEFAULT_DOMAIN")
            return Trim(line.substr(eq + 1));
        at = end + 1;
    }
    return "";
}

Descriptor ParseDescriptor(std::string_view text) {
    Descriptor d;
    d.host = ValueOf(text, "HOST");
    d.port = ValueOf(text, "PORT");
    d.service = UpperName(ValueOf(text, "SERVICE_NAME"));
    if (d.service.empty()) d.service = UpperName(ValueOf(text, "SID"));
    return d;
}

std::optional<Descriptor> ParseEasyConnect(std::string_view text) {
    std::string s = Trim(text);
    if (s.rfind("//", 0) == 0) s.erase(0, 2);
    const size_t slash = s.find('/');
    if (slash == std::string::npos && s.find(':') == std::string::npos) return std::nullopt;
    Descriptor d;
    const std::string address = s.substr(0, slash);
    const size_t colon = address.find(':');
    d.host = address.substr(0, colon);
    if (colon != std::string::npos) d.port = address.substr(colon + 1);
    if (slash != std::string::npos) d.service = UpperName(s.substr(slash + 1));
    if (d.host.empty()) return std::nullopt;
    return d;
}

}  // namespace oradb

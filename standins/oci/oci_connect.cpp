// Finding the database behind a connect string, as a client on Windows does:
// tnsnames.ora from TNS_ADMIN in the environment, else TNS_ADMIN under the
// home's registry key, else the home's network\admin (net80\admin for 8.0);
// then the database directory named by the service under the stand-in's root
// (ORADB_ROOT in the environment, or root= in oradb.ini beside the DLL), and
// the endpoint as its database.ini describes it.
#include "oci_connect.h"

#include <windows.h>

#include <cctype>
#include <fstream>
#include <sstream>

#include "ora_error.h"
#include "sql_text.h"
#include "tns.h"

namespace oradb::oci {
namespace {

std::optional<std::string> ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Join(std::string dir, const std::string& name) {
    if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') dir += '\\';
    return dir + name;
}

std::string Trim(std::string s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
    size_t b = 0;
    while (b < s.size() && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    return s.substr(b);
}

std::string Env(const char* name) {
    char buffer[2048];
    const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

std::string NoTrailingSlash(std::string s) {
    while (s.size() > 3 && (s.back() == '\\' || s.back() == '/')) s.pop_back();
    return s;
}

// This DLL's folder.
std::string ModuleDir() {
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ModuleDir), &self);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(self, path, MAX_PATH);
    std::string p = path;
    return p.substr(0, p.find_last_of('\\'));
}

// The Oracle home the client lives in: the folder above BIN, or its own.
std::string HomeDir() {
    const std::string dir = ModuleDir();
    const size_t slash = dir.find_last_of('\\');
    if (slash != std::string::npos && UpperName(dir.substr(slash + 1)) == "BIN") return dir.substr(0, slash);
    return dir;
}

std::string RegistryText(HKEY key, const char* name) {
    char data[1024] = {};
    DWORD size = sizeof data - 1, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return "";
    return std::string(data, strnlen(data, size));
}

// TNS_ADMIN of the registry key that registers this home.
std::string HomeTnsAdmin(const std::string& home) {
    const std::string wanted = UpperName(NoTrailingSlash(home));
    for (const char* parent : {"SOFTWARE\\ORACLE", "SOFTWARE\\ORACLE\\ORACLE_HOMES"}) {
        HKEY root = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, parent, 0, KEY_READ, &root) != ERROR_SUCCESS) continue;
        std::string found;
        char name[256];
        for (DWORD i = 0;; ++i) {
            DWORD n = sizeof name;
            if (RegEnumKeyExA(root, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            HKEY key = nullptr;
            if (RegOpenKeyExA(root, name, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
            if (UpperName(NoTrailingSlash(RegistryText(key, "ORACLE_HOME"))) == wanted)
                found = RegistryText(key, "TNS_ADMIN");
            RegCloseKey(key);
            if (!found.empty()) break;
        }
        RegCloseKey(root);
        if (!found.empty()) return found;
    }
    return "";
}

std::string TnsDirectory(int version) {
    const std::string env = Env("TNS_ADMIN");
    if (!env.empty()) return env;
    const std::string home = HomeDir();
    const std::string registered = HomeTnsAdmin(home);
    if (!registered.empty()) return registered;
    return Join(home, version < 80100 ? "net80\\admin" : "network\\admin");
}

std::string DatabaseRoot() {
    const std::string env = Env("ORADB_ROOT");
    if (!env.empty()) return env;
    if (auto ini = ReadWhole(Join(ModuleDir(), "oradb.ini"))) {
        std::istringstream in(*ini);
        std::string line;
        while (std::getline(in, line)) {
            const size_t eq = line.find('=');
            if (eq != std::string::npos && UpperName(Trim(line.substr(0, eq))) == "ROOT") return Trim(line.substr(eq + 1));
        }
    }
    return "";
}

Descriptor Resolve(const std::string& connect, int version) {
    std::string cs = Trim(connect);
    if (cs.empty()) cs = Trim(Env("LOCAL"));
    if (cs.empty()) Fail(ora::ProtocolAdapter);
    if (cs.front() == '(') return ParseDescriptor(cs);
    if (auto ez = ParseEasyConnect(cs)) return *ez;
    const std::string dir = TnsDirectory(version);
    const auto tnsnames = ReadWhole(Join(dir, "tnsnames.ora"));
    if (!tnsnames) Fail(ora::CannotResolve);
    const FileReader read = [&](const std::string& name) {
        auto text = ReadWhole(name);
        if (!text) text = ReadWhole(Join(dir, name));
        return text;
    };
    std::vector<std::string> names;
    if (cs.find('.') == std::string::npos) {
        const std::string domain = DefaultDomain(ReadWhole(Join(dir, "sqlnet.ora")).value_or(""));
        if (!domain.empty()) names.push_back(cs + "." + domain);
    }
    names.push_back(cs);
    for (const auto& name : names)
        if (auto entry = FindTnsEntry(*tnsnames, name, read)) return ParseDescriptor(*entry);
    Fail(ora::CannotResolve);
}

std::string Utf8(const std::string& ansi) {
    const int wn = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(wn), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), w.data(), wn);
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), wn, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), wn, out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace

void AttachServer(ServerH& server, const std::string& connect, int version) {
    const Descriptor d = Resolve(connect, version);
    if (d.service.empty()) Fail(ora::NoServiceName);
    const std::string root = DatabaseRoot();
    if (root.empty()) Fail(ora::NoListener);
    const std::string dir = Join(root, d.service);
    const auto ini = ReadWhole(Join(dir, "database.ini"));
    if (!ini) Fail(ora::ServiceUnknown);
    DatabaseConfig config = ParseDatabaseIni(*ini);
    switch (config.endpoint) {
    case Endpoint::Refuses:
        Fail(ora::NoListener);
    case Endpoint::Silent:
        Sleep(static_cast<DWORD>(config.silentMs > 0 ? config.silentMs : 0));
        Fail(version < 90000 ? ora::OperationTimedOut : ora::ConnectTimeout);
    case Endpoint::Answers:
        break;
    }
    if (config.service.empty()) config.service = d.service;
    server.dir = dir;
    server.dirUtf8 = Utf8(dir);
    server.config = std::move(config);
    server.attached = true;
}

}  // namespace oradb::oci

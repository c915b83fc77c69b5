#include "oci_client.h"

#include <cstring>

#include "file_fixture.h"

namespace kxtest {
namespace {

const oci::OraText* Txt(const std::string& s) { return reinterpret_cast<const oci::OraText*>(s.data()); }

void WriteText(const std::string& path, const std::string& text) {
    const size_t slash = path.rfind('\\');
    for (size_t at = path.find('\\', 3); at != std::string::npos && at <= slash; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + path);
    DWORD put = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
    CloseHandle(h);
}

std::string Database(const std::string& service, const std::string& endpoint, const std::string& accounts) {
    return "[database]\nservice = " + service + "\nendpoint = " + endpoint + "\nsilent_ms = 100\n" + accounts;
}

std::string Account(const char* user, const char* password, bool sysdba = false, bool locked = false) {
    return std::string("\n[account ") + user + "]\npassword = " + password + "\nsysdba = " + (sysdba ? "yes" : "no") +
           "\nlocked = " + (locked ? "yes" : "no") + "\n";
}

}  // namespace

void MakeTestDatabases() {
    RemoveTree(kOradbRoot);
    const std::string root = kOradbRoot;
    WriteText(root + "\\KXDB\\database.ini",
              Database("KXDB", "answers",
                       Account("SCOTT", "tiger") + Account("SYS", "change_on_install", true) +
                           Account("SYSTEM", "manager") + Account("LOCKED", "locked", false, true)));
    WriteText(root + "\\REFUSING\\database.ini", Database("REFUSING", "refuses", Account("SCOTT", "tiger")));
    WriteText(root + "\\SILENT\\database.ini", Database("SILENT", "silent", Account("SCOTT", "tiger")));
    WriteText(root + "\\ADMIN\\tnsnames.ora",
              "# Test aliases\r\n"
              "KX, KX.WORLD =\r\n  (DESCRIPTION =\r\n    (ADDRESS = (PROTOCOL = TCP)(HOST = kxhost)(PORT = 1521))\r\n"
              "    (CONNECT_DATA = (SERVICE_NAME = KXDB))\r\n  )\r\n"
              "KX_REFUSED = (DESCRIPTION=(ADDRESS=(HOST=kxhost)(PORT=1521))(CONNECT_DATA=(SERVICE_NAME=REFUSING)))\r\n"
              "KX_SILENT = (DESCRIPTION=(ADDRESS=(HOST=kxhost)(PORT=1521))(CONNECT_DATA=(SID=SILENT)))\r\n"
              "KX_NOSERVICE = (DESCRIPTION=(ADDRESS=(HOST=kxhost)(PORT=1521))(CONNECT_DATA=(SERVICE_NAME=NOPE)))\r\n");
    SetEnvironmentVariableA("ORADB_ROOT", kOradbRoot);
    SetEnvironmentVariableA("TNS_ADMIN", (root + "\\ADMIN").c_str());
}

OciLibrary::OciLibrary(const std::string& version, const std::string& path) : version_(version), path_(path) {
    if (path_.empty()) path_ = BesideTests("..\\standins\\oci\\" + version + "\\oci.dll");
    module_ = LoadLibraryA(path_.c_str());
    if (!module_) throw std::runtime_error("cannot load " + path_ + ": " + std::to_string(GetLastError()));
}

OciLibrary::~OciLibrary() {
    if (module_) FreeLibrary(module_);
}

OciEnv::OciEnv(const OciLibrary& lib) : lib_(lib) {
    oci::sword rc = oci::kError;
    if (lib.Has("OCIEnvCreate")) {
        rc = lib.Get<oci::OCIEnvCreateFn>("OCIEnvCreate")(&env_, oci::kDefault, nullptr, nullptr, nullptr, nullptr, 0,
                                                          nullptr);
    } else {
        lib.Get<oci::OCIInitializeFn>("OCIInitialize")(oci::kDefault, nullptr, nullptr, nullptr, nullptr);
        rc = lib.Get<oci::OCIEnvInitFn>("OCIEnvInit")(&env_, oci::kDefault, 0, nullptr);
    }
    if (rc != oci::kSuccess || !env_) throw std::runtime_error("no OCI environment");
    err_ = Alloc(oci::kHtypeError);
}

OciEnv::~OciEnv() {
    if (env_) lib_.Get<oci::OCIHandleFreeFn>("OCIHandleFree")(env_, oci::kHtypeEnv);
}

void* OciEnv::Alloc(oci::ub4 type) const {
    void* h = nullptr;
    if (lib_.Get<oci::OCIHandleAllocFn>("OCIHandleAlloc")(env_, &h, type, 0, nullptr) != oci::kSuccess)
        throw std::runtime_error("OCIHandleAlloc failed for type " + std::to_string(type));
    return h;
}

std::string OciEnv::ErrorText(oci::sb4* code) const {
    oci::OraText buffer[2048] = {};
    oci::sb4 c = 0;
    if (lib_.Get<oci::OCIErrorGetFn>("OCIErrorGet")(err_, 1, nullptr, &c, buffer, sizeof buffer, oci::kHtypeError) !=
        oci::kSuccess)
        return "";
    if (code) *code = c;
    return reinterpret_cast<const char*>(buffer);
}

OciSession::OciSession(const OciEnv& env, const std::string& connect, const std::string& user,
                       const std::string& password, oci::ub4 mode)
    : env_(env) {
    const OciLibrary& lib = env.lib();
    server_ = env.Alloc(oci::kHtypeServer);
    svc_ = env.Alloc(oci::kHtypeSvcCtx);
    session_ = env.Alloc(oci::kHtypeSession);
    status_ = lib.Get<oci::OCIServerAttachFn>("OCIServerAttach")(server_, env.err(), Txt(connect),
                                                                 static_cast<oci::sb4>(connect.size()), oci::kDefault);
    if (status_ != oci::kSuccess) {
        error_ = env.ErrorText();
        return;
    }
    attached_ = true;
    auto set = lib.Get<oci::OCIAttrSetFn>("OCIAttrSet");
    set(svc_, oci::kHtypeSvcCtx, server_, 0, oci::kAttrServer, env.err());
    set(session_, oci::kHtypeSession, const_cast<char*>(user.data()), static_cast<oci::ub4>(user.size()),
        oci::kAttrUsername, env.err());
    set(session_, oci::kHtypeSession, const_cast<char*>(password.data()), static_cast<oci::ub4>(password.size()),
        oci::kAttrPassword, env.err());
    status_ = lib.Get<oci::OCISessionBeginFn>("OCISessionBegin")(svc_, env.err(), session_, oci::kCredRdbms, mode);
    if (status_ != oci::kSuccess) {
        error_ = env.ErrorText();
        return;
    }
    begun_ = true;
    set(svc_, oci::kHtypeSvcCtx, session_, 0, oci::kAttrSession, env.err());
}

void OciSession::End() {
    const OciLibrary& lib = env_.lib();
    if (begun_) lib.Get<oci::OCISessionEndFn>("OCISessionEnd")(svc_, env_.err(), session_, oci::kDefault);
    if (attached_) lib.Get<oci::OCIServerDetachFn>("OCIServerDetach")(server_, env_.err(), oci::kDefault);
    begun_ = attached_ = false;
}

OciSession::~OciSession() {
    End();
    auto free = env_.lib().Get<oci::OCIHandleFreeFn>("OCIHandleFree");
    free(session_, oci::kHtypeSession);
    free(svc_, oci::kHtypeSvcCtx);
    free(server_, oci::kHtypeServer);
}

oci::sword OciSession::Exec(const std::string& sql, oci::ub4 mode) {
    OciStmt stmt(env_, sql);
    oci::ub2 type = 0;
    env_.lib().Get<oci::OCIAttrGetFn>("OCIAttrGet")(stmt.get(), oci::kHtypeStmt, &type, nullptr, oci::kAttrStmtType,
                                                    env_.err());
    return env_.lib().Get<oci::OCIStmtExecuteFn>("OCIStmtExecute")(svc_, stmt.get(), env_.err(),
                                                                   type == oci::kStmtSelect ? 0 : 1, 0, nullptr,
                                                                   nullptr, mode);
}

std::vector<std::string> OciSession::Column(const std::string& sql) {
    const OciLibrary& lib = env_.lib();
    OciStmt stmt(env_, sql);
    if (lib.Get<oci::OCIStmtExecuteFn>("OCIStmtExecute")(svc_, stmt.get(), env_.err(), 0, 0, nullptr, nullptr,
                                                         oci::kDefault) != oci::kSuccess)
        throw std::runtime_error(env_.ErrorText());
    char value[4000] = {};
    oci::sb2 indicator = 0;
    void* define = nullptr;
    lib.Get<oci::OCIDefineByPosFn>("OCIDefineByPos")(stmt.get(), &define, env_.err(), 1, value, sizeof value,
                                                     oci::kSqltStr, &indicator, nullptr, nullptr, oci::kDefault);
    std::vector<std::string> rows;
    for (;;) {
        const oci::sword rc = lib.Get<oci::OCIStmtFetchFn>("OCIStmtFetch")(stmt.get(), env_.err(), 1,
                                                                           oci::kFetchNext, oci::kDefault);
        if (rc == oci::kNoData) break;
        if (rc != oci::kSuccess && rc != oci::kSuccessWithInfo) throw std::runtime_error(env_.ErrorText());
        rows.push_back(indicator == -1 ? "<null>" : value);
    }
    return rows;
}

std::string OciSession::One(const std::string& sql) {
    const auto rows = Column(sql);
    return rows.empty() ? "<none>" : rows.front();
}

oci::sword OciSession::Commit() {
    return env_.lib().Get<oci::OCITransCommitFn>("OCITransCommit")(svc_, env_.err(), oci::kDefault);
}

OciStmt::OciStmt(const OciEnv& env, const std::string& sql) : env_(env) {
    stmt_ = env.Alloc(oci::kHtypeStmt);
    if (env.lib().Get<oci::OCIStmtPrepareFn>("OCIStmtPrepare")(stmt_, env.err(), Txt(sql),
                                                               static_cast<oci::ub4>(sql.size()), oci::kNtvSyntax,
                                                               oci::kDefault) != oci::kSuccess)
        throw std::runtime_error("OCIStmtPrepare: " + env.ErrorText());
}

OciStmt::~OciStmt() { env_.lib().Get<oci::OCIHandleFreeFn>("OCIHandleFree")(stmt_, oci::kHtypeStmt); }

}  // namespace kxtest

// The entry points of the stand-in oci.dll: cdecl, undecorated names (the
// .def file of each emulated version chooses which are exported). Every call
// checks its handles first, clears the error handle's diagnostics, and turns
// an OraError into OCI_ERROR with the Oracle text on the error handle.
#include <windows.h>

#include <cstring>
#include <mutex>
#include <unordered_map>

#include "oci_connect.h"
#include "oci_handles.h"
#include "ora_error.h"

#ifndef KX_OCI_VERSION
#define KX_OCI_VERSION 190300
#endif

#define OCI_EXPORT extern "C" __cdecl

using namespace oradb;
using namespace oradb::oci;

namespace oradb::oci {
namespace {

std::recursive_mutex& Lock() {
    static std::recursive_mutex m;
    return m;
}

std::unordered_map<const void*, Handle*>& Live() {
    static std::unordered_map<const void*, Handle*> live;
    return live;
}

bool& Initialized() {
    static bool initialized = false;
    return initialized;
}

}  // namespace

void Register(Handle* h) { Live()[h] = h; }
void Unregister(Handle* h) { Live().erase(h); }

Handle* FindAny(const void* p) {
    if (!p) return nullptr;
    const auto it = Live().find(p);
    return it == Live().end() ? nullptr : it->second;
}

Handle* Find(const void* p, ub4 type) {
    Handle* h = FindAny(p);
    if (!h) return nullptr;
    if (h->type == type || (type == HTYPE_DESCRIBE && h->type == DTYPE_PARAM) ||
        (type == DTYPE_PARAM && h->type == HTYPE_DESCRIBE))
        return h;
    return nullptr;
}

}  // namespace oradb::oci

namespace {

constexpr int kVersion = KX_OCI_VERSION;

// --- making and freeing handles ---------------------------------------------

template <class T>
T* Make(EnvH* env, ub4 type) {
    auto* h = new T(type, env);
    Register(h);
    env->owned.push_back(h);
    return h;
}

void Free(Handle* h);

void FreeStatementParts(StmtH* s) {
    for (auto& [name, b] : s->binds) Free(b);
    for (auto& [pos, d] : s->defines) Free(d);
    for (ParamH* p : s->params) Free(p);
    s->binds.clear();
    s->defines.clear();
    s->params.clear();
}

// Releases a handle and what belongs to it; an environment releases every
// handle made from it.
void Free(Handle* h) {
    if (!h) return;
    Unregister(h);
    if (h->type == HTYPE_ENV) {
        auto* env = static_cast<EnvH*>(h);
        // Statements first: their cursors end before the sessions they run on.
        for (int pass = 0; pass < 2; ++pass)
            for (Handle*& child : env->owned)
                if (child && (child->type == HTYPE_STMT) == (pass == 0)) {
                    Handle* c = child;
                    child = nullptr;
                    Free(c);
                }
        delete env;
        return;
    }
    if (h->env && h->env != h) {
        for (Handle*& child : h->env->owned)
            if (child == h) child = nullptr;
    }
    switch (h->type) {
    case HTYPE_STMT: {
        auto* s = static_cast<StmtH*>(h);
        FreeStatementParts(s);
        s->cursor.reset();
        break;
    }
    case HTYPE_SESSION: {
        // A session freed without OCISessionEnd rolls back.
        auto* u = static_cast<SessionH*>(h);
        if (u->session) u->session->Rollback();
        break;
    }
    default:
        break;
    }
    delete h;
}

// Keeps the environment's list of handles short for long-lived clients.
void Compact(EnvH* env) {
    auto& owned = env->owned;
    if (owned.size() < 64) return;
    size_t live = 0;
    for (Handle* h : owned)
        if (h) owned[live++] = h;
    owned.resize(live);
}

// --- diagnostics --------------------------------------------------------------

void Record(Diagnostics& d, const OraError& e) {
    d.code = e.code();
    d.message = e.what();
}

// Runs a call with an error handle: its diagnostics are cleared, an OraError
// becomes OCI_ERROR with the Oracle text, anything else ORA-00600.
template <class Body>
sword WithErrors(ErrorH* err, Body&& body) {
    err->diag.Clear();
    try {
        return body();
    } catch (const OraError& e) {
        Record(err->diag, e);
        return ERROR;
    } catch (const std::exception& e) {
        Record(err->diag, OraError(ora::Internal, OraMessage(ora::Internal, e.what())));
        return ERROR;
    }
}

std::string TextArg(const text* p, ub4 length) {
    if (!p) return "";
    return std::string(reinterpret_cast<const char*>(p), length);
}

// --- statements -----------------------------------------------------------------

// The session handle `svc` holds, if the client has not freed it since.
SessionH* LiveSession(SvcH* svc) {
    if (svc->session && !As<SessionH>(svc->session, HTYPE_SESSION)) svc->session = nullptr;
    return svc->session;
}
ServerH* LiveServer(SvcH* svc) {
    if (svc->server && !As<ServerH>(svc->server, HTYPE_SERVER)) svc->server = nullptr;
    return svc->server;
}

// The session that `svc` runs now; ORA-01012 without one.
Session& SessionOf(SvcH* svc) {
    SessionH* u = LiveSession(svc);
    if (!u || !u->session) Fail(ora::NotLoggedOn);
    return *u->session;
}

// The statement's cursor on the session that `svc` runs now.
Cursor& CursorFor(StmtH* s, SvcH* svc) {
    SessionOf(svc);
    if (s->sql.empty()) Fail(ora::NotPrepared);
    if (!s->cursor || s->session != svc->session->session) {
        s->cursor.reset();
        s->session = svc->session->session;
        s->cursor = std::make_unique<Cursor>(*s->session, s->sql);
    }
    return *s->cursor;
}

// The values of the binds for row `row` of an array execute.
std::map<std::string, Value> BoundValues(StmtH* s, ub4 row) {
    std::map<std::string, Value> values;
    for (const auto& [name, b] : s->binds) {
        const sb2* ind = b->indicator ? b->indicator + row : nullptr;
        if ((ind && *ind == -1) || !b->value) {
            values[name] = Value{};
            continue;
        }
        const auto* p = static_cast<const char*>(b->value) + static_cast<size_t>(b->size) * row;
        size_t size = static_cast<size_t>(b->size);
        if (b->length) size = b->length[row];
        values[name] = FromExternal(b->dty, p, size);
    }
    return values;
}

// Writes the current row into the defines (row `row` of an array fetch);
// true when a value was truncated.
bool FillDefines(StmtH* s, ub4 row) {
    bool truncated = false;
    const auto& columns = s->cursor->columns();
    for (const auto& [pos, d] : s->defines) {
        if (pos == 0 || pos > columns.size()) Fail(ora::NotInSelectList);
        const Value v = s->cursor->At(pos - 1);
        if (IsNull(v)) {
            if (!d->indicator) Fail(ora::FetchedNull);
            d->indicator[row] = -1;
            if (d->length) d->length[row] = 0;
            if (d->code) d->code[row] = ora::FetchedNull;
            continue;
        }
        auto* buffer = static_cast<char*>(d->buffer) + static_cast<size_t>(d->size) * row;
        const Fetched f = ToExternal(v, d->dty, buffer, static_cast<size_t>(d->size));
        if (d->length) d->length[row] = static_cast<ub2>(f.length);
        if (d->indicator) d->indicator[row] = f.truncated ? static_cast<sb2>(f.fullLength > 32767 ? -2 : f.fullLength) : 0;
        if (d->code) d->code[row] = f.truncated ? ora::Truncated : 0;
        truncated = truncated || f.truncated;
    }
    return truncated;
}

sword Fetch(StmtH* s, ErrorH* err, ub4 rows) {
    if (!s->executed || !s->cursor || s->kind != StatementKind::Select) Fail(ora::NotExecuted);
    if (rows == 0) {
        s->cursor->Close();
        return SUCCESS;
    }
    bool truncated = false;
    for (ub4 r = 0; r < rows; ++r) {
        if (!s->cursor->Next()) {
            s->rowCount = static_cast<ub4>(s->cursor->rowsFetched());
            Record(err->diag, OraError(ora::NoDataFound, OraMessage(ora::NoDataFound)));
            return NO_DATA;
        }
        truncated = FillDefines(s, r) || truncated;
    }
    s->rowCount = static_cast<ub4>(s->cursor->rowsFetched());
    if (truncated) {
        Record(err->diag, OraError(ora::Truncated, OraMessage(ora::Truncated)));
        return SUCCESS_WITH_INFO;
    }
    return SUCCESS;
}

ub2 StatementType(StatementKind k) {
    switch (k) {
    case StatementKind::Select: return STMT_SELECT;
    case StatementKind::Update: return STMT_UPDATE;
    case StatementKind::Delete: return STMT_DELETE;
    case StatementKind::Insert: return STMT_INSERT;
    case StatementKind::Create: return STMT_CREATE;
    case StatementKind::Drop: return STMT_DROP;
    case StatementKind::Alter: return STMT_ALTER;
    case StatementKind::Begin: return STMT_BEGIN;
    case StatementKind::Declare: return STMT_DECLARE;
    default: return 0;
    }
}

sword Prepare(StmtH* s, const text* sql, ub4 length) {
    FreeStatementParts(s);
    s->cursor.reset();
    s->session.reset();
    s->executed = false;
    s->rowCount = 0;
    s->sql = TextArg(sql, length);
    s->kind = KindOf(s->sql);
    s->bindNames.clear();
    try {
        s->bindNames = TranslateSql(s->sql, "").binds;
    } catch (const OraError&) {
        // Reported when the statement runs, as Oracle reports parse errors.
    }
    return SUCCESS;
}

// --- sessions -------------------------------------------------------------------

void BeginSession(SvcH* svc, SessionH* u, ub4 credentials, ub4 mode) {
    if (!LiveServer(svc) || !svc->server->attached) Fail(ora::NotConnected);
    if (u->session) Fail(ora::AlreadyAuthenticated);
    const DatabaseConfig& db = svc->server->config;
    if (credentials != CRED_RDBMS) Fail(ora::InvalidLogon);
    const std::string user = UpperName(u->user);
    if (user.empty()) Fail(ora::InvalidLogon);
    if (u->password.empty()) Fail(ora::NullPassword);
    const Account* account = db.Find(user);
    if (!account || account->password != u->password) Fail(ora::InvalidLogon);
    std::string schema = user;
    if (mode & SYSDBA) {
        if (!account->sysdba) Fail(ora::InsufficientPrivileges);
        schema = "SYS";
    } else if (account->locked) {
        Fail(ora::AccountLocked);
    }
    std::vector<std::string> schemas{"SYS"};
    for (const auto& a : db.accounts) schemas.push_back(a.user);
    u->session = std::make_shared<Session>(svc->server->dirUtf8, schema, schema, schemas);
    u->server = svc->server;
    svc->session = u;
}

void EndSession(SvcH* svc, SessionH* u) {
    if (!u || !u->session) Fail(ora::NotLoggedOn);
    u->session->Commit();
    u->session.reset();
    if (svc->session == u) svc->session = nullptr;
}

template <class T>
sword GetScalar(void* value, ub4* size, T v) {
    std::memcpy(value, &v, sizeof v);
    if (size) *size = sizeof v;
    return SUCCESS;
}

}  // namespace

// --- environment ---------------------------------------------------------------

OCI_EXPORT sword OCIInitialize(ub4, void*, void*, void*, void*) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    Initialized() = true;
    return SUCCESS;
}

OCI_EXPORT sword OCIEnvInit(void** envp, ub4, size_t xtramem, void** usrmem) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    if (!envp) return INVALID_HANDLE;
    *envp = nullptr;
    if (!Initialized()) return ERROR;
    auto* env = new EnvH();
    Register(env);
    if (xtramem && usrmem) {
        env->userMemory.reset(new char[xtramem]());
        *usrmem = env->userMemory.get();
    }
    *envp = env;
    return SUCCESS;
}

OCI_EXPORT sword OCIEnvCreate(void** envp, ub4 mode, void*, void*, void*, void*, size_t xtramem, void** usrmem) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    Initialized() = true;
    return OCIEnvInit(envp, mode, xtramem, usrmem);
}

OCI_EXPORT sword OCIHandleAlloc(const void* parent, void** hndlpp, ub4 type, size_t xtramem, void** usrmem) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    auto* env = As<EnvH>(parent, HTYPE_ENV);
    if (!env || !hndlpp) return INVALID_HANDLE;
    *hndlpp = nullptr;
    Handle* h = nullptr;
    switch (type) {
    case HTYPE_ERROR: h = Make<ErrorH>(env, type); break;
    case HTYPE_SVCCTX: h = Make<SvcH>(env, type); break;
    case HTYPE_STMT: h = Make<StmtH>(env, type); break;
    case HTYPE_SERVER: h = Make<ServerH>(env, type); break;
    case HTYPE_SESSION: h = Make<SessionH>(env, type); break;
    case HTYPE_DESCRIBE:
    case HTYPE_TRANS: h = Make<PlainH>(env, type); break;
    default: return ERROR;
    }
    if (xtramem && usrmem) {
        h->userMemory.reset(new char[xtramem]());
        *usrmem = h->userMemory.get();
    }
    Compact(env);
    *hndlpp = h;
    return SUCCESS;
}

OCI_EXPORT sword OCIHandleFree(void* hndlp, ub4 type) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    Handle* h = Find(hndlp, type);
    if (!h || type == HTYPE_BIND || type == HTYPE_DEFINE) return INVALID_HANDLE;
    Free(h);
    return SUCCESS;
}

OCI_EXPORT sword OCIDescriptorFree(void* descp, ub4 type) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    auto* p = As<ParamH>(descp, DTYPE_PARAM);
    if (!p || type != DTYPE_PARAM) return INVALID_HANDLE;
    for (Handle* h : p->env->owned) {
        if (h && h->type == HTYPE_STMT) {
            auto& params = static_cast<StmtH*>(h)->params;
            for (auto it = params.begin(); it != params.end(); ++it)
                if (*it == p) {
                    params.erase(it);
                    break;
                }
        }
    }
    Free(p);
    return SUCCESS;
}

OCI_EXPORT sword OCIErrorGet(void* hndlp, ub4 recordno, text*, sb4* errcodep, text* bufp, ub4 bufsiz, ub4 type) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    Diagnostics* d = nullptr;
    if (type == HTYPE_ERROR) {
        if (auto* e = As<ErrorH>(hndlp, HTYPE_ERROR)) d = &e->diag;
    } else if (type == HTYPE_ENV) {
        if (auto* e = As<EnvH>(hndlp, HTYPE_ENV)) d = &e->diag;
    }
    if (!d) return INVALID_HANDLE;
    if (recordno != 1 || d->code == 0) return NO_DATA;
    if (errcodep) *errcodep = d->code;
    if (bufp && bufsiz > 0) {
        const size_t n = d->message.size() < bufsiz - 1 ? d->message.size() : bufsiz - 1;
        std::memcpy(bufp, d->message.data(), n);
        bufp[n] = 0;
    }
    return SUCCESS;
}

// --- attributes -------------------------------------------------------------------

OCI_EXPORT sword OCIAttrSet(void* trgthndlp, ub4 trghndltyp, void* attributep, ub4 size, ub4 attrtype, void* errhp) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    Handle* target = Find(trgthndlp, trghndltyp);
    auto* err = As<ErrorH>(errhp, HTYPE_ERROR);
    if (!target || !err) return INVALID_HANDLE;
    return WithErrors(err, [&]() -> sword {
        if (target->type == HTYPE_SVCCTX) {
            auto* svc = static_cast<SvcH*>(target);
            if (attrtype == ATTR_SERVER) {
                auto* server = As<ServerH>(attributep, HTYPE_SERVER);
                if (!server) return INVALID_HANDLE;
                svc->server = server;
                return SUCCESS;
            }
            if (attrtype == ATTR_SESSION) {
                auto* session = As<SessionH>(attributep, HTYPE_SESSION);
                if (!session) return INVALID_HANDLE;
                svc->session = session;
                return SUCCESS;
            }
            if (attrtype == ATTR_TRANS) return As<PlainH>(attributep, HTYPE_TRANS) ? SUCCESS : INVALID_HANDLE;
        }
        if (target->type == HTYPE_SESSION && (attrtype == ATTR_USERNAME || attrtype == ATTR_PASSWORD)) {
            auto* u = static_cast<SessionH*>(target);
            (attrtype == ATTR_USERNAME ? u->user : u->password) = TextArg(static_cast<const text*>(attributep), size);
            return SUCCESS;
        }
        Fail(ora::IllegalAttribute);
    });
}

OCI_EXPORT sword OCIAttrGet(const void* trgthndlp, ub4 trghndltyp, void* attributep, ub4* sizep, ub4 attrtype,
                            void* errhp) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    Handle* target = Find(trgthndlp, trghndltyp);
    auto* err = As<ErrorH>(errhp, HTYPE_ERROR);
    if (!target || !err || !attributep) return INVALID_HANDLE;
    return WithErrors(err, [&]() -> sword {
        if (target->type == HTYPE_STMT) {
            auto* s = static_cast<StmtH*>(target);
            if (attrtype == ATTR_STMT_TYPE) return GetScalar<ub2>(attributep, sizep, StatementType(s->kind));
            if (attrtype == ATTR_ROW_COUNT) return GetScalar<ub4>(attributep, sizep, s->rowCount);
            if (attrtype == ATTR_PARAM_COUNT) {
                if (!s->cursor) Fail(ora::NotExecuted);
                return GetScalar<ub4>(attributep, sizep, static_cast<ub4>(s->cursor->columns().size()));
            }
        }
        if (target->type == DTYPE_PARAM) {
            const Column& c = static_cast<ParamH*>(target)->column;
            switch (attrtype) {
            case ATTR_DATA_TYPE: return GetScalar<ub2>(attributep, sizep, c.type);
            case ATTR_DATA_SIZE: return GetScalar<ub2>(attributep, sizep, c.size);
            case ATTR_PRECISION: return GetScalar<sb2>(attributep, sizep, c.precision);
            case ATTR_SCALE: return GetScalar<sb1>(attributep, sizep, c.scale);
            case ATTR_IS_NULL: return GetScalar<ub1>(attributep, sizep, c.nullable ? 1 : 0);
            case ATTR_NAME:
                *static_cast<const char**>(attributep) = c.name.c_str();
                if (sizep) *sizep = static_cast<ub4>(c.name.size());
                return SUCCESS;
            default: break;
            }
        }
        if (target->type == HTYPE_SVCCTX) {
            auto* svc = static_cast<SvcH*>(target);
            if (attrtype == ATTR_SERVER) return GetScalar<void*>(attributep, sizep, LiveServer(svc));
            if (attrtype == ATTR_SESSION) return GetScalar<void*>(attributep, sizep, LiveSession(svc));
        }
        if (target->type == HTYPE_SESSION && attrtype == ATTR_USERNAME) {
            auto* u = static_cast<SessionH*>(target);
            *static_cast<const char**>(attributep) = u->user.c_str();
            if (sizep) *sizep = static_cast<ub4>(u->user.size());
            return SUCCESS;
        }
        Fail(ora::IllegalAttribute);
    });
}

// --- server and session ---------------------------------------------------------

OCI_EXPORT sword OCIServerAttach(void* srvhp, void* errhp, const text* dblink, sb4 dblink_len, ub4) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    auto* server = As<ServerH>(srvhp, HTYPE_SERVER);
    auto* err = As<ErrorH>(errhp, HTYPE_ERROR);
    if (!server || !err) return INVALID_HANDLE;
    return WithErrors(err, [&]() -> sword {
        if (server->attached) Fail(ora::AlreadyConnected);
        const std::string connect = dblink_len > 0 ? TextArg(dblink, static_cast<ub4>(dblink_len)) : "";
        AttachServer(*server, connect, kVersion);
        return SUCCESS;
    });
}

OCI_EXPORT sword OCIServerDetach(void* srvhp, void* errhp, ub4) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    auto* server = As<ServerH>(srvhp, HTYPE_SERVER);
    auto* err = As<ErrorH>(errhp, HTYPE_ERROR);
    if (!server || !err) return INVALID_HANDLE;
    return WithErrors(err, [&]() -> sword {
        if (!server->attached) Fail(ora::ServiceNotInitialized);
        // Sessions still open on it end without a commit.
        for (Handle* h : server->env->owned) {
            if (h && h->type == HTYPE_SESSION) {
                auto* u = static_cast<SessionH*>(h);
                if (u->server == server && u->session) {
                    u->session->Rollback();
                    u->session.reset();
                }
            }
        }
        server->attached = false;
        return SUCCESS;
    });
}

OCI_EXPORT sword OCISessionBegin(void* svchp, void* errhp, void* usrhp, ub4 credt, ub4 mode) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    auto* svc = As<SvcH>(svchp, HTYPE_SVCCTX);
    auto* err = As<ErrorH>(errhp, HTYPE_ERROR);
    auto* u = As<SessionH>(usrhp, HTYPE_SESSION);
    if (!svc || !err || !u) return INVALID_HANDLE;
    return WithErrors(err, [&]() -> sword {
        BeginSession(svc, u, credt, mode);
        return SUCCESS;
    });
}

OCI_EXPORT sword OCISessionEnd(void* svchp, void* errhp, void* usrhp, ub4) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    auto* svc = As<SvcH>(svchp, HTYPE_SVCCTX);
    auto* err = As<ErrorH>(errhp, HTYPE_ERROR);
    if (!svc || !err || (usrhp && !As<SessionH>(usrhp, HTYPE_SESSION))) return INVALID_HANDLE;
    return WithErrors(err, [&]() -> sword {
        EndSession(svc, usrhp ? As<SessionH>(usrhp, HTYPE_SESSION) : LiveSession(svc));
        return SUCCESS;
    });
}

OCI_EXPORT sword OCILogon(void* envhp, void* errhp, void** svchpp, const text* user, ub4 ulen, const text* pwd,
                          ub4 plen, const text* dbname, ub4 dlen) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    auto* env = As<EnvH>(envhp, HTYPE_ENV);
    auto* err = As<ErrorH>(errhp, HTYPE_ERROR);
    if (!env || !err || !svchpp) return INVALID_HANDLE;
    return WithErrors(err, [&]() -> sword {
        auto* svc = Make<SvcH>(env, HTYPE_SVCCTX);
        auto* server = Make<ServerH>(env, HTYPE_SERVER);
        auto* u = Make<SessionH>(env, HTYPE_SESSION);
        svc->server = server;
        u->user = TextArg(user, ulen);
        u->password = TextArg(pwd, plen);
        try {
            AttachServer(*server, TextArg(dbname, dlen), kVersion);
            BeginSession(svc, u, CRED_RDBMS, DEFAULT);
        } catch (...) {
            Free(u);
            Free(server);
            Free(svc);
            throw;
        }
        *svchpp = svc;
        return SUCCESS;
    });
}

OCI_EXPORT sword OCILogoff(void* svchp, void* errhp) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    auto* svc = As<SvcH>(svchp, HTYPE_SVCCTX);
    auto* err = As<ErrorH>(errhp, HTYPE_ERROR);
    if (!svc || !err) return INVALID_HANDLE;
    return WithErrors(err, [&]() -> sword {
        SessionH* u = LiveSession(svc);
        ServerH* server = LiveServer(svc);
        if (u && u->session) EndSession(svc, u);
        Free(u);
        Free(server);
        Free(svc);
        return SUCCESS;
    });
}

OCI_EXPORT sword OCITransCommit(void* svchp, void* errhp, ub4) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    auto* svc = As<SvcH>(svchp, HTYPE_SVCCTX);
    auto* err = As<ErrorH>(errhp, HTYPE_ERROR);
    if (!svc || !err) return INVALID_HANDLE;
    return WithErrors(err, [&]() -> sword {
        SessionOf(svc).Commit();
        return SUCCESS;
    });
}

OCI_EXPORT sword OCITransRollback(void* svchp, void* errhp, ub4) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    auto* svc = As<SvcH>(svchp, HTYPE_SVCCTX);
    auto* err = As<ErrorH>(errhp, HTYPE_ERROR);
    if (!svc || !err) return INVALID_HANDLE;
    return WithErrors(err, [&]() -> sword {
        SessionOf(svc).Rollback();
        return SUCCESS;
    });
}

// --- statements -------------------------------------------------------------------

OCI_EXPORT sword OCIStmtPrepare(void* stmtp, void* errhp, const text* stmt, ub4 stmt_len, ub4, ub4) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    auto* s = As<StmtH>(stmtp, HTYPE_STMT);
    auto* err = As<ErrorH>(errhp, HTYPE_ERROR);
    if (!s || !err || !stmt) return INVALID_HANDLE;
    return WithErrors(err, [&] { return Prepare(s, stmt, stmt_len); });
}

OCI_EXPORT sword OCIStmtPrepare2(void* svchp, void** stmtpp, void* errhp, const text* stmt, ub4 stmt_len, const text*,
                                 ub4, ub4, ub4) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    auto* svc = As<SvcH>(svchp, HTYPE_SVCCTX);
    auto* err = As<ErrorH>(errhp, HTYPE_ERROR);
    if (!svc || !err || !stmtpp || !stmt) return INVALID_HANDLE;
    return WithErrors(err, [&]() -> sword {
        auto* s = Make<StmtH>(svc->env, HTYPE_STMT);
        *stmtpp = s;
        return Prepare(s, stmt, stmt_len);
    });
}

OCI_EXPORT sword OCIStmtRelease(void* stmtp, void* errhp, const text*, ub4, ub4) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    auto* s = As<StmtH>(stmtp, HTYPE_STMT);
    auto* err = As<ErrorH>(errhp, HTYPE_ERROR);
    if (!s || !err) return INVALID_HANDLE;
    Free(s);
    return SUCCESS;
}

OCI_EXPORT sword OCIBindByName(void* stmtp, void** bindpp, void* errhp, const text* placeholder, sb4 placeh_len,
                               void* valuep, sb4 value_sz, ub2 dty, void* indp, ub2* alenp, ub2*, ub4, ub4*, ub4) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    auto* s = As<StmtH>(stmtp, HTYPE_STMT);
    auto* err = As<ErrorH>(errhp, HTYPE_ERROR);
    if (!s || !err || !bindpp || !placeholder) return INVALID_HANDLE;
    return WithErrors(err, [&]() -> sword {
        std::string name = TextArg(placeholder, placeh_len > 0 ? static_cast<ub4>(placeh_len) : 0);
        if (!name.empty() && name.front() == ':') name.erase(0, 1);
        name = name.size() > 1 && name.front() == '"' ? name.substr(1, name.size() - 2) : UpperName(name);
        bool known = false;
        for (const auto& n : s->bindNames) known = known || n == name;
        if (!known) Fail(ora::IllegalVariable);
        BindH*& b = s->binds[name];
        if (!b) {
            b = new BindH(HTYPE_BIND, s->env);
            Register(b);
        }
        b->name = name;
        b->value = valuep;
        b->size = value_sz;
        b->dty = dty;
        b->indicator = static_cast<sb2*>(indp);
        b->length = alenp;
        *bindpp = b;
        return SUCCESS;
    });
}

OCI_EXPORT sword OCIBindByPos(void* stmtp, void** bindpp, void* errhp, ub4 position, void* valuep, sb4 value_sz,
                              ub2 dty, void* indp, ub2* alenp, ub2* rcodep, ub4 maxarr, ub4* curelep, ub4 mode) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    auto* s = As<StmtH>(stmtp, HTYPE_STMT);
    auto* err = As<ErrorH>(errhp, HTYPE_ERROR);
    if (!s || !err) return INVALID_HANDLE;
    if (position == 0 || position > s->bindNames.size())
        return WithErrors(err, []() -> sword { Fail(ora::IllegalVariable); });
    const std::string name = ":\"" + s->bindNames[position - 1] + "\"";
    return OCIBindByName(stmtp, bindpp, errhp, reinterpret_cast<const text*>(name.c_str()),
                         static_cast<sb4>(name.size()), valuep, value_sz, dty, indp, alenp, rcodep, maxarr, curelep,
                         mode);
}

OCI_EXPORT sword OCIDefineByPos(void* stmtp, void** defnpp, void* errhp, ub4 position, void* valuep, sb4 value_sz,
                                ub2 dty, void* indp, ub2* rlenp, ub2* rcodep, ub4) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    auto* s = As<StmtH>(stmtp, HTYPE_STMT);
    auto* err = As<ErrorH>(errhp, HTYPE_ERROR);
    if (!s || !err || !defnpp) return INVALID_HANDLE;
    return WithErrors(err, [&]() -> sword {
        if (position == 0) Fail(ora::NotInSelectList);
        if (!valuep || value_sz < 0) Fail(ora::MissingParameter);
        DefineH*& d = s->defines[position];
        if (!d) {
            d = new DefineH(HTYPE_DEFINE, s->env);
            Register(d);
        }
        d->position = position;
        d->buffer = valuep;
        d->size = value_sz;
        d->dty = dty;
        d->indicator = static_cast<sb2*>(indp);
        d->length = rlenp;
        d->code = rcodep;
        *defnpp = d;
        return SUCCESS;
    });
}

OCI_EXPORT sword OCIStmtExecute(void* svchp, void* stmtp, void* errhp, ub4 iters, ub4 rowoff, const void*, void*,
                                ub4 mode) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    auto* svc = As<SvcH>(svchp, HTYPE_SVCCTX);
    auto* s = As<StmtH>(stmtp, HTYPE_STMT);
    auto* err = As<ErrorH>(errhp, HTYPE_ERROR);
    if (!svc || !s || !err) return INVALID_HANDLE;
    return WithErrors(err, [&]() -> sword {
        Cursor& cursor = CursorFor(s, svc);
        for (ParamH* p : s->params) Free(p);
        s->params.clear();
        if (mode & DESCRIBE_ONLY) {
            cursor.Describe();
            s->executed = false;
            return SUCCESS;
        }
        s->executed = false;
        s->rowCount = 0;
        sword result = SUCCESS;
        if (s->kind == StatementKind::Select) {
            cursor.Execute(BoundValues(s, 0));
            s->executed = true;
            if (iters > 0) result = Fetch(s, err, iters);
        } else {
            if (iters == 0) Fail(ora::ZeroIterations);
            int64_t rows = 0;
            for (ub4 r = rowoff; r < rowoff + iters; ++r) {
                cursor.Execute(BoundValues(s, r));
                rows += cursor.rowsAffected();
            }
            s->rowCount = static_cast<ub4>(rows);
            s->executed = true;
        }
        if (mode & COMMIT_ON_SUCCESS) SessionOf(svc).Commit();
        return result;
    });
}

OCI_EXPORT sword OCIStmtFetch(void* stmtp, void* errhp, ub4 nrows, ub2 orientation, ub4) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    auto* s = As<StmtH>(stmtp, HTYPE_STMT);
    auto* err = As<ErrorH>(errhp, HTYPE_ERROR);
    if (!s || !err) return INVALID_HANDLE;
    return WithErrors(err, [&]() -> sword {
        if (orientation != FETCH_NEXT && orientation != DEFAULT) Fail(ora::InvalidFetch);
        return Fetch(s, err, nrows);
    });
}

OCI_EXPORT sword OCIStmtFetch2(void* stmtp, void* errhp, ub4 nrows, ub2 orientation, sb4, ub4 mode) {
    return OCIStmtFetch(stmtp, errhp, nrows, orientation, mode);
}

OCI_EXPORT sword OCIParamGet(const void* hndlp, ub4 htype, void* errhp, void** parmdpp, ub4 pos) {
    std::lock_guard<std::recursive_mutex> g(Lock());
    auto* s = As<StmtH>(hndlp, HTYPE_STMT);
    auto* err = As<ErrorH>(errhp, HTYPE_ERROR);
    if (!s || !err || !parmdpp || htype != HTYPE_STMT) return INVALID_HANDLE;
    return WithErrors(err, [&]() -> sword {
        if (!s->cursor) Fail(ora::NotExecuted);
        const auto& columns = s->cursor->columns();
        if (pos == 0 || pos > columns.size()) Fail(ora::NoDescriptor);
        auto* p = new ParamH(DTYPE_PARAM, s->env);
        p->column = columns[pos - 1];
        Register(p);
        s->params.push_back(p);
        *parmdpp = p;
        return SUCCESS;
    });
}

OCI_EXPORT void OCIClientVersion(int* major, int* minor, int* update, int* patch, int* port) {
    if (major) *major = kVersion / 10000;
    if (minor) *minor = kVersion / 100 % 100;
    if (update) *update = kVersion % 100;
    if (patch) *patch = 0;
    if (port) *port = 0;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        SetClientGeneration(kVersion < 90000 ? ClientGeneration::Oracle8 : ClientGeneration::Current);
    return TRUE;
}

// The stand-in's handles. Every handle a client holds is registered when it is
// made and checked against the register (and its type) before it is used, so
// a client that passes a freed, foreign or wrong-type handle gets
// OCI_INVALID_HANDLE, never a crash.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine.h"
#include "oci_defs.h"
#include "site.h"

namespace oradb::oci {

struct EnvH;

struct Handle {
    explicit Handle(ub4 t, EnvH* e) : type(t), env(e) {}
    virtual ~Handle() = default;
    ub4 type;
    EnvH* env;
    std::unique_ptr<char[]> userMemory;  // the xtramem of OCIHandleAlloc
};

// The diagnostics of the latest failed call, on error and environment handles.
struct Diagnostics {
    sb4 code = 0;
    std::string message;
    void Clear() { code = 0, message.clear(); }
};

struct EnvH : Handle {
    EnvH() : Handle(HTYPE_ENV, this) {}
    Diagnostics diag;
    std::vector<Handle*> owned;  // every handle allocated from it
};

struct ErrorH : Handle {
    using Handle::Handle;
    Diagnostics diag;
};

struct ServerH : Handle {
    using Handle::Handle;
    bool attached = false;
    std::string dir;      // the database directory, in the ANSI code page
    std::string dirUtf8;  // the same for SQLite
    DatabaseConfig config;
};

struct SessionH : Handle {
    using Handle::Handle;
    std::string user, password;
    std::shared_ptr<Session> session;  // while begun
    ServerH* server = nullptr;
};

struct SvcH : Handle {
    using Handle::Handle;
    ServerH* server = nullptr;
    SessionH* session = nullptr;
};

struct StmtH;

struct BindH : Handle {
    using Handle::Handle;
    std::string name;
    void* value = nullptr;
    sb4 size = 0;
    ub2 dty = 0;
    sb2* indicator = nullptr;
    ub2* length = nullptr;
};

struct DefineH : Handle {
    using Handle::Handle;
    ub4 position = 0;
    void* buffer = nullptr;
    sb4 size = 0;
    ub2 dty = 0;
    sb2* indicator = nullptr;
    ub2* length = nullptr;
    ub2* code = nullptr;
};

struct ParamH : Handle {
    using Handle::Handle;
    Column column;
};

struct StmtH : Handle {
    using Handle::Handle;
    std::string sql;
    StatementKind kind = StatementKind::Other;
    std::vector<std::string> bindNames;  // as the statement names them
    std::shared_ptr<Session> session;    // the session its cursor runs on
    std::unique_ptr<Cursor> cursor;
    bool executed = false;
    ub4 rowCount = 0;
    std::map<std::string, BindH*> binds;
    std::map<ub4, DefineH*> defines;
    std::vector<ParamH*> params;
};

// Any other handle type a client may allocate (describe, transaction).
struct PlainH : Handle {
    using Handle::Handle;
};

// The register of live handles.
void Register(Handle* h);
void Unregister(Handle* h);
// The live handle at `p` if it has type `type` (for DTYPE_PARAM also
// HTYPE_DESCRIBE), else null.
Handle* Find(const void* p, ub4 type);
Handle* FindAny(const void* p);

template <class T>
T* As(const void* p, ub4 type) {
    return static_cast<T*>(Find(p, type));
}

}  // namespace oradb::oci

// A client of the Oracle Call Interface for the tests: loads an oci.dll by
// path, resolves its entry points by name as Kestrel's client layer does, and
// wraps the usual call sequences. Also sets up the stand-in's test database.
#pragma once

#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "oracle/oci_api.h"

namespace kxtest {

namespace oci = kx::oci;

// The stand-in's database for the tests: C:\KXT\ORADB\KXDB with accounts
// SCOTT/tiger, SYS (SYSDBA), SYSTEM, LOCKED (locked); two more databases
// whose endpoints refuse (REFUSING) or never answer (SILENT); and a
// tnsnames.ora in C:\KXT\ORADB\ADMIN (named by TNS_ADMIN) with the aliases KX,
// KX_REFUSED, KX_SILENT and KX_NOSERVICE.
void MakeTestDatabases();
const char* const kOradbRoot = "C:\\KXT\\ORADB";

// One loaded stand-in, by its emulated version ("8.0.5", "8.1.7", "19.3").
class OciLibrary {
public:
    // The stand-in of `version` as built, or the copy at `path`.
    explicit OciLibrary(const std::string& version, const std::string& path = "");
    ~OciLibrary();
    OciLibrary(const OciLibrary&) = delete;
    OciLibrary& operator=(const OciLibrary&) = delete;

    bool Has(const char* name) const { return GetProcAddress(module_, name) != nullptr; }
    template <class F>
    F Get(const char* name) const {
        auto f = reinterpret_cast<F>(GetProcAddress(module_, name));
        if (!f) throw std::runtime_error(std::string("no ") + name + " in oci.dll " + version_);
        return f;
    }
    const std::string& version() const { return version_; }
    const std::string& path() const { return path_; }

private:
    std::string version_, path_;
    HMODULE module_ = nullptr;
};

// An environment with its error handle, made the way the version allows.
class OciEnv {
public:
    explicit OciEnv(const OciLibrary& lib);
    ~OciEnv();
    OciEnv(const OciEnv&) = delete;
    OciEnv& operator=(const OciEnv&) = delete;

    const OciLibrary& lib() const { return lib_; }
    void* env() const { return env_; }
    void* err() const { return err_; }
    void* Alloc(oci::ub4 type) const;
    // The error handle's record: "ORA-nnnnn: ...\n" and its number.
    std::string ErrorText(oci::sb4* code = nullptr) const;

private:
    const OciLibrary& lib_;
    void* env_ = nullptr;
    void* err_ = nullptr;
};

// A logged-on session: server, service context and session handles.
class OciSession {
public:
    // Logs on; check ok() and status() for the outcome.
    OciSession(const OciEnv& env, const std::string& connect, const std::string& user, const std::string& password,
               oci::ub4 mode = oci::kDefault);
    ~OciSession();
    OciSession(const OciSession&) = delete;
    OciSession& operator=(const OciSession&) = delete;

    bool ok() const { return status_ == oci::kSuccess; }
    oci::sword status() const { return status_; }
    const std::string& error() const { return error_; }
    void* svc() const { return svc_; }
    // Ends the session (which commits) and detaches.
    void End();
    // Leaves the session unended: the destructor only frees the handles, as
    // a client that goes away without logging off.
    void Abandon() { begun_ = attached_ = false; }

    // Runs one statement (iters 1, or 0 for a query) and returns the status.
    oci::sword Exec(const std::string& sql, oci::ub4 mode = oci::kDefault);
    // The first column of every row, as text ("<null>" for NULL); throws with
    // the Oracle text on failure.
    std::vector<std::string> Column(const std::string& sql);
    std::string One(const std::string& sql);
    oci::sword Commit();

private:
    const OciEnv& env_;
    void *server_ = nullptr, *svc_ = nullptr, *session_ = nullptr;
    oci::sword status_ = oci::kError;
    std::string error_;
    bool begun_ = false, attached_ = false;
};

// A statement handle, freed with its owner.
class OciStmt {
public:
    OciStmt(const OciEnv& env, const std::string& sql);
    ~OciStmt();
    OciStmt(const OciStmt&) = delete;
    OciStmt& operator=(const OciStmt&) = delete;
    void* get() const { return stmt_; }

private:
    const OciEnv& env_;
    void* stmt_ = nullptr;
};

}  // namespace kxtest

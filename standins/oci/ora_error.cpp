#include "ora_error.h"

#include <cstdio>

namespace oradb {
namespace {

ClientGeneration& Generation() {
    static ClientGeneration g = ClientGeneration::Current;
    return g;
}

// The message of `code` without its "ORA-nnnnn: " and line feed; %s stands
// for the detail.
const char* Text(int code) {
    switch (code) {
    case ora::UniqueViolated: return "unique constraint (%s) violated";
    case ora::ResourceBusy: return "resource busy and acquire with NOWAIT specified or timeout expired";
    case ora::InvalidSql: return "invalid SQL statement";
    case ora::InvalidIdentifier: return "%s: invalid identifier";
    case ora::InvalidNumberOfArguments: return "invalid number of arguments";
    case ora::InvalidCharacter: return "invalid character";
    case ora::NotProperlyEnded: return "SQL command not properly ended";
    case ora::MissingExpression: return "missing expression";
    case ora::TableNotFound: return "table or view does not exist";
    case ora::NameInUse: return "name is already used by an existing object";
    case ora::NullPassword: return "null password given; logon denied";
    case ora::NotAllBound: return "not all variables bound";
    case ora::NotInSelectList: return "variable not in select list";
    case ora::InvalidLogon: return "invalid username/password; logon denied";
    case ora::InsufficientPrivileges: return "insufficient privileges";
    case ora::IllegalVariable: return "illegal variable name/number";
    case ora::CannotInsertNull: return "cannot insert NULL into (%s)";
    case ora::NoDataFound: return "no data found";
    case ora::FetchedNull: return "fetched column value is NULL";
    case ora::Truncated: return "fetched column value was truncated";
    case ora::CannotUpdateToNull: return "cannot update (%s) to NULL";
    case ora::InvalidNumber: return "invalid number";
    case ora::LiteralMismatch: return "literal does not match format string";
    case ora::NotConnected: return "not connected to ORACLE";
    case ora::MissingParameter: return "missing mandatory parameter";
    case ora::NotLoggedOn: return "not logged on";
    case ora::AlreadyConnected: return "already connected to a server";
    case ora::AlreadyAuthenticated: return "user already authenticated";
    case ora::IllegalAttribute: return "illegal attribute type";
    case ora::ServiceNotInitialized: return "service handle not initialized";
    case ora::NotPrepared: return "statement handle not prepared";
    case ora::NotExecuted: return "statement handle not executed";
    case ora::InvalidFetch: return "invalid fetch operation";
    case ora::UnterminatedString: return "quoted string not properly terminated";
    case ora::MissingDoubleQuote: return "missing double quote in identifier";
    case ora::NotADate: return "not a valid month";
    case ora::InconsistentTypes: return "inconsistent datatypes: %s";
    case ora::ZeroIterations: return "iteration count is zero";
    case ora::NoDescriptor: return "no descriptor for this position";
    case ora::AccountLocked: return "the account is locked";
    case ora::Internal: return "internal error code, arguments: [%s]";
    case ora::ServiceUnknown:
        return "TNS:listener does not currently know of service requested in connect descriptor";
    case ora::CannotResolve:
        return Generation() == ClientGeneration::Oracle8 ? "TNS:could not resolve service name"
                                                         : "TNS:could not resolve the connect identifier specified";
    case ora::ConnectTimeout: return "TNS:Connect timeout occurred";
    case ora::OperationTimedOut: return "TNS:operation timed out";
    case ora::NoListener: return "TNS:no listener";
    case ora::ProtocolAdapter: return "TNS:protocol adapter error";
    case ora::NoServiceName: return "TNS:listener was not given the SERVICE_NAME in CONNECT_DATA";
    default: return "message %s not found";
    }
}

}  // namespace

OraError::OraError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}

std::string OraMessage(int code, const std::string& detail) {
    std::string body = Text(code);
    const size_t at = body.find("%s");
    if (at != std::string::npos) body.replace(at, 2, detail);
    char head[16];
    std::snprintf(head, sizeof head, "ORA-%05d: ", code);
    return head + body + "\n";
}

void Fail(int code, const std::string& detail) { throw OraError(code, OraMessage(code, detail)); }

void SetClientGeneration(ClientGeneration g) { Generation() = g; }

}  // namespace oradb

// Oracle errors as the database and the client report them: a number and the
// message "ORA-nnnnn: text" ending with a line feed.
#pragma once

#include <stdexcept>
#include <string>

namespace oradb {

class OraError : public std::runtime_error {
public:
    OraError(int code, const std::string& message);
    int code() const { return code_; }

private:
    int code_;
};

// The message of a standard error: "ORA-01017: invalid username/password;
// logon denied\n". `detail` fills the errors whose text names something
// ("COL" of ORA-00904, the column of ORA-01400).
std::string OraMessage(int code, const std::string& detail = "");

// Throws the standard error `code`.
[[noreturn]] void Fail(int code, const std::string& detail = "");

// Error numbers the stand-in raises, by name.
namespace ora {
constexpr int UniqueViolated = 1;
constexpr int ResourceBusy = 54;
constexpr int InvalidSql = 900;
constexpr int InvalidIdentifier = 904;
constexpr int InvalidNumberOfArguments = 909;
constexpr int InvalidCharacter = 911;
constexpr int NotProperlyEnded = 933;
constexpr int MissingExpression = 936;
constexpr int TableNotFound = 942;
constexpr int NameInUse = 955;
constexpr int NullPassword = 1005;
constexpr int NotAllBound = 1008;
constexpr int NotInSelectList = 1007;
constexpr int InvalidLogon = 1017;
constexpr int InsufficientPrivileges = 1031;
constexpr int IllegalVariable = 1036;
constexpr int CannotInsertNull = 1400;
constexpr int NoDataFound = 1403;
constexpr int FetchedNull = 1405;
constexpr int Truncated = 1406;
constexpr int CannotUpdateToNull = 1407;
constexpr int InvalidNumber = 1722;
constexpr int LiteralMismatch = 1861;
constexpr int NotConnected = 3114;
constexpr int UnterminatedString = 1756;
constexpr int MissingDoubleQuote = 1740;
constexpr int NotADate = 1843;
constexpr int InconsistentTypes = 932;
constexpr int ZeroIterations = 24333;
constexpr int NoDescriptor = 24334;
constexpr int AccountLocked = 28000;
constexpr int Internal = 600;
constexpr int ServiceUnknown = 12514;
constexpr int CannotResolve = 12154;
constexpr int ConnectTimeout = 12170;
constexpr int OperationTimedOut = 12535;
constexpr int NoListener = 12541;
constexpr int ProtocolAdapter = 12560;
constexpr int NoServiceName = 12504;
constexpr int MissingParameter = 1009;
constexpr int NotLoggedOn = 1012;
constexpr int AlreadyConnected = 24309;
constexpr int AlreadyAuthenticated = 24313;
constexpr int IllegalAttribute = 24315;
constexpr int ServiceNotInitialized = 24324;
constexpr int NotPrepared = 24337;
constexpr int NotExecuted = 24338;
constexpr int InvalidFetch = 24391;
}  // namespace ora

// The texts that older clients word differently.
enum class ClientGeneration { Oracle8, Current };
void SetClientGeneration(ClientGeneration g);

}  // namespace oradb

// Attaching a server handle to the database a connect string names.
#pragma once

#include <string>

#include "oci_handles.h"

namespace oradb::oci {

// Resolves `connect` and reaches the database's endpoint; throws OraError
// (ORA-12154, ORA-12514, ORA-12541, ORA-12170 or ORA-12535, ORA-12560 ...).
// `version` is the emulated client's, as 80005 for 8.0.5.
void AttachServer(ServerH& server, const std::string& connect, int version);

}  // namespace oradb::oci

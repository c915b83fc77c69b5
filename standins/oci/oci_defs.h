// The stand-in's own declarations of the Oracle Call Interface: the integer
// types, return codes, handle types, attributes, modes and external data types
// of the calls it implements, with the numbers the client library uses.
#pragma once

#include <cstdint>

namespace oradb::oci {

using ub1 = uint8_t;
using sb1 = int8_t;
using ub2 = uint16_t;
using sb2 = int16_t;
using ub4 = uint32_t;
using sb4 = int32_t;
using sword = int;
using text = unsigned char;

// Return codes.
constexpr sword SUCCESS = 0;
constexpr sword SUCCESS_WITH_INFO = 1;
constexpr sword NEED_DATA = 99;
constexpr sword NO_DATA = 100;
constexpr sword ERROR = -1;
constexpr sword INVALID_HANDLE = -2;

// Modes.
constexpr ub4 DEFAULT = 0;
constexpr ub4 THREADED = 1;
constexpr ub4 OBJECT = 2;

// Credentials and logon modes.
constexpr ub4 CRED_RDBMS = 1;
constexpr ub4 CRED_EXT = 2;
constexpr ub4 SYSDBA = 2;
constexpr ub4 SYSOPER = 4;
constexpr ub4 NTV_SYNTAX = 1;

// Handle and descriptor types.
constexpr ub4 HTYPE_ENV = 1;
constexpr ub4 HTYPE_ERROR = 2;
constexpr ub4 HTYPE_SVCCTX = 3;
constexpr ub4 HTYPE_STMT = 4;
constexpr ub4 HTYPE_BIND = 5;
constexpr ub4 HTYPE_DEFINE = 6;
constexpr ub4 HTYPE_DESCRIBE = 7;
constexpr ub4 HTYPE_SERVER = 8;
constexpr ub4 HTYPE_SESSION = 9;
constexpr ub4 HTYPE_TRANS = 10;
constexpr ub4 DTYPE_PARAM = 53;

// Attributes. The numbers repeat across handle types: 6 is SERVER on a
// service context and SCALE on a parameter.
constexpr ub4 ATTR_DATA_SIZE = 1;
constexpr ub4 ATTR_DATA_TYPE = 2;
constexpr ub4 ATTR_NAME = 4;
constexpr ub4 ATTR_PRECISION = 5;
constexpr ub4 ATTR_SCALE = 6;
constexpr ub4 ATTR_IS_NULL = 7;
constexpr ub4 ATTR_SERVER = 6;
constexpr ub4 ATTR_SESSION = 7;
constexpr ub4 ATTR_TRANS = 8;
constexpr ub4 ATTR_ROW_COUNT = 9;
constexpr ub4 ATTR_PARAM_COUNT = 18;
constexpr ub4 ATTR_USERNAME = 22;
constexpr ub4 ATTR_PASSWORD = 23;
constexpr ub4 ATTR_STMT_TYPE = 24;

// Statement types.
constexpr ub2 STMT_SELECT = 1;
constexpr ub2 STMT_UPDATE = 2;
constexpr ub2 STMT_DELETE = 3;
constexpr ub2 STMT_INSERT = 4;
constexpr ub2 STMT_CREATE = 5;
constexpr ub2 STMT_DROP = 6;
constexpr ub2 STMT_ALTER = 7;
constexpr ub2 STMT_BEGIN = 8;
constexpr ub2 STMT_DECLARE = 9;

// Execute and fetch.
constexpr ub4 DESCRIBE_ONLY = 0x10;
constexpr ub4 COMMIT_ON_SUCCESS = 0x20;
constexpr ub2 FETCH_NEXT = 2;

// External data types.
constexpr ub2 SQLT_CHR = 1;
constexpr ub2 SQLT_NUM = 2;
constexpr ub2 SQLT_INT = 3;
constexpr ub2 SQLT_FLT = 4;
constexpr ub2 SQLT_STR = 5;
constexpr ub2 SQLT_VNU = 6;
constexpr ub2 SQLT_LNG = 8;
constexpr ub2 SQLT_VCS = 9;
constexpr ub2 SQLT_DAT = 12;
constexpr ub2 SQLT_BIN = 23;
constexpr ub2 SQLT_AFC = 96;
constexpr ub2 SQLT_AVC = 97;
constexpr ub2 SQLT_CLOB = 112;
constexpr ub2 SQLT_BLOB = 113;
constexpr ub2 SQLT_ODT = 156;
constexpr ub2 SQLT_TIMESTAMP = 187;

}  // namespace oradb::oci

// Kestrel's own declarations of the Oracle Call Interface: the integer types,
// constants and entry points that the Oracle client layer uses, written from
// the client's public documentation. oci.dll exports plain names with the
// cdecl convention on 32-bit Windows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kx::oci {

using ub1 = uint8_t;
using sb1 = int8_t;
using ub2 = uint16_t;
using sb2 = int16_t;
using ub4 = uint32_t;
using sb4 = int32_t;
using sword = int;
using OraText = unsigned char;

// Return codes.
inline constexpr sword kSuccess = 0;
inline constexpr sword kSuccessWithInfo = 1;
inline constexpr sword kNeedData = 99;
inline constexpr sword kNoData = 100;
inline constexpr sword kError = -1;
inline constexpr sword kInvalidHandle = -2;

// Modes.
inline constexpr ub4 kDefault = 0;
inline constexpr ub4 kThreaded = 1;
inline constexpr ub4 kObject = 2;

// Credentials and logon modes.
inline constexpr ub4 kCredRdbms = 1;
inline constexpr ub4 kCredExt = 2;
inline constexpr ub4 kSysDba = 2;
inline constexpr ub4 kSysOper = 4;
inline constexpr ub4 kNtvSyntax = 1;

// Handle and descriptor types.
inline constexpr ub4 kHtypeEnv = 1;
inline constexpr ub4 kHtypeError = 2;
inline constexpr ub4 kHtypeSvcCtx = 3;
inline constexpr ub4 kHtypeStmt = 4;
inline constexpr ub4 kHtypeBind = 5;
inline constexpr ub4 kHtypeDefine = 6;
inline constexpr ub4 kHtypeDescribe = 7;
inline constexpr ub4 kHtypeServer = 8;
inline constexpr ub4 kHtypeSession = 9;
inline constexpr ub4 kHtypeTrans = 10;
inline constexpr ub4 kDtypeParam = 53;

// Attributes; the numbers repeat across handle types.
inline constexpr ub4 kAttrDataSize = 1;    // parameter
inline constexpr ub4 kAttrDataType = 2;    // parameter
inline constexpr ub4 kAttrName = 4;        // parameter
inline constexpr ub4 kAttrPrecision = 5;   // parameter
inline constexpr ub4 kAttrScale = 6;       // parameter
inline constexpr ub4 kAttrIsNull = 7;      // parameter
inline constexpr ub4 kAttrServer = 6;      // service context
inline constexpr ub4 kAttrSession = 7;     // service context
inline constexpr ub4 kAttrTrans = 8;       // service context
inline constexpr ub4 kAttrRowCount = 9;    // statement
inline constexpr ub4 kAttrParamCount = 18; // statement
inline constexpr ub4 kAttrUsername = 22;   // session
inline constexpr ub4 kAttrPassword = 23;   // session
inline constexpr ub4 kAttrStmtType = 24;   // statement

// Statement types.
inline constexpr ub2 kStmtSelect = 1;
inline constexpr ub2 kStmtUpdate = 2;
inline constexpr ub2 kStmtDelete = 3;
inline constexpr ub2 kStmtInsert = 4;
inline constexpr ub2 kStmtCreate = 5;
inline constexpr ub2 kStmtDrop = 6;
inline constexpr ub2 kStmtAlter = 7;
inline constexpr ub2 kStmtBegin = 8;
inline constexpr ub2 kStmtDeclare = 9;

// Execute and fetch.
inline constexpr ub4 kDescribeOnly = 0x10;
inline constexpr ub4 kCommitOnSuccess = 0x20;
inline constexpr ub2 kFetchNext = 2;

// External data types.
inline constexpr ub2 kSqltChr = 1;
inline constexpr ub2 kSqltNum = 2;
inline constexpr ub2 kSqltInt = 3;
inline constexpr ub2 kSqltFlt = 4;
inline constexpr ub2 kSqltStr = 5;
inline constexpr ub2 kSqltVnu = 6;
inline constexpr ub2 kSqltLng = 8;
inline constexpr ub2 kSqltVcs = 9;
inline constexpr ub2 kSqltDat = 12;
inline constexpr ub2 kSqltBin = 23;
inline constexpr ub2 kSqltAfc = 96;
inline constexpr ub2 kSqltAvc = 97;
inline constexpr ub2 kSqltClob = 112;
inline constexpr ub2 kSqltBlob = 113;
inline constexpr ub2 kSqltOdt = 156;
inline constexpr ub2 kSqltTimestamp = 187;

// Entry points, as pointer types (the client layer resolves them by name).
extern "C" {
using OCIInitializeFn = sword(__cdecl*)(ub4 mode, void* ctx, void* malocfp, void* ralocfp, void* mfreefp);
using OCIEnvInitFn = sword(__cdecl*)(void** envp, ub4 mode, size_t xtramem, void** usrmemp);
using OCIEnvCreateFn = sword(__cdecl*)(void** envp, ub4 mode, void* ctx, void* malocfp, void* ralocfp, void* mfreefp,
                                       size_t xtramem, void** usrmemp);
using OCIHandleAllocFn = sword(__cdecl*)(const void* parent, void** handle, ub4 type, size_t xtramem, void** usrmemp);
using OCIHandleFreeFn = sword(__cdecl*)(void* handle, ub4 type);
using OCIDescriptorFreeFn = sword(__cdecl*)(void* descriptor, ub4 type);
using OCIErrorGetFn = sword(__cdecl*)(void* handle, ub4 record, OraText* sqlstate, sb4* code, OraText* buffer,
                                      ub4 size, ub4 type);
using OCIAttrSetFn = sword(__cdecl*)(void* target, ub4 targetType, void* value, ub4 size, ub4 attribute, void* err);
using OCIAttrGetFn = sword(__cdecl*)(const void* target, ub4 targetType, void* value, ub4* size, ub4 attribute,
                                     void* err);
using OCIServerAttachFn = sword(__cdecl*)(void* server, void* err, const OraText* link, sb4 length, ub4 mode);
using OCIServerDetachFn = sword(__cdecl*)(void* server, void* err, ub4 mode);
using OCISessionBeginFn = sword(__cdecl*)(void* svc, void* err, void* session, ub4 credentials, ub4 mode);
using OCISessionEndFn = sword(__cdecl*)(void* svc, void* err, void* session, ub4 mode);
using OCITransCommitFn = sword(__cdecl*)(void* svc, void* err, ub4 flags);
using OCITransRollbackFn = sword(__cdecl*)(void* svc, void* err, ub4 flags);
using OCIStmtPrepareFn = sword(__cdecl*)(void* stmt, void* err, const OraText* sql, ub4 length, ub4 language,
                                         ub4 mode);
using OCIStmtExecuteFn = sword(__cdecl*)(void* svc, void* stmt, void* err, ub4 iters, ub4 rowoff,
                                         const void* snapIn, void* snapOut, ub4 mode);
using OCIStmtFetchFn = sword(__cdecl*)(void* stmt, void* err, ub4 rows, ub2 orientation, ub4 mode);
using OCIParamGetFn = sword(__cdecl*)(const void* handle, ub4 type, void* err, void** param, ub4 position);
using OCIDefineByPosFn = sword(__cdecl*)(void* stmt, void** define, void* err, ub4 position, void* value, sb4 size,
                                         ub2 type, void* indicator, ub2* length, ub2* code, ub4 mode);
using OCIBindByNameFn = sword(__cdecl*)(void* stmt, void** bind, void* err, const OraText* name, sb4 nameLength,
                                        void* value, sb4 size, ub2 type, void* indicator, ub2* length, ub2* code,
                                        ub4 maxArray, ub4* current, ub4 mode);
using OCIClientVersionFn = void(__cdecl*)(int* major, int* minor, int* update, int* patch, int* portUpdate);
}

}  // namespace kx::oci

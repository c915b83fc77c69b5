// Telling the installed KX version of a program file: its CRC-32 looked up in
// a control file, completed with the installation suffix of the version
// subkey whose directory holds the file. Shared with the component lists.
#pragma once

#include <optional>
#include <string>

#include "frame/text.h"

namespace kx {

// How control-file lines are upper-cased before the checksum is sought.
enum class LineCase { AToZ, Locale };
// The Oracle build upper-cases control lines by the locale's rules.
inline constexpr LineCase kBuildLineCase = sizeof(Char) == 2 ? LineCase::Locale : LineCase::AToZ;

// The module checksum of a file: 8 hex digits, "00000000" when the file
// cannot be opened for reading and writing, cannot be read, or is empty.
// Clears the file's read-only attribute first.
Text ComputeModuleChecksum(const Text& file);

// The version text of `program` by `control`, or nothing for "Неизв.".
// Never throws.
std::optional<Text> LookupModuleVersion(const Text& program, const Text& control, LineCase lineCase);

Text AddInstallationSuffix(const Text& version, const Text& program);

// The short form of `path`, locale upper-cased, with a trailing "\"; empty
// for a path that does not exist.
Text NormalizeDirectory(const Text& path);

// The product's version records.
inline constexpr const Char* kOldProductKey = KX_T("SOFTWARE\\KX");
inline constexpr const Char* kVersionsKey = KX_T("SOFTWARE\\Velt\\KX");

}  // namespace kx

// File helpers shared by the host services: read-only attribute, streamed
// reading, whole text files and short path names, in the build's text.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

#include "frame/text.h"

namespace kx {

// Clears the read-only attribute of an existing file, keeping the others.
void ClearReadOnly(const Text& file);

// Reads an open file from its current position to its end in chunks; false
// when a read fails.
bool ReadChunks(HANDLE file, const std::function<void(const char*, size_t)>& each);

// The whole content of a file as bytes; throws when it cannot be opened or read.
std::string ReadFileBytes(const Text& file);

// The whole content of an ANSI text file in the build's text; throws when the
// file cannot be opened or read.
Text ReadTextFile(const Text& file);

// The system's short (8.3) form of a path; empty when it does not exist.
Text ShortPathName(const Text& path);

}  // namespace kx

// HKEY_LOCAL_MACHINE access shared by the registry exports and the product
// version records: keys opened with full access, no registry-view flag.
#pragma once

#include <optional>
#include <vector>

#include "frame/handles.h"
#include "frame/text.h"

namespace kx::hklm {

// A script's key path with its one allowed leading backslash dropped (the
// Win32 functions refuse it).
TextView KeyPath(TextView path);

// Opens a key below HKLM with full access; empty when it cannot be opened.
RegKey Open(TextView path);
// Opens or creates a key and its missing parents; empty when that fails.
RegKey Create(TextView path);

// Subkey names in the registry's enumeration order.
std::vector<Text> SubkeyNames(HKEY key);

// A text value; nothing when it is missing. A value of another type throws.
std::optional<Text> ReadText(HKEY key, const Text& name);

// Deletes `name` below `parent` depth first; a subkey that cannot be deleted
// stays, with the keys above it, and the walk goes on.
void DeleteTree(HKEY parent, const Text& name);

}  // namespace kx::hklm

// Directory listing in the build's text: every entry that matches a pattern,
// with the find handle released on every path.
#pragma once

#include "frame/handles.h"
#include "frame/sys.h"

namespace kx {

// "." and "..", which every listing but a root's holds.
inline bool IsDots(const Char* name) {
    return name[0] == Char('.') && (name[1] == 0 || (name[1] == Char('.') && name[2] == 0));
}

// Calls `each(data)` for every entry matching `pattern`, in the order the file
// system returns them; nothing when the pattern matches nothing or the
// directory cannot be listed.
template <class F>
void ForEachMatch(const Text& pattern, F&& each) {
    sys::FindData data{};
    FindHandle find(sys::FindFirst(pattern.c_str(), &data));
    if (!find) return;
    do each(data);
    while (sys::FindNext(find.get(), &data));
}

inline bool IsDirectory(const Text& path) {
    const DWORD a = sys::GetAttributes(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace kx

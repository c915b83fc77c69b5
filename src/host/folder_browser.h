// The shell's folder browser, opened on a start directory.
#pragma once

#include <windows.h>

#include "frame/text.h"

namespace kx {

// Shows the browser with `title` above its tree, owned by `owner` (or none),
// with the start directory selected. A start that is not an existing
// directory is told to the user when `tellMissing`, and the browser opens
// without it. Returns the chosen folder's full path; "" when the user
// cancels or a shell step fails.
Text BrowseForFolder(const Text& start, const Text& title, HWND owner, bool tellMissing);

}  // namespace kx

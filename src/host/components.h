// Installed components: display lines of the ZUL and gate installations that
// a list of files belongs to, and the search of every fixed disk for ZUL
// control files.
#pragma once

#include <vector>

#include "frame/text.h"

namespace kx {

enum class Component { Zul, Gate };

// The sorted display lines ("KX <version>  -  directory"), one per distinct
// line, joined with CR LF and without a line end after the last; "" for none.
Text InstallationList(Component kind, TextView listedFiles, const Text& control);

// Every "zul.ctl" on the fixed disks, depth first in each drive's tree.
// Directory links are not followed and no directory is walked twice, so the
// walk always ends.
std::vector<Text> FindZulControlFiles();

}  // namespace kx

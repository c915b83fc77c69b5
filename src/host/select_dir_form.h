// TfrmSelectDir, the installer's directory dialog: a path field, a directory
// list and a drive list. It checks the chosen path as an installation target
// (drive type, creation of a missing directory, write access) and talks to the
// user in Russian message boxes owned by the dialog.
#pragma once

#include "frame/text.h"

namespace kx {

// Remembers the start directory for the next dialog; it stays until the next
// call or until the library is unloaded.
void SetStartDirectory(const Text& start);

// Shows the dialog modally on the calling thread and returns the path field's
// text when it closed: "" after Cancel or Esc, the text unchecked after the
// title bar's close button.
Text ShowSelectDirDialog();

// Whether a probe file can be created in `path` ("temp.tmp", or with as many
// "_" in front as files of those names are there already). The probe is
// deleted again; existing files are never touched.
bool HasDirWriteAccess(const Text& path);

// Creates `dir` with every missing parent; true when it exists afterwards.
bool ForceDirectories(const Text& dir);

}  // namespace kx

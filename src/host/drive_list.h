// The dialog's drive list: one line per drive letter the system reports,
// "c: [LABEL]" for local disks with a volume label and "c:" otherwise. It
// starts on the drive of the process's current directory.
#pragma once

#include <windows.h>

#include <vector>

#include "frame/text.h"

namespace kx {

class DriveList {
public:
    explicit DriveList(HWND combo);

    // The upper-case letter of the chosen line; 0 when none is chosen.
    Char SelectedLetter() const;

private:
    HWND combo_;
    std::vector<Char> letters_;
};

}  // namespace kx

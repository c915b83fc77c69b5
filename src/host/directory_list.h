// The dialog's directory list: the chain of folders from the drive root down
// to the list's directory, then that directory's subfolders. Setting the list
// to a directory makes it the process's current directory, as the installer's
// dialog always did; the directory stays current after the dialog closes.
#pragma once

#include <windows.h>

#include <vector>

#include "frame/text.h"

namespace kx {

class DirectoryList {
public:
    // Pixel height of one line, and the indent of one level.
    static constexpr int kItemHeight = 16;
    static constexpr int kIndent = 10;

    enum class Outcome { Unchanged, Changed, Failed };

    // Takes over an owner-drawn list box; the list starts at the process's
    // current directory.
    explicit DirectoryList(HWND box);

    const Text& Directory() const { return directory_; }

    // Sets the list to `dir`: nothing happens for the empty text or for the
    // list's own directory (letter case ignored); Failed when the directory
    // cannot be made current (it does not exist, or is not ready).
    Outcome SetDirectory(const Text& dir);

    // The folder under the selection (double click, Enter); Unchanged when
    // nothing is selected.
    Outcome OpenSelected();

    void Draw(const DRAWITEMSTRUCT& item) const;

private:
    struct Item {
        Text path;
        int level;
        bool open;  // on the chain to the list's directory
    };
    void Fill();

    HWND box_;
    Text directory_;
    std::vector<Item> items_;
};

}  // namespace kx

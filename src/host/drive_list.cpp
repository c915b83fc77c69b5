#include "host/drive_list.h"

#include "frame/sys.h"
#include "frame/sys_ui.h"

namespace kx {
namespace {

// The volume label of a local disk. Removable, optical and network drives are
// not asked: an empty drive would keep the user waiting, or ask for a disk.
Text LabelOf(const Char* root) {
    const UINT type = sys::DriveType(root);
    if (type != DRIVE_FIXED && type != DRIVE_RAMDISK) return Text();
    Char label[MAX_PATH + 1] = {};
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const BOOL ok = sys::VolumeLabel(root, label, MAX_PATH + 1);
    SetErrorMode(oldMode);
    return ok ? Text(label) : Text();
}

}  // namespace

DriveList::DriveList(HWND combo) : combo_(combo) {
    const Text current = sys::CurrentDir();
    const Char currentLetter = current.size() >= 2 && current[1] == Char(':') ? Char(current[0] & ~0x20) : Char(0);
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (1u << i))) continue;
        const Char letter = Char('A' + i);
        const Char root[] = {letter, Char(':'), Char('\\'), Char(0)};
        Text line{Char('a' + i), Char(':')};
        const Text label = LabelOf(root);
        if (!label.empty()) line += KX_T(" [") + label + KX_T("]");
        const LRESULT at = sys::SendText(combo_, CB_ADDSTRING, 0, line.c_str());
        if (at < 0) continue;
        letters_.insert(letters_.begin() + at, letter);
        if (letter == currentLetter) SendMessage(combo_, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    }
}

Char DriveList::SelectedLetter() const {
    const LRESULT at = SendMessage(combo_, CB_GETCURSEL, 0, 0);
    if (at < 0 || static_cast<size_t>(at) >= letters_.size()) return Char(0);
    return letters_[static_cast<size_t>(at)];
}

}  // namespace kx

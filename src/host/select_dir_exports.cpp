// Directory selection exports: the library's own directory dialog, and the
// shell's folder browser.
#include <windows.h>

#include "frame/guard.h"
#include "host/folder_browser.h"
#include "host/select_dir_form.h"

KX_EXPORT const char* SelectDirectory(const char* start) {
    return kx::GuardText(kx::fixed::Empty, [&]() -> kx::TextResult {
        kx::SetStartDirectory(kx::Arg(start));
        return kx::ShowSelectDirDialog();
    });
}

KX_EXPORT const char* SelectDirectoryTree(const char* start, const char* title, HWND owner, int tellMissing) {
    return kx::GuardText(kx::fixed::Empty, [&]() -> kx::TextResult {
        return kx::BrowseForFolder(kx::Arg(start), kx::Arg(title), owner, tellMissing == 1);
    });
}

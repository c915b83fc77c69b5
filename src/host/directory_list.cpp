#include "host/directory_list.h"

#include <algorithm>

#include "frame/sys_ui.h"
#include "host/find_files.h"
#include "host/select_dir_rules.h"

namespace kx {
namespace {

Text Join(const Text& dir, const Text& name) {
    if (!dir.empty() && dir.back() == Char('\\')) return dir + name;
    return dir + Char('\\') + name;
}

// The folders a user sees in the directory: hidden and system ones are left
// out, as the shell leaves them out.
std::vector<Text> SubfoldersOf(const Text& dir) {
    std::vector<Text> names;
    ForEachMatch(Join(dir, KX_T("*.*")), [&](const sys::FindData& d) {
        const DWORD skip = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if ((d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(d.dwFileAttributes & skip) && !IsDots(d.cFileName))
            names.emplace_back(d.cFileName);
    });
    std::sort(names.begin(), names.end(),
              [](const Text& a, const Text& b) { return CompareLocaleNoCase(a, b) < 0; });
    return names;
}

// What a line shows: the root as it is, a folder by its name.
Text ShownName(const Text& path, int level) {
    const size_t slash = path.find_last_of(Char('\\'));
    return level == 0 || slash == Text::npos ? path : path.substr(slash + 1);
}

// A small folder drawn in the list's colours: open on the chain, closed below.
void DrawFolder(HDC dc, int x, int y, bool open) {
    const COLORREF edge = RGB(128, 96, 0), fill = open ? RGB(255, 236, 150) : RGB(240, 200, 80);
    HPEN pen = CreatePen(PS_SOLID, 1, edge);
    HBRUSH brush = CreateSolidBrush(fill);
    HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, brush);
    Rectangle(dc, x, y + 2, x + 6, y + 4);
    Rectangle(dc, x, y + 3, x + 13, y + 12);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

}  // namespace

DirectoryList::DirectoryList(HWND box) : box_(box), directory_(sys::CurrentDir()) { Fill(); }

DirectoryList::Outcome DirectoryList::SetDirectory(const Text& dir) {
    if (dir.empty() || CompareLocaleNoCase(dir, directory_) == 0) return Outcome::Unchanged;
    if (!sys::SetCurrentDir(dir.c_str())) return Outcome::Failed;
    directory_ = sys::CurrentDir();
    Fill();
    return Outcome::Changed;
}

DirectoryList::Outcome DirectoryList::OpenSelected() {
    const LRESULT at = SendMessage(box_, LB_GETCURSEL, 0, 0);
    if (at < 0 || static_cast<size_t>(at) >= items_.size()) return Outcome::Unchanged;
    return SetDirectory(Text(items_[static_cast<size_t>(at)].path));
}

void DirectoryList::Fill() {
    items_.clear();
    const auto chain = seldir::SplitDirectory(TextView(directory_));
    Text path = chain.root;
    if (!path.empty()) items_.push_back({path, 0, true});
    for (const auto& folder : chain.folders) {
        path = path.empty() ? folder : Join(path, folder);
        items_.push_back({path, static_cast<int>(items_.size()), true});
    }
    const int below = static_cast<int>(items_.size());
    for (const auto& name : SubfoldersOf(directory_)) items_.push_back({Join(directory_, name), below, false});

    SendMessage(box_, WM_SETREDRAW, FALSE, 0);
    SendMessage(box_, LB_RESETCONTENT, 0, 0);
    for (const auto& item : items_) {
        sys::SendText(box_, LB_ADDSTRING, 0, ShownName(item.path, item.level).c_str());
    }
    SendMessage(box_, LB_SETCURSEL, below > 0 ? below - 1 : 0, 0);
    SendMessage(box_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box_, nullptr, TRUE);
}

void DirectoryList::Draw(const DRAWITEMSTRUCT& d) const {
    if (d.itemID == static_cast<UINT>(-1) || d.itemID >= items_.size()) return;
    const Item& item = items_[d.itemID];
    const bool selected = d.itemState & ODS_SELECTED;
    FillRect(d.hDC, &d.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const int x = d.rcItem.left + 2 + item.level * kIndent;
    DrawFolder(d.hDC, x, d.rcItem.top + 1, item.open);
    RECT text = d.rcItem;
    text.left = x + 17;
    const Text shown = ShownName(item.path, item.level);
    SetBkMode(d.hDC, TRANSPARENT);
    SetTextColor(d.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    sys::DrawTextT(d.hDC, shown.c_str(), static_cast<int>(shown.size()), &text,
                   DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (d.itemState & ODS_FOCUS) DrawFocusRect(d.hDC, &d.rcItem);
}

}  // namespace kx

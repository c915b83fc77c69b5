#include "host/folder_browser.h"

#include <objbase.h>
#include <ole2.h>
#include <shlobj.h>

#include "frame/guard.h"
#include "frame/sys_ui.h"
#include "frame/text_rules.h"
#include "host/find_files.h"
#include "host/modal_scope.h"

namespace kx {
namespace {

// Owners of the shell's objects and of the item identifiers it allocates.
template <class I>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (p_) p_->Release();
    }
    I** put() { return &p_; }
    I* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    I* p_ = nullptr;
};

class ItemId {
public:
    explicit ItemId(IMalloc* allocator) : allocator_(allocator) {}
    ItemId(const ItemId&) = delete;
    ItemId& operator=(const ItemId&) = delete;
    ~ItemId() { reset(); }
    void reset(ITEMIDLIST* id = nullptr) {
        if (id_) allocator_->Free(id_);
        id_ = id;
    }
    ITEMIDLIST* get() const { return id_; }
    ITEMIDLIST** put() {
        reset();
        return &id_;
    }

private:
    IMalloc* allocator_;
    ITEMIDLIST* id_ = nullptr;
};

// The new-style browser needs OLE on the thread; a host that has it already
// keeps it as it was.
class OleOnThread {
public:
    OleOnThread() : ours_(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleOnThread() {
        if (ours_) OleUninitialize();
    }
    OleOnThread(const OleOnThread&) = delete;
    OleOnThread& operator=(const OleOnThread&) = delete;

private:
    bool ours_;
};

// Selects the start item once the browser is up; the item is passed as an
// identifier, not as a path.
int CALLBACK OnBrowserEvent(HWND browser, UINT msg, LPARAM, LPARAM startItem) {
    if (msg == BFFM_INITIALIZED) PostMessage(browser, sys::kBrowseSetSelection, FALSE, startItem);
    return 0;
}

}  // namespace

Text BrowseForFolder(const Text& startArg, const Text& title, HWND owner, bool tellMissing) {
    Text start = startArg;
    if (!IsDirectory(start)) {
        if (tellMissing)
            sys::MessageBoxT(nullptr, KX_T("Указанная директория не существует"), KX_T("Сообщение"),
                             MB_OK | MB_ICONERROR);
        start.clear();
    }
    start = Text(Trim(TextView(start)));

    OleOnThread ole;
    ComRef<IMalloc> allocator;
    ComRef<IShellFolder> desktop;
    if (FAILED(SHGetMalloc(allocator.put())) || !allocator) return Text();
    if (FAILED(SHGetDesktopFolder(desktop.put())) || !desktop) return Text();
    ItemId root(allocator.operator->()), startItem(allocator.operator->()), picked(allocator.operator->());
    if (FAILED(SHGetSpecialFolderLocation(owner, CSIDL_DESKTOP, root.put()))) return Text();
    std::wstring wideStart = WideOf(TextView(start));
    ULONG eaten = 0;
    if (FAILED(desktop->ParseDisplayName(owner, nullptr, wideStart.data(), &eaten, startItem.put(), nullptr)))
        return Text();

    Char displayName[MAX_PATH] = {};
    sys::BrowseInfo info{};
    info.hwndOwner = owner;
    info.pidlRoot = root.get();
    info.pszDisplayName = displayName;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = &OnBrowserEvent;
    info.lParam = reinterpret_cast<LPARAM>(startItem.get());
    {
        ThreadWindowsDisabled modal;
        picked.reset(sys::BrowseForFolder(&info));
    }
    if (!picked.get()) return Text();
    Char path[MAX_PATH] = {};
    if (!sys::PathFromIdList(picked.get(), path)) return Text();
    return Text(path);
}

}  // namespace kx

// SelectDirectoryTree in both builds: the shell's folder browser opened on a
// start directory, driven from the test while the export waits for it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "file_fixture.h"
#include "kestrel_dll.h"
#include "window_driver.h"

namespace kxtest {
namespace {

// The text of the tree's selected item.
std::wstring SelectedFolder(HWND tree) {
    const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item) return L"";
    wchar_t text[MAX_PATH] = {};
    TVITEMW tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = MAX_PATH;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    return text;
}

// Whether `w` shows a child window whose text is `text`.
bool ShowsText(HWND w, const std::wstring& text) {
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (TextOf(c) == text) return true;
    return false;
}

class FolderBrowser : public EachBuild {
protected:
    void SetUp() override {
        dir_ = std::make_unique<ScratchDir>("TREE");
        inst_ = dir_->path() + "\\INST";
        dir_->Write("INST\\x.txt", "x");
        EachBuild::SetUp();
    }
    void TearDown() override {
        call_.reset();
        EachBuild::TearDown();
        dir_.reset();
    }
    void Open(const std::string& start, int tell) {
        start_ = start;
        call_ = std::make_unique<ModalCall>([this, tell] {
            return dll().Text("SelectDirectoryTree", start_.c_str(), title_.c_str(), static_cast<HWND>(nullptr), tell);
        });
    }
    // The browser: a dialog of the call's thread with a folder tree.
    HWND Browser() {
        HWND found = nullptr;
        WaitUntil([&] {
            HWND w = WaitForDialog(call_->thread(), L"", 0);
            if (w && FindChild(w, L"SysTreeView32")) found = w;
            return found != nullptr;
        });
        return found;
    }

    std::unique_ptr<ScratchDir> dir_;
    std::string inst_, start_;
    const std::string title_ = "\xC2\xFB\xE1\xE5\xF0\xE8\xF2\xE5 \xEA\xE0\xF2\xE0\xEB\xEE\xE3";  // "Выберите каталог"
    std::unique_ptr<ModalCall> call_;
};

TEST_P(FolderBrowser, OpensOnTheStartAndReturnsTheChoice) {
    Open(inst_, 1);
    HWND browser = Browser();
    ASSERT_TRUE(browser) << "the browser did not appear";
    EXPECT_TRUE(ShowsText(browser, L"Выберите каталог")) << "the title above the tree";
    HWND tree = FindChild(browser, L"SysTreeView32");
    EXPECT_TRUE(WaitUntil([&] { return SelectedFolder(tree) == L"INST"; })) << Narrow(SelectedFolder(tree));
    SaveScreenshot(browser, "select-directory-tree-" + GetParam().name);
    PostMessageW(browser, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(call_->Result(), inst_);
}

TEST_P(FolderBrowser, CancelGivesTheEmptyText) {
    Open(inst_, 0);
    HWND browser = Browser();
    ASSERT_TRUE(browser);
    PostMessageW(browser, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(call_->Result(), "");
}

TEST_P(FolderBrowser, AMissingStartIsToldWhenAsked) {
    const std::string missing = dir_->path() + "\\MISSING";
    Open(missing, 1);
    HWND box = WaitForDialog(call_->thread(), L"Сообщение");
    ASSERT_TRUE(box) << "no message about the missing start";
    EXPECT_FALSE(FindChild(box, L"SysTreeView32")) << "the message comes before the browser";
    const MessageBoxSeen seen = ReadMessageBox(box);
    EXPECT_EQ(seen.text, L"Указанная директория не существует");
    EXPECT_EQ(seen.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(seen.icon, ErrorIcon());
    EXPECT_EQ(seen.owner, nullptr) << "no owner";
    SaveScreenshot(box, "box-tree-missing-" + GetParam().name);
    ASSERT_TRUE(Answer(box, IDOK));
    HWND browser = Browser();
    ASSERT_TRUE(browser) << "the browser opens all the same";
    EXPECT_NE(SelectedFolder(FindChild(browser, L"SysTreeView32")), L"MISSING");
    PostMessageW(browser, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(call_->Result(), "");
}

TEST_P(FolderBrowser, AMissingStartIsNotToldOtherwise) {
    Open(dir_->path() + "\\MISSING", 0);
    HWND first = WaitForDialog(call_->thread(), L"");
    ASSERT_TRUE(first);
    // The first window is the browser itself, never a message box.
    EXPECT_TRUE(WaitUntil([&] { return FindChild(first, L"SysTreeView32") != nullptr; }));
    PostMessageW(first, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(call_->Result(), "");
}

KX_FOR_EACH_BUILD(FolderBrowser);

}  // namespace
}  // namespace kxtest

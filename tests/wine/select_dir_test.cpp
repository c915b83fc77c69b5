// The directory dialog in both builds, driven as a user drives it: the export
// runs on a thread of its own while the test waits for the dialog and its
// message boxes, reads them, types, presses Enter, chooses drives and clicks.
// The prefix's drives: C: and F: fixed, R: removable, S: CD-ROM, T: network,
// U: RAM disk; \\KXSRV\SHARE is T:'s folder (see scripts/bootstrap).
#include <gtest/gtest.h>

#include "file_fixture.h"
#include "kestrel_dll.h"
#include "window_driver.h"

namespace kxtest {
namespace {

const std::wstring kCaption = L"Укажите директорию";
const std::wstring kError = L"Ошибка", kNotice = L"Сообщение";
const std::wstring kNoWriteAccess = L"Нет доступа на запись в указанный каталог";
const std::wstring kRemovable = L"Установка на переносные диски и диски в оперативной памяти запрещена";
const std::wstring kBadPath = L"Неверный путь";
const std::wstring kCreate = L"Указанный каталог не существует. Создать?";
const std::wstring kMediumError = L"Ошибка при чтении носителя";
const std::vector<int> kOk{IDOK}, kYesNo{IDYES, IDNO};

// Control identifiers of the dialog's template.
constexpr int kEdPath = 101, kDLB = 102, kBtnOK = 103, kCBDrive = 104, kBtnCancel = IDCANCEL;

bool IsDirectory(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string CurrentDirectory() {
    char d[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, d);
    return d;
}

RECT ClientRectIn(HWND parent, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class SelectDir : public EachBuild {
protected:
    void SetUp() override {
        SetCurrentDirectoryA("C:\\");
        dir_ = std::make_unique<ScratchDir>("SEL");
        inst_ = dir_->path() + "\\INST";
        dir_->Write("INST\\SUB1\\x.txt", "x");
        dir_->Write("INST\\SUB2\\x.txt", "x");
        EachBuild::SetUp();
    }
    void TearDown() override {
        call_.reset();
        EachBuild::TearDown();
        SetCurrentDirectoryA("C:\\");
        dir_.reset();
    }
    // Opens the dialog on `start` and waits for it.
    HWND Open(const std::string& start) {
        start_ = start;
        call_ = std::make_unique<ModalCall>([this] { return dll().Text("SelectDirectory", start_.c_str()); });
        HWND dlg = WaitForDialog(call_->thread(), kCaption);
        EXPECT_NE(dlg, nullptr) << "the dialog did not appear";
        return dlg;
    }
    // The next message box over the dialog.
    HWND Box(HWND dlg) { return WaitForDialog(call_->thread(), L"", 10000, dlg); }
    std::string Result() { return call_->Result(); }
    // Expects the next message box over the dialog to show `text` under
    // `caption` with `buttons` and `icon`, owned by the dialog; saves a
    // screenshot when `shot` names one, and answers with `answer`.
    void ExpectBox(HWND dlg, const std::wstring& text, const std::wstring& caption, const std::vector<int>& buttons,
                   HICON icon, int answer, const std::string& shot = "") {
        HWND box = Box(dlg);
        ASSERT_TRUE(box) << "no message box \"" << Narrow(text) << "\"";
        const MessageBoxSeen seen = ReadMessageBox(box);
        EXPECT_EQ(seen.text, text);
        EXPECT_EQ(seen.caption, caption);
        EXPECT_EQ(seen.buttons, buttons);
        EXPECT_EQ(seen.icon, icon);
        EXPECT_EQ(seen.owner, dlg) << "owned by the dialog";
        if (!shot.empty()) SaveScreenshot(box, shot + "-" + GetParam().name);
        EXPECT_TRUE(Answer(box, answer));
    }
    // Whether a message box is open over the dialog right now.
    bool AnyBox(HWND dlg) { return WaitForDialog(call_->thread(), L"", 0, dlg) != nullptr; }
    // Types a marker into the path field and waits for it: every input sent
    // before it has then been handled.
    void Settle(HWND dlg) {
        HWND edit = GetDlgItem(dlg, kEdPath);
        const std::wstring before = TextOf(edit);
        TypeChar(edit, L'#');
        EXPECT_TRUE(WaitUntil([&] { return TextOf(edit).size() > before.size(); }));
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(before.c_str()));
    }
    void SetField(HWND dlg, const std::wstring& text) {
        SendMessageW(GetDlgItem(dlg, kEdPath), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    std::wstring Field(HWND dlg) { return TextOf(GetDlgItem(dlg, kEdPath)); }
    // Chooses a drive in the drive list with the keyboard, by its letter.
    void ChooseDrive(HWND dlg, wchar_t letter) { TypeChar(GetDlgItem(dlg, kCBDrive), letter); }
    // Whether Wine runs as a user whom file permissions bind (not as root).
    static bool PermissionsApply() {
        char here[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, here);
        const bool entered = SetCurrentDirectoryA("F:\\LOCKED");
        SetCurrentDirectoryA(here);
        return !entered;
    }

    std::unique_ptr<ScratchDir> dir_;
    std::string inst_, start_;
    std::unique_ptr<ModalCall> call_;
};

TEST_P(SelectDir, FormLayoutTextsAndTabOrder) {
    HWND dlg = Open(inst_);
    ASSERT_TRUE(dlg);
    HWND edit = GetDlgItem(dlg, kEdPath);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(edit) == Wide(inst_); })) << "the path field shows the start";

    RECT window{}, client{};
    GetWindowRect(dlg, &window);
    GetClientRect(dlg, &client);
    EXPECT_EQ(window.left, 294);
    EXPECT_EQ(window.top, 174);
    EXPECT_EQ(client.right, 362);
    EXPECT_EQ(client.bottom, 343);
    const LONG style = GetWindowLongW(dlg, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));

    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dlg, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
    EXPECT_EQ(font.lfHeight, -11);

    struct Control {
        int id;
        const wchar_t* cls;
        RECT at;
        const wchar_t* text;
    };
    const Control controls[] = {
        {kEdPath, L"Edit", {8, 8, 353, 29}, nullptr},
        {kDLB, L"ListBox", {8, 40, 353, 305}, nullptr},
        {kBtnOK, L"Button", {180, 312, 263, 337}, L"\u041E\u041A"},  // Cyrillic О and К
        {kCBDrive, L"ComboBox", {8, 312, 169, 331}, nullptr},
        {kBtnCancel, L"Button", {270, 312, 353, 337}, L"Отмена"},
    };
    HWND tab = edit;
    for (const Control& c : controls) {
        SCOPED_TRACE(c.id);
        HWND w = GetDlgItem(dlg, c.id);
        ASSERT_TRUE(w);
        EXPECT_EQ(ClassOf(w), c.cls);
        const RECT r = ClientRectIn(dlg, w);
        EXPECT_EQ(r.left, c.at.left);
        EXPECT_EQ(r.top, c.at.top);
        EXPECT_EQ(r.right, c.at.right);
        EXPECT_EQ(r.bottom, c.at.bottom);
        if (c.text) {
            EXPECT_EQ(TextOf(w), c.text);
        }
        EXPECT_EQ(tab, w) << "tab order";
        tab = GetNextDlgTabItem(dlg, tab, FALSE);
    }
    EXPECT_EQ(tab, edit) << "the tab order comes round";
    EXPECT_EQ(SendMessageW(GetDlgItem(dlg, kDLB), LB_GETITEMHEIGHT, 0, 0), 16);
    EXPECT_EQ(GetWindowLongW(GetDlgItem(dlg, kBtnOK), GWL_STYLE) & BS_DEFPUSHBUTTON, 0) << "no default button";
    SaveScreenshot(dlg, "select-directory-" + GetParam().name);

    Click(GetDlgItem(dlg, kBtnOK));
    EXPECT_EQ(Result(), inst_);
    EXPECT_EQ(CurrentDirectory(), inst_) << "the list's last directory stays current";
}

TEST_P(SelectDir, MissingStartDirectory) {
    SetCurrentDirectoryA(inst_.c_str());  // the list starts here
    const std::string missing = dir_->path() + "\\MISSING";
    HWND dlg = Open(missing);
    ASSERT_TRUE(dlg);
    ExpectBox(dlg, L"Каталог не найден", kError, kOk, InformationIcon(), IDOK, "box-not-found");
    ASSERT_TRUE(WaitUntil([&] { return Field(dlg) == Wide(missing); })) << "the start text in the field";
    EXPECT_EQ(CurrentDirectory(), "C:\\") << "the list on C:\\";
    DWORD from = 0, to = 0;
    SendMessageW(GetDlgItem(dlg, kEdPath), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, missing.size());
    EXPECT_EQ(to, missing.size()) << "the caret after the last character";
    PressKey(GetDlgItem(dlg, kEdPath), VK_ESCAPE);
    EXPECT_EQ(Result(), "");
}

TEST_P(SelectDir, StartEqualToTheCurrentDirectoryLeavesTheFieldEmpty) {
    SetCurrentDirectoryA(inst_.c_str());
    std::string lower = inst_;
    for (auto& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    HWND dlg = Open(lower);
    ASSERT_TRUE(dlg);
    Settle(dlg);
    EXPECT_EQ(Field(dlg), L"");
    EXPECT_FALSE(AnyBox(dlg));
    CloseByTitleBar(dlg);
    EXPECT_EQ(Result(), "");
}

TEST_P(SelectDir, RefusedCharactersAreNeverInTheField) {
    HWND dlg = Open(inst_);
    ASSERT_TRUE(dlg);
    HWND edit = GetDlgItem(dlg, kEdPath);
    SetField(dlg, L"");
    TypeText(edit, L"C:\\ЖKXя");  // Ж and я are refused
    TypeChar(edit, L'ё');          // Ё and ё are not
    ASSERT_TRUE(WaitUntil([&] { return Field(dlg) == L"C:\\KXё"; })) << Narrow(Field(dlg));
    Paste(edit, L"\\Новая папка2");
    ASSERT_TRUE(WaitUntil([&] { return Field(dlg) == L"C:\\KXё\\ 2"; })) << Narrow(Field(dlg));
    DWORD from = 0, to = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(to, 9u) << "the caret stays after the pasted text";
    SetField(dlg, L"D:\\Папка\\KX");
    EXPECT_EQ(Field(dlg), L"D:\\\\KX");
    // The close button returns the field unchecked.
    CloseByTitleBar(dlg);
    EXPECT_EQ(Result(), "D:\\\\KX");
}

TEST_P(SelectDir, CancelEscAndTheCloseButton) {
    HWND dlg = Open(inst_);
    ASSERT_TRUE(dlg);
    Click(GetDlgItem(dlg, kBtnCancel));
    EXPECT_EQ(Result(), "");

    SetCurrentDirectoryA("C:\\");
    dlg = Open(inst_);
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(WaitUntil([&] { return Field(dlg) == Wide(inst_); }));
    PressKey(GetDlgItem(dlg, kDLB), VK_ESCAPE);
    EXPECT_EQ(Result(), "") << "Esc in the list";

    dlg = Open(inst_);
    ASSERT_TRUE(dlg);
    SetField(dlg, L"Q:\\nowhere");
    CloseByTitleBar(dlg);
    EXPECT_EQ(Result(), "Q:\\nowhere") << "no acceptance, no write check";
}

TEST_P(SelectDir, MissingDirectoryOnAFixedDrive) {
    HWND dlg = Open(inst_);
    ASSERT_TRUE(dlg);
    const std::string fresh = dir_->path() + "\\NEW\\A\\B";
    SetField(dlg, Wide(fresh));
    PressKey(GetDlgItem(dlg, kEdPath), VK_RETURN);
    ExpectBox(dlg, kCreate, kNotice, kYesNo, InformationIcon(), IDNO, "box-create");
    EXPECT_FALSE(IsDirectory(fresh));
    // No accepts the path; OK asks again and then finds it cannot write there.
    Click(GetDlgItem(dlg, kBtnOK));
    ExpectBox(dlg, kCreate, kNotice, kYesNo, InformationIcon(), IDNO);
    ExpectBox(dlg, kNoWriteAccess, kError, kOk, ErrorIcon(), IDOK, "box-no-write-access");
    EXPECT_TRUE(IsWindowVisible(dlg)) << "the dialog stays";
    EXPECT_EQ(Field(dlg), Wide(fresh));
    // A name the file system refuses cannot be created.
    SetField(dlg, Wide(dir_->path() + "\\bad|name"));
    PressKey(GetDlgItem(dlg, kEdPath), VK_RETURN);
    ExpectBox(dlg, kCreate, kNotice, kYesNo, InformationIcon(), IDYES);
    ExpectBox(dlg, L"Невозможно создать катаолг", kError, kOk, ErrorIcon(), IDOK, "box-cannot-create");
    EXPECT_TRUE(IsWindowVisible(dlg));
    // Yes creates a directory with its parents; OK then takes it.
    SetField(dlg, Wide(fresh));
    PressKey(GetDlgItem(dlg, kEdPath), VK_RETURN);
    ExpectBox(dlg, kCreate, kNotice, kYesNo, InformationIcon(), IDYES);
    EXPECT_TRUE(WaitUntil([&] { return IsDirectory(fresh); }));
    Click(GetDlgItem(dlg, kBtnOK));
    EXPECT_EQ(Result(), fresh);
    EXPECT_EQ(CurrentDirectory(), fresh);
}

TEST_P(SelectDir, EnterChecksTheDriveType) {
    HWND dlg = Open(inst_);
    ASSERT_TRUE(dlg);
    HWND edit = GetDlgItem(dlg, kEdPath);
    struct Refused {
        const wchar_t* path;
        const std::wstring& message;
        const char* shot;
    };
    const Refused refused[] = {
        {L"R:\\KX", kRemovable, "box-removable"},  // removable
        {L"U:\\KX", kRemovable, nullptr},          // RAM disk
        {L"S:\\KX", kNoWriteAccess, nullptr},      // CD-ROM
        {L"Q:\\KX", kBadPath, "box-bad-path"},     // no such drive
        {L"KX", kBadPath, nullptr},                 // no drive part
    };
    for (const Refused& r : refused) {
        SCOPED_TRACE(Narrow(r.path));
        SetField(dlg, r.path);
        PressKey(edit, VK_RETURN);
        ExpectBox(dlg, r.message, kError, kOk, ErrorIcon(), IDOK, r.shot ? r.shot : "");
        EXPECT_TRUE(IsWindowVisible(dlg));
        EXPECT_EQ(Field(dlg), r.path);
    }
    // Existing directories on fixed and network drives become the list's.
    for (const char* root : {"T:\\", "F:\\"}) {
        SetField(dlg, Wide(root));
        PressKey(edit, VK_RETURN);
        EXPECT_TRUE(WaitUntil([&] { return CurrentDirectory() == root; })) << root;
        EXPECT_FALSE(AnyBox(dlg)) << root;
    }
    // A directory the list cannot enter.
    if (PermissionsApply()) {
        SetField(dlg, L"F:\\LOCKED");
        PressKey(edit, VK_RETURN);
        ExpectBox(dlg, kMediumError, kError, kOk, ErrorIcon(), IDOK, "box-medium-error");
        EXPECT_EQ(CurrentDirectory(), "F:\\");
    }
    // OK on a CD-ROM path.
    SetField(dlg, L"S:\\");
    Click(GetDlgItem(dlg, kBtnOK));
    ExpectBox(dlg, kNoWriteAccess, kError, kOk, ErrorIcon(), IDOK);
    Click(GetDlgItem(dlg, kBtnCancel));
    EXPECT_EQ(Result(), "");
}

TEST_P(SelectDir, DriveListPutsTheDriveInTheFieldAndChecksIt) {
    HWND dlg = Open(inst_);
    ASSERT_TRUE(dlg);
    ChooseDrive(dlg, L'r');
    ExpectBox(dlg, kRemovable, kError, kOk, ErrorIcon(), IDOK);
    EXPECT_EQ(Field(dlg), L"R:\\");
    ChooseDrive(dlg, L'f');
    EXPECT_TRUE(WaitUntil([&] { return CurrentDirectory() == "F:\\"; }));
    EXPECT_EQ(Field(dlg), L"F:\\");
    // A field that already names the chosen drive is left alone.
    SetField(dlg, L" c:\\ ");
    ChooseDrive(dlg, L'c');
    Settle(dlg);
    EXPECT_EQ(Field(dlg), L" c:\\ ");
    EXPECT_EQ(CurrentDirectory(), "F:\\");
    EXPECT_FALSE(AnyBox(dlg));
    Click(GetDlgItem(dlg, kBtnCancel));
    EXPECT_EQ(Result(), "");
}

TEST_P(SelectDir, TheDirectoryListOpensFolders) {
    HWND dlg = Open(inst_);
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(WaitUntil([&] { return Field(dlg) == Wide(inst_); }));
    HWND list = GetDlgItem(dlg, kDLB);
    std::vector<std::wstring> items;
    const LRESULT n = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        wchar_t text[MAX_PATH] = {};
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    EXPECT_EQ(items, (std::vector<std::wstring>{L"C:\\", L"KXT", L"SEL", L"INST", L"SUB1", L"SUB2"}));
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 3) << "the list's directory is selected";
    // Enter on a subfolder.
    SendMessageW(list, LB_SETCURSEL, 5, 0);
    PressKey(list, VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return Field(dlg) == Wide(inst_ + "\\SUB2"); }));
    EXPECT_EQ(CurrentDirectory(), inst_ + "\\SUB2");
    // A double click on a folder of the chain.
    RECT item{};
    SendMessageW(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM(item.left + 30, item.top + 5);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(WaitUntil([&] { return Field(dlg) == Wide(dir_->path()); }));
    EXPECT_EQ(CurrentDirectory(), dir_->path());
    CloseByTitleBar(dlg);
    EXPECT_EQ(Result(), dir_->path());
}

TEST_P(SelectDir, WriteProbeLeavesExistingFilesAlone) {
    const std::string keep = dir_->Write("INST\\temp.tmp", "keep");
    HWND dlg = Open(inst_);
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(WaitUntil([&] { return Field(dlg) == Wide(inst_); }));
    Click(GetDlgItem(dlg, kBtnOK));
    EXPECT_EQ(Result(), inst_) << "_temp.tmp was writable";
    EXPECT_EQ(ReadFileBytes(keep), "keep");
    EXPECT_EQ(GetFileAttributesA((inst_ + "\\_temp.tmp").c_str()), INVALID_FILE_ATTRIBUTES) << "the probe is gone";
}

TEST_P(SelectDir, AFolderWithoutWriteAccessIsRefused) {
    if (!PermissionsApply()) GTEST_SKIP() << "Wine runs as root: file permissions do not bind it";
    HWND dlg = Open("F:\\RODIR");
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(WaitUntil([&] { return Field(dlg) == L"F:\\RODIR"; }));
    Click(GetDlgItem(dlg, kBtnOK));
    ExpectBox(dlg, kNoWriteAccess, kError, kOk, ErrorIcon(), IDOK);
    EXPECT_TRUE(IsWindowVisible(dlg));
    Click(GetDlgItem(dlg, kBtnCancel));
    EXPECT_EQ(Result(), "");
}

TEST_P(SelectDir, NetworkPaths) {
    const std::string made = "T:\\NEWNET";
    RemoveTree(made);
    HWND dlg = Open(inst_);
    ASSERT_TRUE(dlg);
    SetField(dlg, L"\\\\KXSRV\\SHARE\\NEWNET\\X");
    PressKey(GetDlgItem(dlg, kEdPath), VK_RETURN);
    ExpectBox(dlg, kCreate, kNotice, kYesNo, InformationIcon(), IDYES);
    EXPECT_TRUE(WaitUntil([&] { return IsDirectory(made + "\\X"); })) << "created on the share";
    SetField(dlg, L"\\\\KXSRV\\SHARE\\NEWNET");
    PressKey(GetDlgItem(dlg, kEdPath), VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return _stricmp(CurrentDirectory().c_str(), "\\\\KXSRV\\SHARE\\NEWNET") == 0; }))
        << CurrentDirectory();
    Click(GetDlgItem(dlg, kBtnOK));
    EXPECT_EQ(_stricmp(Result().c_str(), "\\\\KXSRV\\SHARE\\NEWNET"), 0);
    SetCurrentDirectoryA("C:\\");
    RemoveTree(made);
}

KX_FOR_EACH_BUILD(SelectDir);

}  // namespace
}  // namespace kxtest

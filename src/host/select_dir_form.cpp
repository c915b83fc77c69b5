#include "host/select_dir_form.h"

#include <windows.h>

#include <optional>

#include "frame/guard.h"
#include "frame/handles.h"
#include "frame/sys.h"
#include "frame/sys_ui.h"
#include "frame/text_rules.h"
#include "host/directory_list.h"
#include "host/drive_list.h"
#include "host/find_files.h"
#include "host/modal_scope.h"
#include "host/select_dir_ids.h"
#include "host/select_dir_rules.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace kx {
namespace {

// The form's texts, in the build's text.
namespace say {
const Char* const Error = KX_T("Ошибка");
const Char* const Notice = KX_T("Сообщение");
const Char* const UnknownMedium = KX_T("Неизвестный тип носителя");
const Char* const BadPath = KX_T("Неверный путь");
const Char* const RemovableRefused = KX_T("Установка на переносные диски и диски в оперативной памяти запрещена");
const Char* const NoWriteAccess = KX_T("Нет доступа на запись в указанный каталог");
const Char* const CreateQuestion = KX_T("Указанный каталог не существует. Создать?");
// The product has always spelt it so; scripts and users know the text.
const Char* const CannotCreate = KX_T("Невозможно создать катаолг");
const Char* const MediumError = KX_T("Ошибка при чтении носителя");
const Char* const NotFound = KX_T("Каталог не найден");
}  // namespace say

// Pixel layout of the form: client area, position on the screen, controls.
constexpr int kClientWidth = 362, kClientHeight = 343, kLeft = 294, kTop = 174;
constexpr RECT kEdPath{8, 8, 8 + 345, 8 + 21};
constexpr RECT kDLB{8, 40, 8 + 345, 40 + 265};
constexpr RECT kBtnOK{180, 312, 180 + 83, 312 + 25};
constexpr RECT kCBDrive{8, 312, 8 + 161, 312 + 19};
constexpr RECT kBtnCancel{270, 312, 270 + 83, 312 + 25};
// The drop-down part of the drive list shows about a dozen drives.
constexpr int kComboDropDown = 200;

// Posted by the dialog to itself, so FormShow runs once the form is visible.
constexpr UINT kFormShow = WM_APP + 1;

Text& StartDirectory() {
    static Text start;
    return start;
}

void Place(HWND control, const RECT& r, int extraHeight = 0) {
    MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top + extraHeight, FALSE);
}

bool Exists(const Text& path) { return sys::GetAttributes(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class TfrmSelectDir {
public:
    static INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
    const Text& Result() const { return result_; }

private:
    enum class Acceptance { Accepted, NotAccepted, ListFailed };

    static TfrmSelectDir* Of(HWND dlg) { return reinterpret_cast<TfrmSelectDir*>(GetWindowLongPtr(dlg, DWLP_USER)); }
    template <WNDPROC TfrmSelectDir::*Old, bool (TfrmSelectDir::*KeyPress)(Char)>
    static LRESULT CALLBACK KeyedControlProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);

    void Create(HWND dlg);
    INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp);
    void Command(int id, int code);

    void FormShow();
    void EdPathChange();
    bool EdPathKeyPress(Char key);
    bool DLBKeyPress(Char key);
    void DLBChange();
    void CBDriveChange();
    void BtnOKClick();
    void BtnCancelClick();

    Acceptance AcceptPath();
    Acceptance AcceptExistingOrCreate(const Text& path);
    bool SetList(const Text& dir);
    void OpenListSelection();
    int Message(const Char* text, const Char* caption, UINT flags) const {
        return sys::MessageBoxT(dlg_, text, caption, flags);
    }
    Text PathText() const { return sys::GetText(edPath_); }
    void Close(Text result);

    HWND dlg_ = nullptr, edPath_ = nullptr, dlb_ = nullptr, cbDrive_ = nullptr;
    WNDPROC edPathProc_ = nullptr, dlbProc_ = nullptr;
    std::optional<DirectoryList> list_;
    std::optional<DriveList> drives_;
    bool stripping_ = false;
    Text result_;
};

INT_PTR CALLBACK TfrmSelectDir::DialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    return GuardCallback<INT_PTR>(FALSE, [&]() -> INT_PTR {
        if (msg == WM_MEASUREITEM) {  // comes before WM_INITDIALOG
            auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
            if (m->CtlID != KX_ID_DLB) return FALSE;
            m->itemHeight = DirectoryList::kItemHeight;
            return TRUE;
        }
        if (msg == WM_INITDIALOG) {
            SetWindowLongPtr(dlg, DWLP_USER, lp);
            Of(dlg)->Create(dlg);
            return TRUE;
        }
        TfrmSelectDir* form = Of(dlg);
        return form ? form->Handle(msg, wp, lp) : FALSE;
    });
}

void TfrmSelectDir::Create(HWND dlg) {
    dlg_ = dlg;
    edPath_ = GetDlgItem(dlg, KX_ID_EDPATH);
    dlb_ = GetDlgItem(dlg, KX_ID_DLB);
    cbDrive_ = GetDlgItem(dlg, KX_ID_CBDRIVE);

    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtr(dlg, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtr(dlg, GWL_EXSTYLE)));
    SetWindowPos(dlg, nullptr, kLeft, kTop, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    Place(edPath_, kEdPath);
    Place(dlb_, kDLB);
    Place(GetDlgItem(dlg, KX_ID_BTNOK), kBtnOK);
    Place(GetDlgItem(dlg, IDCANCEL), kBtnCancel);
    // The closed drive list is its selection field within the system's edges,
    // so its height is reached through the field's (after the placing, which
    // would undo it). Systems differ in how they count the field.
    Place(cbDrive_, kCBDrive, kComboDropDown);
    LRESULT field = SendMessage(cbDrive_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int tries = 0; tries < 4; ++tries) {
        RECT closed{};
        GetWindowRect(cbDrive_, &closed);
        const LONG off = (kCBDrive.bottom - kCBDrive.top) - (closed.bottom - closed.top);
        if (off == 0) break;
        field += off;
        SendMessage(cbDrive_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }

    list_.emplace(dlb_);
    drives_.emplace(cbDrive_);
    edPathProc_ = sys::Subclass(edPath_, &KeyedControlProc<&TfrmSelectDir::edPathProc_, &TfrmSelectDir::EdPathKeyPress>);
    dlbProc_ = sys::Subclass(dlb_, &KeyedControlProc<&TfrmSelectDir::dlbProc_, &TfrmSelectDir::DLBKeyPress>);
    SetFocus(edPath_);
    PostMessage(dlg, kFormShow, 0, 0);
}

INT_PTR TfrmSelectDir::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case kFormShow:
        FormShow();
        return TRUE;
    case WM_COMMAND:
        Command(LOWORD(wp), HIWORD(wp));
        return TRUE;
    case WM_DRAWITEM:
        if (wp != KX_ID_DLB) return FALSE;
        list_->Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    case WM_CLOSE:  // the title bar's close button: the text as it stands
        Close(PathText());
        return TRUE;
    case WM_DESTROY:
        sys::Subclass(edPath_, edPathProc_);
        sys::Subclass(dlb_, dlbProc_);
        return FALSE;
    default:
        return FALSE;
    }
}

void TfrmSelectDir::Command(int id, int code) {
    switch (id) {
    case KX_ID_EDPATH:
        if (code == EN_CHANGE) EdPathChange();
        break;
    case KX_ID_DLB:
        if (code == LBN_DBLCLK) OpenListSelection();
        break;
    case KX_ID_CBDRIVE:
        if (code == CBN_SELCHANGE) CBDriveChange();
        break;
    case KX_ID_BTNOK:
        if (code == BN_CLICKED) BtnOKClick();
        break;
    case IDCANCEL:  // the Cancel button, and Esc wherever the focus is
        BtnCancelClick();
        break;
    default:  // IDOK from Enter outside the path field: there is no default button
        break;
    }
}

// The path field and the directory list see Enter themselves (the dialog
// would take it otherwise), and each typed character goes to their handler
// first: true from the handler consumes it.
template <WNDPROC TfrmSelectDir::*Old, bool (TfrmSelectDir::*KeyPress)(Char)>
LRESULT CALLBACK TfrmSelectDir::KeyedControlProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    TfrmSelectDir* form = Of(GetParent(w));
    return GuardCallback<LRESULT>(0, [&]() -> LRESULT {
        if (msg == WM_GETDLGCODE && lp) {
            const MSG* m = reinterpret_cast<const MSG*>(lp);
            if (m->message == WM_KEYDOWN && m->wParam == VK_RETURN)
                return sys::CallOld(form->*Old, w, msg, wp, lp) | DLGC_WANTMESSAGE;
        }
        if (msg == WM_CHAR && (form->*KeyPress)(static_cast<Char>(wp))) return 0;
        return sys::CallOld(form->*Old, w, msg, wp, lp);
    });
}

void TfrmSelectDir::FormShow() {
    const Text& start = StartDirectory();
    const auto outcome = list_->SetDirectory(start);
    if (outcome == DirectoryList::Outcome::Changed) {
        DLBChange();
    } else if (outcome == DirectoryList::Outcome::Failed) {
        Message(say::NotFound, say::Error, MB_OK | MB_ICONINFORMATION);
        SetList(KX_T("C:\\"));
        sys::SetText(edPath_, start.c_str());
        const auto end = static_cast<WPARAM>(start.size());
        SendMessage(edPath_, EM_SETSEL, end, static_cast<LPARAM>(end));
    }
}

// The field never holds a refused character, whether typed or pasted.
void TfrmSelectDir::EdPathChange() {
    if (stripping_) return;
    const Text text = PathText();
    const Text kept = seldir::RemoveRefused(TextView(text), [](Char c) { return AnsiCode(c); });
    if (kept == text) return;
    DWORD caret = 0;
    SendMessage(edPath_, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    const size_t before = caret < text.size() ? caret : text.size();
    const size_t keptBefore = seldir::RemoveRefused(TextView(text).substr(0, before), [](Char c) {
                                  return AnsiCode(c);
                              }).size();
    stripping_ = true;
    sys::SetText(edPath_, kept.c_str());
    stripping_ = false;
    SendMessage(edPath_, EM_SETSEL, keptBefore, static_cast<LPARAM>(keptBefore));
}

bool TfrmSelectDir::EdPathKeyPress(Char key) {
    if (AnsiCode(key) >= seldir::kFirstRefusedCode) return true;
    if (key != Char('\r')) return false;
    // Enter checks the path; it never closes the dialog.
    if (AcceptPath() == Acceptance::ListFailed) Message(say::MediumError, say::Error, MB_OK | MB_ICONERROR);
    return true;
}

bool TfrmSelectDir::DLBKeyPress(Char key) {
    if (key != Char('\r')) return false;
    OpenListSelection();
    return true;
}

void TfrmSelectDir::OpenListSelection() {
    const auto outcome = list_->OpenSelected();
    if (outcome == DirectoryList::Outcome::Changed) DLBChange();
    if (outcome == DirectoryList::Outcome::Failed) Message(say::MediumError, say::Error, MB_OK | MB_ICONERROR);
}

void TfrmSelectDir::DLBChange() { sys::SetText(edPath_, list_->Directory().c_str()); }

bool TfrmSelectDir::SetList(const Text& dir) {
    const auto outcome = list_->SetDirectory(dir);
    if (outcome == DirectoryList::Outcome::Changed) DLBChange();
    return outcome != DirectoryList::Outcome::Failed;
}

void TfrmSelectDir::CBDriveChange() {
    const Char letter = drives_->SelectedLetter();
    if (!letter) return;
    const Text root{letter, Char(':'), Char('\\')};
    if (UpperLocale(Trim(TextView(PathText()))) == root) return;
    sys::SetText(edPath_, root.c_str());
    // A drive that is not ready, or any other failure of the list.
    if (AcceptPath() == Acceptance::ListFailed) Message(say::MediumError, say::Error, MB_OK | MB_ICONERROR);
}

void TfrmSelectDir::BtnOKClick() {
    const Acceptance accepted = AcceptPath();
    if (accepted == Acceptance::ListFailed) Message(say::MediumError, say::Error, MB_OK | MB_ICONERROR);
    if (accepted != Acceptance::Accepted) return;
    const Text path = PathText();
    if (HasDirWriteAccess(path))
        Close(path);
    else
        Message(say::NoWriteAccess, say::Error, MB_OK | MB_ICONERROR);
}

void TfrmSelectDir::BtnCancelClick() {
    sys::SetText(edPath_, KX_T(""));
    Close(Text());
}

void TfrmSelectDir::Close(Text result) {
    result_ = std::move(result);
    EndDialog(dlg_, IDOK);
}

// The path acceptance: whether the path field names a directory that may be
// installed to, with the user's answers along the way.
TfrmSelectDir::Acceptance TfrmSelectDir::AcceptPath() {
    const Text path = PathText();
    if (path.empty()) return Acceptance::NotAccepted;
    if (seldir::IsNetworkPath(TextView(path))) return AcceptExistingOrCreate(path);
    Text drive(seldir::DrivePart(TextView(path)));
    if (!drive.empty()) drive.push_back(Char('\\'));
    switch (sys::DriveType(drive.c_str())) {
    case DRIVE_UNKNOWN:
        Message(say::UnknownMedium, say::Error, MB_OK | MB_ICONERROR);
        return Acceptance::NotAccepted;
    case DRIVE_NO_ROOT_DIR:
        Message(say::BadPath, say::Error, MB_OK | MB_ICONERROR);
        return Acceptance::NotAccepted;
    case DRIVE_FIXED:
    case DRIVE_REMOTE:
        return AcceptExistingOrCreate(path);
    case DRIVE_CDROM:
        Message(say::NoWriteAccess, say::Error, MB_OK | MB_ICONERROR);
        return Acceptance::NotAccepted;
    case DRIVE_REMOVABLE:
    case DRIVE_RAMDISK:
        Message(say::RemovableRefused, say::Error, MB_OK | MB_ICONERROR);
        return Acceptance::NotAccepted;
    default:
        return Acceptance::Accepted;
    }
}

// An existing directory becomes the list's; a missing one may be created. A
// "No" accepts the path all the same (the write check of OK then refuses it).
TfrmSelectDir::Acceptance TfrmSelectDir::AcceptExistingOrCreate(const Text& path) {
    if (IsDirectory(path)) return SetList(path) ? Acceptance::Accepted : Acceptance::ListFailed;
    if (Message(say::CreateQuestion, say::Notice, MB_YESNO | MB_ICONINFORMATION) != IDYES) return Acceptance::Accepted;
    if (ForceDirectories(path)) return Acceptance::Accepted;
    Message(say::CannotCreate, say::Error, MB_OK | MB_ICONERROR);
    return Acceptance::NotAccepted;
}

}  // namespace

void SetStartDirectory(const Text& start) { StartDirectory() = start; }

Text ShowSelectDirDialog() {
    TfrmSelectDir form;
    ThreadWindowsDisabled modal;
    const INT_PTR shown = sys::ShowDialog(reinterpret_cast<HINSTANCE>(&__ImageBase), KX_SELECT_DIR_DIALOG, nullptr,
                                          &TfrmSelectDir::DialogProc, reinterpret_cast<LPARAM>(&form));
    if (shown <= 0) return Text();
    return form.Result();
}

bool HasDirWriteAccess(const Text& path) {
    const Text probe = seldir::ProbeName(TextView(path), Exists);
    // CREATE_NEW: a file that appeared meanwhile is never overwritten.
    FileHandle file(sys::OpenFile(probe.c_str(), GENERIC_WRITE, 0, CREATE_NEW));
    if (!file) return false;
    file.reset();
    sys::RemoveFile(probe.c_str());
    return true;
}

bool ForceDirectories(const Text& dir) {
    Text d = dir;
    while (d.size() > seldir::RootLength(TextView(d)) && !d.empty() && d.back() == Char('\\')) d.pop_back();
    if (d.empty()) return false;
    if (IsDirectory(d)) return true;
    const Text parent(seldir::ParentOf(TextView(d)));
    if (!parent.empty() && parent != d && !ForceDirectories(parent)) return false;
    return sys::MakeDirectory(d.c_str()) || IsDirectory(d);
}

}  // namespace kx

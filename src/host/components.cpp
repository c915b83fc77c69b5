#include "host/components.h"

#include <set>
#include <utility>

#include "frame/handles.h"
#include "frame/line_list.h"
#include "frame/result.h"
#include "frame/sys.h"
#include "frame/text_rules.h"
#include "host/module_version.h"
#include "host/version_rules.h"

namespace kx {
namespace {

struct ComponentRules {
    const Char* controlFile;  // below the installation directory
    const Char* prefix;       // of the display line
};

ComponentRules RulesOf(Component kind) {
    if (kind == Component::Zul) return {KX_T("\\Programm\\zul.ctl"), KX_T("KX <")};
    return {KX_T("\\Programm\\gate.ctl"), KX_T("GATE <")};
}

bool IsDots(const Char* name) {
    return name[0] == Char('.') && (name[1] == 0 || (name[1] == Char('.') && name[2] == 0));
}

// Calls `each(data)` for every entry matching `pattern`.
template <class F>
void ForEachMatch(const Text& pattern, F&& each) {
    sys::FindData data{};
    FindHandle find(sys::FindFirst(pattern.c_str(), &data));
    if (!find) return;
    do each(data);
    while (sys::FindNext(find.get(), &data));
}

bool HasIniFile(const Text& dir) {
    bool found = false;
    ForEachMatch(dir + KX_T("\\*.ini"), [&](const sys::FindData& d) {
        if (!(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) found = true;
    });
    return found;
}

bool IsInstallation(const Text& dir, const ComponentRules& rules) {
    const DWORD a = sys::GetAttributes((dir + rules.controlFile).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY) && HasIniFile(dir);
}

// A directory's identity on its volume, to walk each directory once even
// where links on the file system do not show as reparse points.
using DirectoryId = std::pair<DWORD, ULONGLONG>;

bool IdentityOf(const Text& dir, DirectoryId& id) {
    FileHandle h(sys::OpenFile(dir.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!h || !GetFileInformationByHandle(h.get(), &info)) return false;
    id = {info.dwVolumeSerialNumber, (ULONGLONG(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return true;
}

class ControlFileSearch {
public:
    explicit ControlFileSearch(std::vector<Text>& found) : found_(found) {}

    void Walk(Text dir) {
        if (dir.empty() || dir.back() != Char('\\')) dir.push_back(Char('\\'));
        DirectoryId id;
        if (IdentityOf(dir, id) && !visited_.insert(id).second) return;
        ForEachMatch(dir + KX_T("*.*"), [&](const sys::FindData& d) {
            if (!(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsDots(d.cFileName)) return;
            if (d.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return;  // junctions and links
            Walk(dir + d.cFileName);
        });
        ForEachMatch(dir + KX_T("zul.ctl"), [&](const sys::FindData& d) {
            if (!(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) found_.push_back(dir + d.cFileName);
        });
    }

private:
    std::vector<Text>& found_;
    std::set<DirectoryId> visited_;
};

}  // namespace

Text InstallationList(Component kind, TextView listedFiles, const Text& control) {
    const ComponentRules rules = RulesOf(kind);
    std::vector<Text> lines;
    ForEachLine(listedFiles, [&](TextView file) {
        if (kind == Component::Zul && Trim(DirectoryPart(file)).empty()) return;
        const Text dir(InstallationBase(file));
        if (!IsInstallation(dir, rules)) return;
        auto version = LookupModuleVersion(Text(file), control, kBuildLineCase);
        if (!version || Trim(TextView(*version)).empty()) version = FromScript(fixed::Unknown);
        lines.push_back(rules.prefix + *version + KX_T(">  -  ") + dir);
    });
    std::vector<TextView> views(lines.begin(), lines.end());
    SortUnique(views, [](TextView a, TextView b) { return CompareLocaleNoCase(a, b); });
    const Text joined = WriteLines(views);
    return Text(Trim(TextView(joined)));
}

std::vector<Text> FindZulControlFiles() {
    std::vector<Text> found;
    ControlFileSearch search(found);
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (1u << i))) continue;
        const Char root[] = {Char('A' + i), Char(':'), Char('\\'), Char(0)};
        if (sys::DriveType(root) == DRIVE_FIXED) search.Walk(root);
    }
    return found;
}

}  // namespace kx

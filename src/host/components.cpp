#include "host/components.h"

#include <utility>

#include "frame/line_list.h"
#include "frame/result.h"
#include "frame/sys.h"
#include "frame/text_rules.h"
#include "host/find_files.h"
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

bool IsControlFileName(const Char* name) {
    // The name is ASCII: letter case of A..Z alone decides.
    return UpperAZ(TextView(name)) == KX_T("ZUL.CTL");
}

class ControlFileSearch {
public:
    explicit ControlFileSearch(std::vector<Text>& found) : found_(found) {}

    // One listing per directory: the subdirectories are walked first, then
    // the directory's own "zul.ctl" is added, as a second listing with that
    // pattern would give it (by long or short name, in any letter case).
    void Walk(Text dir) {
        if (dir.empty() || dir.back() != Char('\\')) dir.push_back(Char('\\'));
        std::vector<Text> own;
        ForEachMatch(dir + KX_T("*.*"), [&](const sys::FindData& d) {
            if (!(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                if (IsControlFileName(d.cFileName) || IsControlFileName(d.cAlternateFileName))
                    own.push_back(dir + d.cFileName);
                return;
            }
            if (IsDots(d.cFileName)) return;
            // Junctions, symbolic links and mount points are the only ways
            // back into a tree (NTFS has no directory hard links); Wine shows
            // its Unix links as reparse points too. Not following them keeps
            // the walk finite without asking each directory for its identity,
            // which cost three quarters of the walk's time.
            if (d.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return;
            Walk(dir + d.cFileName);
        });
        for (auto& f : own) found_.push_back(std::move(f));
    }

private:
    std::vector<Text>& found_;
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

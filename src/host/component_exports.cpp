// Component-list exports: the ZUL and gate installations behind a list of
// files, and the ZUL installations found on the fixed disks.
#include "frame/guard.h"
#include "frame/line_list.h"
#include "host/components.h"

namespace {

kx::TextResult ListOf(kx::Component kind, const char* files, const char* control) {
    const kx::Text list = kx::Arg(files);
    const kx::Text text = kx::InstallationList(kind, kx::TextView(list), kx::Arg(control));
    if (text.empty()) return kx::TextResult::Fixed(kx::fixed::Empty);
    return text;
}

}  // namespace

KX_EXPORT const char* ProcessZULList(const char* files, const char* control) {
    return kx::GuardText(kx::fixed::Empty, [&] { return ListOf(kx::Component::Zul, files, control); });
}

KX_EXPORT const char* ProcessGateList(const char* files, const char* control) {
    return kx::GuardText(kx::fixed::Empty, [&] { return ListOf(kx::Component::Gate, files, control); });
}

KX_EXPORT const char* GetZULVersionList(const char* control) {
    return kx::GuardText(kx::fixed::Empty, [&]() -> kx::TextResult {
        const auto found = kx::FindZulControlFiles();
        std::vector<kx::TextView> views(found.begin(), found.end());
        const kx::Text list = kx::WriteLines(views);
        const kx::Text text = kx::InstallationList(kx::Component::Zul, kx::TextView(list), kx::Arg(control));
        if (text.empty()) return kx::TextResult::Fixed(kx::fixed::Empty);
        return text;
    });
}

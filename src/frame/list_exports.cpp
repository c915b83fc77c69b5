// Line-list exports: add to, pick from and merge lists kept in script
// variables. Identical in both builds.
#include "frame/guard.h"
#include "frame/line_list.h"
#include "frame/text.h"

namespace {
int CompareItems(kx::TextView a, kx::TextView b) { return kx::CompareLocaleNoCase(a, b); }
}  // namespace

KX_EXPORT void EmptyProc() {}

KX_EXPORT const char* AddToList(const char* list, const char* item) {
    return kx::GuardText(kx::fixed::Empty, [&] {
        const kx::Text l = kx::Arg(list), i = kx::Arg(item);
        return kx::AddToSortedList(kx::TextView(l), kx::TextView(i), CompareItems);
    });
}

KX_EXPORT const char* GetEntry(const char* list, int number) {
    return kx::GuardText(kx::fixed::Empty, [&]() -> kx::TextResult {
        const kx::Text l = kx::Arg(list);
        const auto line = kx::NthLine(kx::TextView(l), number);
        if (!line) return kx::TextResult::Fixed(kx::fixed::Empty);
        return kx::Text(*line);
    });
}

KX_EXPORT const char* JoinLists(const char* first, const char* second) {
    return kx::GuardText(kx::fixed::Empty, [&]() -> kx::TextResult {
        const kx::Text a = kx::Arg(first), b = kx::Arg(second);
        if (a.empty() && b.empty()) return kx::TextResult::Fixed(kx::fixed::Empty);
        return kx::JoinSortedLists(kx::TextView(a), kx::TextView(b), CompareItems);
    });
}

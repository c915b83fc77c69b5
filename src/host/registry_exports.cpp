// HKLM registry exports: create, delete and list keys, write and delete
// string values. The create exports report failure; the delete exports
// report success whatever the registry had.
#include "frame/guard.h"
#include "frame/line_list.h"
#include "frame/sys.h"
#include "host/registry.h"

namespace {
constexpr int kSuccess = 0;
constexpr int kFailure = 1;
}  // namespace

KX_EXPORT int RegCreateHKLMKey(const char* path) {
    return kx::GuardInt(kFailure, [&] { return kx::hklm::Create(kx::Arg(path)) ? kSuccess : kFailure; });
}

KX_EXPORT int RegDeleteHKLMKey(const char* path) {
    return kx::GuardInt(kFailure, [&] {
        const kx::Text p(kx::hklm::KeyPath(kx::Arg(path)));
        // A path naming the root itself deletes nothing.
        if (!p.empty()) kx::hklm::DeleteTree(HKEY_LOCAL_MACHINE, p);
        return kSuccess;
    });
}

KX_EXPORT int RegCreateHKLMValue(const char* path, const char* name, const char* text) {
    return kx::GuardInt(kFailure, [&] {
        const kx::RegKey key = kx::hklm::Create(kx::Arg(path));
        if (!key) return kFailure;
        const kx::Text n = kx::Arg(name), t = kx::Arg(text);
        const auto bytes = static_cast<DWORD>((t.size() + 1) * sizeof(kx::Char));
        return kx::sys::SetValue(key.get(), n.c_str(), REG_SZ, reinterpret_cast<const BYTE*>(t.c_str()), bytes) ==
                       ERROR_SUCCESS
                   ? kSuccess
                   : kFailure;
    });
}

KX_EXPORT int RegDeleteHKLMValue(const char* path, const char* name) {
    return kx::GuardInt(kFailure, [&] {
        const kx::RegKey key = kx::hklm::Open(kx::Arg(path));
        if (key) kx::sys::DeleteValue(key.get(), kx::Arg(name).c_str());
        return kSuccess;
    });
}

KX_EXPORT const char* RegGetHKLMKeyList(const char* path) {
    return kx::GuardText(kx::fixed::Empty, [&]() -> kx::TextResult {
        const kx::RegKey key = kx::hklm::Open(kx::Arg(path));
        if (!key) return kx::TextResult::Fixed(kx::fixed::Empty);
        const auto names = kx::hklm::SubkeyNames(key.get());
        std::vector<kx::TextView> items(names.begin(), names.end());
        return kx::WriteLines(items);
    });
}

// Product version exports: the installed KX version of a program file, and
// removing the registry record of a replaced version.
#include <array>

#include "frame/guard.h"
#include "frame/sys.h"
#include "frame/text_rules.h"
#include "host/file_io.h"
#include "host/module_version.h"
#include "host/registry.h"

namespace {

// Versions recorded under the old product key, and as version subkeys.
constexpr std::array<const kx::Char*, 5> kOldKeyVersions = {KX_T("5.9.2.0"), KX_T("5.9.3.0"), KX_T("5.9.4.0"),
                                                            KX_T("5.10.0.0"), KX_T("5.11.0.0")};
constexpr std::array<const kx::Char*, 2> kSubkeyVersions = {KX_T("5.12.0.0"), KX_T("5.13.0.0")};

template <size_t N>
bool OneOf(const kx::Text& v, const std::array<const kx::Char*, N>& list) {
    for (const kx::Char* x : list)
        if (v == x) return true;
    return false;
}

kx::TextResult DeleteOldProductKey(const kx::Text& ver, const kx::Text& dir) {
    kx::Text installDir, version;
    {
        const kx::RegKey key = kx::hklm::Open(kx::kOldProductKey);
        if (key) {
            installDir = kx::hklm::ReadText(key.get(), KX_T("InstallDir")).value_or(kx::Text());
            version = kx::hklm::ReadText(key.get(), KX_T("Version")).value_or(kx::Text());
        }
    }
    if (kx::NormalizeDirectory(installDir) != dir) return kx::TextResult::Fixed(kx::fixed::Dash);
    if (version != ver) return kx::TextResult::Fixed(kx::fixed::Question);
    kx::hklm::DeleteTree(HKEY_LOCAL_MACHINE, kx::kOldProductKey);
    return kx::TextResult::Fixed(kx::fixed::Ok);
}

kx::TextResult DeleteVersionSubkey(const kx::Text& ver, const kx::Text& dir) {
    const kx::RegKey versions = kx::hklm::Open(kx::kVersionsKey);
    if (!versions) return kx::TextResult::Fixed(kx::fixed::Dash);
    for (const kx::Text& name : kx::hklm::SubkeyNames(versions.get())) {
        if (name.find(ver) == kx::Text::npos) continue;
        kx::Text installDir;
        {
            kx::RegKey sub;
            if (kx::sys::OpenKey(versions.get(), name.c_str(), KEY_ALL_ACCESS, sub.put()) != ERROR_SUCCESS) continue;
            installDir = kx::hklm::ReadText(sub.get(), KX_T("InstallDir")).value_or(kx::Text());
        }
        // The short form as it is: no backslash added or removed.
        if (kx::UpperLocale(kx::ShortPathName(installDir)) == dir) {
            kx::hklm::DeleteTree(versions.get(), name);
            return kx::TextResult::Fixed(kx::fixed::Ok);
        }
    }
    return kx::TextResult::Fixed(kx::fixed::Dash);
}

}  // namespace

KX_EXPORT const char* GetKXVersion(const char* program, const char* control) {
    return kx::GuardText(kx::fixed::Unknown, [&]() -> kx::TextResult {
        auto version = kx::LookupModuleVersion(kx::Arg(program), kx::Arg(control), kx::kBuildLineCase);
        if (!version) return kx::TextResult::Fixed(kx::fixed::Unknown);
        return *version;
    });
}

KX_EXPORT const char* RegDeleteKXVer(const char* version, const char* directory) {
    return kx::GuardText(kx::fixed::Bang, [&]() -> kx::TextResult {
        const kx::Text dir = kx::NormalizeDirectory(kx::Arg(directory));
        if (dir.empty()) return kx::TextResult::Fixed(kx::fixed::Dash);
        const kx::Text ver(kx::Trim(kx::TextView(kx::Arg(version))));
        if (OneOf(ver, kOldKeyVersions)) return DeleteOldProductKey(ver, dir);
        if (OneOf(ver, kSubkeyVersions)) return DeleteVersionSubkey(ver, dir);
        return kx::TextResult::Fixed(kx::fixed::Dash);
    });
}

#include "frame/load_setup.h"

#include "frame/handles.h"
#include "frame/sys.h"
#include "frame/text.h"

namespace kx {
namespace {

// Writes `name` as REG_DWORD 1 unless a value of that name exists already, of
// whatever type.
void DefaultToOne(HKEY key, const Char* name) {
    if (sys::QueryValue(key, name, nullptr, nullptr, nullptr) != ERROR_FILE_NOT_FOUND) return;
    const DWORD one = 1;
    sys::SetValue(key, name, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
}

}  // namespace

void SetBtrieveIntlOptions() noexcept {
    // The Win32 registry functions refuse a leading backslash.
    RegKey key;
    if (sys::CreateKey(HKEY_LOCAL_MACHINE, KX_T("SOFTWARE\\Titan\\Btrieve\\Configuration\\Intl"), KEY_ALL_ACCESS,
                       key.put()) != ERROR_SUCCESS)
        return;
    DefaultToOne(key.get(), KX_T("IgnoreAnsiOEM"));
    DefaultToOne(key.get(), KX_T("IgnoreOEMAnsi"));
}

}  // namespace kx

// Magic INI exports: the database user, password and server of the ODER
// entry. The Oracle build cuts the value as a comma text, the migration
// build by counting commas.
#include "frame/guard.h"
#include "frame/sys.h"
#include "host/file_io.h"
#include "host/magic_ini.h"

namespace {

kx::TextResult EntryField(const char* file, int field) {
    const kx::Text name = kx::Arg(file);
    if (name.empty() || kx::sys::GetAttributes(name.c_str()) == INVALID_FILE_ATTRIBUTES)
        return kx::TextResult::Fixed(kx::fixed::Empty);
    const kx::Text content = kx::ReadTextFile(name);
    const kx::Text value =
        kx::magic::ReadEntryValue(kx::TextView(content), [](kx::TextView line) { return kx::UpperLocale(line); });
    if constexpr (sizeof(kx::Char) == 2)
        return kx::magic::CommaTextField(kx::TextView(value), field);
    else
        return kx::magic::FieldBetweenCommas(kx::TextView(value), field);
}

}  // namespace

KX_EXPORT const char* GetIniDBUser(const char* file) {
    return kx::GuardText(kx::fixed::Empty, [&] { return EntryField(file, kx::magic::kUserField); });
}

KX_EXPORT const char* GetIniDBPassword(const char* file) {
    return kx::GuardText(kx::fixed::Empty, [&] { return EntryField(file, kx::magic::kPasswordField); });
}

KX_EXPORT const char* GetIniDBServer(const char* file) {
    return kx::GuardText(kx::fixed::Empty, [&] { return EntryField(file, kx::magic::kServerField); });
}

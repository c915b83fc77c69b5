#include "host/module_version.h"

#include <vector>

#include "frame/handles.h"
#include "frame/line_list.h"
#include "frame/sys.h"
#include "host/crc32.h"
#include "host/file_io.h"
#include "host/registry.h"
#include "host/version_rules.h"

namespace kx {

Text ComputeModuleChecksum(const Text& file) {
    ClearReadOnly(file);
    // Opened for writing too: a program that is running gives "00000000".
    FileHandle f(sys::OpenFile(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING));
    Crc32 crc;
    uint64_t total = 0;
    const bool read = f && ReadChunks(f.get(), [&](const char* data, size_t n) {
        crc.Update(data, n);
        total += n;
    });
    const std::string text = ChecksumText(read && total > 0 ? crc.Value() : 0);
    return Text(text.begin(), text.end());
}

Text AddInstallationSuffix(const Text& version, const Text& program) {
    if (!TakesInstallationSuffix(TextView(version))) return version;
    Text result(Trim(TextView(version)));
    const Text base = UpperLocale(InstallationBase(TextView(program)));
    const RegKey versions = hklm::Open(kVersionsKey);
    if (!versions) return result;
    for (const Text& name : hklm::SubkeyNames(versions.get())) {
        if (name.find(result) == Text::npos) continue;
        RegKey sub;
        if (sys::OpenKey(versions.get(), name.c_str(), KEY_ALL_ACCESS, sub.put()) != ERROR_SUCCESS) continue;
        const Text dir = hklm::ReadText(sub.get(), KX_T("InstallDir")).value_or(Text());
        if (UpperLocale(DropTrailingBackslash(TextView(dir))) == base) {
            result += InstallationSuffix(TextView(name));
            break;
        }
    }
    return result;
}

std::optional<Text> LookupModuleVersion(const Text& program, const Text& control, LineCase lineCase) {
    try {
        if (sys::GetAttributes(control.c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
        const Text key = ComputeModuleChecksum(program);
        const Text content = ReadTextFile(control);
        std::optional<Text> version;
        // Lines end at LF or CR LF; a CR left at a line's end is trimmed.
        size_t start = 0;
        while (!version && start < content.size()) {
            size_t end = content.find(Char('\n'), start);
            if (end == Text::npos) end = content.size();
            const TextView raw(content.data() + start, end - start);
            const Text upper = lineCase == LineCase::Locale ? UpperLocale(raw) : UpperAZ(raw);
            if (auto v = ControlLineVersion(Trim(TextView(upper)), TextView(key))) version = Text(*v);
            start = end + 1;
        }
        if (!version) return std::nullopt;
        return AddInstallationSuffix(*version, program);
    } catch (...) {
        return std::nullopt;
    }
}

Text NormalizeDirectory(const Text& path) {
    Text out = ShortPathName(path);
    out = UpperLocale(out);
    if (!out.empty() && out.back() != Char('\\')) out.push_back(Char('\\'));
    return out;
}

}  // namespace kx

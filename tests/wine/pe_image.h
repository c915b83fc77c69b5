// Reads a loaded module's own export and import directories.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kxtest {

struct ExportEntry {
    std::string name;
    int ordinal;
};

struct ExportDirectory {
    std::string dllName;
    std::vector<ExportEntry> named;
    int functionCount = 0;  // ordinals in use, named or not
};

inline const IMAGE_NT_HEADERS* NtHeaders(HMODULE m) {
    auto base = reinterpret_cast<const BYTE*>(m);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
}

inline ExportDirectory ReadExports(HMODULE m) {
    auto base = reinterpret_cast<const BYTE*>(m);
    const auto& dir = NtHeaders(m)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    ExportDirectory out;
    if (dir.VirtualAddress == 0) return out;
    auto exp = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    out.dllName = reinterpret_cast<const char*>(base + exp->Name);
    auto functions = reinterpret_cast<const DWORD*>(base + exp->AddressOfFunctions);
    for (DWORD i = 0; i < exp->NumberOfFunctions; ++i)
        if (functions[i] != 0) ++out.functionCount;
    auto names = reinterpret_cast<const DWORD*>(base + exp->AddressOfNames);
    auto ordinals = reinterpret_cast<const WORD*>(base + exp->AddressOfNameOrdinals);
    for (DWORD i = 0; i < exp->NumberOfNames; ++i)
        out.named.push_back({reinterpret_cast<const char*>(base + names[i]), static_cast<int>(exp->Base + ordinals[i])});
    return out;
}

inline std::vector<std::string> ReadImportedDlls(HMODULE m) {
    auto base = reinterpret_cast<const BYTE*>(m);
    const auto& dir = NtHeaders(m)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::vector<std::string> out;
    if (dir.VirtualAddress == 0) return out;
    for (auto d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name != 0; ++d)
        out.push_back(reinterpret_cast<const char*>(base + d->Name));
    return out;
}

}  // namespace kxtest

// The platform-free rules of the product version records: reading a control
// file line, the installation-suffix threshold and the base directory of a
// program file. Templates over the character type.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "frame/text_rules.h"

namespace kx {

// The version text of a control-file line that is already upper-cased and
// trimmed, when the line holds `key`: what follows the first "-", trimmed, or
// the whole line when it has no "-". Nothing when the line is empty or does
// not hold the key.
template <class C>
std::optional<std::basic_string_view<C>> ControlLineVersion(std::basic_string_view<C> line,
                                                            std::basic_string_view<C> key) {
    if (line.empty() || line.find(key) == line.npos) return std::nullopt;
    const size_t dash = line.find(C('-'));
    if (dash == line.npos) return line;
    return Trim(line.substr(dash + 1));
}

// Versions from "5.12.0.0" on carry an installation suffix. The order is the
// plain character-code order, so "5.9.4.0" is not below "5.12.0.0".
template <class C>
bool TakesInstallationSuffix(std::basic_string_view<C> version) {
    static constexpr C threshold[] = {C('5'), C('.'), C('1'), C('2'), C('.'), C('0'), C('.'), C('0')};
    return version.compare(std::basic_string_view<C>(threshold, 8)) >= 0;
}

// The directory part of a file name: up to and including its last "\" or ":".
template <class C>
std::basic_string_view<C> DirectoryPart(std::basic_string_view<C> path) {
    static constexpr C separators[] = {C('\\'), C(':')};
    const size_t at = path.find_last_of(std::basic_string_view<C>(separators, 2));
    return at == path.npos ? std::basic_string_view<C>() : path.substr(0, at + 1);
}

template <class C>
std::basic_string_view<C> DropTrailingBackslash(std::basic_string_view<C> path) {
    if (!path.empty() && path.back() == C('\\')) path.remove_suffix(1);
    return path;
}

// The installation directory two levels above a program file:
// C:\KX\Programm\zul.exe gives C:\KX.
template <class C>
std::basic_string_view<C> InstallationBase(std::basic_string_view<C> program) {
    return DropTrailingBackslash(DirectoryPart(DropTrailingBackslash(DirectoryPart(program))));
}

// The two characters of a version subkey's name that begin at its first "_"
// (its first two characters when it has none).
template <class C>
std::basic_string_view<C> InstallationSuffix(std::basic_string_view<C> subkey) {
    const size_t at = subkey.find(C('_'));
    return subkey.substr(at == subkey.npos ? 0 : at, 2);
}

}  // namespace kx

// Path rules of the directory dialog that do not depend on the platform:
// refused characters of the path field, the drive part of a path, the root and
// folders of a directory as the directory list shows them, the parent of a
// directory, and the name of the write probe. Templates, so both builds and
// the native unit tests share them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kx::seldir {

// From this code of the ANSI code page on (the Cyrillic letters А to я of
// 1251), a character may not be typed or pasted into the path field.
inline constexpr unsigned kFirstRefusedCode = 0xC0;

// `text` without its refused characters; `ansiCode(c)` gives a character's
// code in the ANSI code page.
template <class C, class AnsiCode>
std::basic_string<C> RemoveRefused(std::basic_string_view<C> text, AnsiCode&& ansiCode) {
    std::basic_string<C> kept;
    kept.reserve(text.size());
    for (C c : text)
        if (ansiCode(c) < kFirstRefusedCode) kept.push_back(c);
    return kept;
}

template <class C>
bool IsNetworkPath(std::basic_string_view<C> path) {
    return path.size() >= 2 && path[0] == C('\\') && path[1] == C('\\');
}

// The drive part of a path: "C:" for C:\KX, "" for a path without a drive
// letter (relative paths, network paths).
template <class C>
std::basic_string_view<C> DrivePart(std::basic_string_view<C> path) {
    if (path.size() >= 2 && path[1] == C(':')) return path.substr(0, 2);
    return {};
}

// Length of the root of an absolute path: "C:\" (3), or "\\server\share\"
// with its final backslash when there is one; 0 when the path has no root.
template <class C>
size_t RootLength(std::basic_string_view<C> path) {
    if (path.size() >= 3 && path[1] == C(':') && path[2] == C('\\')) return 3;
    if (!IsNetworkPath(path)) return 0;
    const size_t server = path.find(C('\\'), 2);
    if (server == std::basic_string_view<C>::npos || server == 2) return 0;
    const size_t share = path.find(C('\\'), server + 1);
    if (share == std::basic_string_view<C>::npos) return path.size();
    return share + 1;
}

// A directory as the directory list shows it: its root, then one folder name
// for each level down to the directory itself.
template <class C>
struct DirectoryChain {
    std::basic_string<C> root;
    std::vector<std::basic_string<C>> folders;
};

template <class C>
DirectoryChain<C> SplitDirectory(std::basic_string_view<C> dir) {
    DirectoryChain<C> chain;
    const size_t root = RootLength(dir);
    chain.root.assign(dir.substr(0, root));
    if (root > 0 && chain.root.back() != C('\\')) chain.root.push_back(C('\\'));
    for (size_t at = root; at < dir.size();) {
        size_t end = dir.find(C('\\'), at);
        if (end == std::basic_string_view<C>::npos) end = dir.size();
        if (end > at) chain.folders.emplace_back(dir.substr(at, end - at));
        at = end + 1;
    }
    return chain;
}

// The directory one level up, without a final backslash; "" for a root or a
// path without a directory part.
template <class C>
std::basic_string_view<C> ParentOf(std::basic_string_view<C> dir) {
    while (dir.size() > RootLength(dir) && !dir.empty() && dir.back() == C('\\')) dir.remove_suffix(1);
    const size_t root = RootLength(dir);
    if (dir.size() <= root) return {};
    const size_t slash = dir.find_last_of(C('\\'));
    if (slash == std::basic_string_view<C>::npos || slash + 1 < root) return {};
    if (slash + 1 == root) return dir.substr(0, root);
    return dir.substr(0, slash);
}

// The write probe's full name in `dir`: "temp.tmp", with "_" put in front for
// as long as `exists(name)` says a file of that name is there.
template <class C, class Exists>
std::basic_string<C> ProbeName(std::basic_string_view<C> dir, Exists&& exists) {
    std::basic_string<C> base(dir);
    if (base.empty() || base.back() != C('\\')) base.push_back(C('\\'));
    const C temp[] = {C('t'), C('e'), C('m'), C('p'), C('.'), C('t'), C('m'), C('p'), C(0)};
    std::basic_string<C> name(temp);
    while (exists(base + name)) name.insert(name.begin(), C('_'));
    return base + name;
}

}  // namespace kx::seldir

// The ODER database entry of a Magic INI file and its comma-separated fields.
// Portable templates: the locale's upper-casing is passed in, and each build
// has its own way of cutting the value into fields.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "frame/line_list.h"
#include "frame/text_rules.h"

namespace kx::magic {

template <class C>
inline constexpr C kEntryName[] = {C('O'), C('D'), C('E'), C('R')};
template <class C>
inline constexpr C kPrintersHeader[] = {C('['), C('M'), C('A'), C('G'), C('I'), C('C'), C('_'), C('P'), C('R'), C('I'),
                                        C('N'), C('T'), C('E'), C('R'), C('S'), C(']')};

// Field numbers of the entry's value.
inline constexpr int kUserField = 7;
inline constexpr int kPasswordField = 8;
inline constexpr int kServerField = 19;

template <class C>
void DropTrailingPlus(std::basic_string<C>& line) {
    if (!line.empty() && line.back() == C('+')) line.pop_back();
}

// The entry's value: the ODER line and every non-empty line after it, up to
// "[MAGIC_PRINTERS]", each trimmed, upper-cased and without a final "+",
// joined; then everything up to the first "=" removed, and trimmed. Empty when
// "[MAGIC_PRINTERS]" comes before any ODER line. A file that ends without
// "[MAGIC_PRINTERS]" keeps what was collected up to its end.
template <class C, class Upper>
std::basic_string<C> ReadEntryValue(std::basic_string_view<C> file, Upper&& upper) {
    using View = std::basic_string_view<C>;
    const View entryName(kEntryName<C>, 4), header(kPrintersHeader<C>, 16);
    std::basic_string<C> entry;
    bool inEntry = false, done = false;
    ForEachLine(file, [&](View raw) {
        if (done) return;
        std::basic_string<C> line = upper(Trim(raw));
        if (line == header) {
            done = true;
            return;
        }
        if (!inEntry) {
            if (View(line).substr(0, 4) != entryName) return;
            inEntry = true;
        } else if (line.empty()) {
            return;
        }
        DropTrailingPlus(line);
        entry += line;
    });
    const size_t eq = entry.find(C('='));
    return std::basic_string<C>(Trim(View(entry).substr(eq == entry.npos ? 0 : eq + 1)));
}

// Migration build: the text between the (n-1)-th and the n-th comma, trimmed;
// empty when either comma is missing.
template <class C>
std::basic_string<C> FieldBetweenCommas(std::basic_string_view<C> value, int n) {
    if (n < 1) return {};
    size_t start = 0;
    for (int i = 1; i < n; ++i) {
        const size_t comma = value.find(C(','), start);
        if (comma == value.npos) return {};
        start = comma + 1;
    }
    const size_t end = value.find(C(','), start);
    if (end == value.npos) return {};
    return std::basic_string<C>(Trim(value.substr(start, end - start)));
}

// Oracle build: the value cut as a comma text (quoted fields, blanks and
// control characters ending an unquoted field); the n-th item, trimmed. The
// text ends at a zero character, as a zero-terminated one does.
template <class C>
std::vector<std::basic_string<C>> CommaFields(std::basic_string_view<C> s) {
    s = s.substr(0, s.find(C(0)));
    std::vector<std::basic_string<C>> fields;
    size_t i = 0;
    const size_t n = s.size();
    auto skipBlanks = [&] {
        while (i < n && IsTrimmedCode(s[i])) ++i;
    };
    skipBlanks();
    while (i < n) {
        std::basic_string<C> field;
        if (s[i] == C('"')) {
            ++i;
            while (i < n) {
                if (s[i] == C('"')) {
                    if (i + 1 < n && s[i + 1] == C('"')) {
                        field.push_back(C('"'));
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field.push_back(s[i++]);
            }
        } else {
            const size_t start = i;
            while (i < n && s[i] != C(',') && !IsTrimmedCode(s[i])) ++i;
            field.assign(s.substr(start, i - start));
        }
        fields.push_back(std::move(field));
        skipBlanks();
        if (i < n && s[i] == C(',')) {
            if (i + 1 == n) fields.emplace_back();
            ++i;
            skipBlanks();
        }
    }
    return fields;
}

template <class C>
std::basic_string<C> CommaTextField(std::basic_string_view<C> value, int n) {
    const auto fields = CommaFields(value);
    if (n < 1 || static_cast<size_t>(n) > fields.size()) return {};
    return std::basic_string<C>(Trim(std::basic_string_view<C>(fields[static_cast<size_t>(n) - 1])));
}

}  // namespace kx::magic

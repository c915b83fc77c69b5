// Line lists: script texts holding one item per line. Read at CR LF, lone CR
// or lone LF; written with CR LF after every item. Portable templates; the
// comparison of sorted lists is passed in (the locale's in the library).
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

// Calls `each(line)` for every line of `text`, in order. A break at the very
// end does not start a further, empty item; the empty text has no items.
template <class C, class F>
void ForEachLine(std::basic_string_view<C> text, F&& each) {
    size_t start = 0;
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const C c = text[i];
        if (c != C('\r') && c != C('\n')) continue;
        each(text.substr(start, i - start));
        if (c == C('\r') && i + 1 < n && text[i + 1] == C('\n')) ++i;
        start = i + 1;
    }
    if (start < n) each(text.substr(start));
}

template <class C>
std::vector<std::basic_string_view<C>> ReadLines(std::basic_string_view<C> text) {
    std::vector<std::basic_string_view<C>> lines;
    ForEachLine(text, [&](std::basic_string_view<C> line) { lines.push_back(line); });
    return lines;
}

// Item `number` (from 1) in the list's own order, or nothing.
template <class C>
std::optional<std::basic_string_view<C>> NthLine(std::basic_string_view<C> text, long long number) {
    std::optional<std::basic_string_view<C>> found;
    if (number < 1) return found;
    long long seen = 0;
    ForEachLine(text, [&](std::basic_string_view<C> line) {
        if (++seen == number) found = line;
    });
    return found;
}

template <class C>
std::basic_string<C> WriteLines(const std::vector<std::basic_string_view<C>>& items) {
    size_t total = 0;
    for (const auto& item : items) total += item.size() + 2;
    std::basic_string<C> out;
    out.reserve(total);
    for (const auto& item : items) {
        out.append(item);
        out.push_back(C('\r'));
        out.push_back(C('\n'));
    }
    return out;
}

// Sorts `items` by `compare` (negative, zero, positive) and keeps, of items
// the comparison finds equal, only the one that arrived first. n log n.
template <class C, class Compare>
void SortUnique(std::vector<std::basic_string_view<C>>& items, Compare&& compare) {
    std::stable_sort(items.begin(), items.end(),
                     [&](auto a, auto b) { return compare(a, b) < 0; });
    auto last = std::unique(items.begin(), items.end(),
                            [&](auto a, auto b) { return compare(a, b) == 0; });
    items.erase(last, items.end());
}

// The sorted list of `list`'s lines with `item` added as one item (not split).
template <class C, class Compare>
std::basic_string<C> AddToSortedList(std::basic_string_view<C> list, std::basic_string_view<C> item,
                                     Compare&& compare) {
    auto items = ReadLines(list);
    items.push_back(item);
    SortUnique(items, compare);
    return WriteLines(items);
}

// The sorted union of two lists; the seam of a first list that ends with a
// line break yields one empty item, as the joined text reads.
template <class C, class Compare>
std::basic_string<C> JoinSortedLists(std::basic_string_view<C> first, std::basic_string_view<C> second,
                                     Compare&& compare) {
    if (first.empty() && second.empty()) return {};
    std::basic_string<C> joined;
    if (first.empty()) {
        joined = second;
    } else if (second.empty()) {
        joined = first;
    } else {
        joined.reserve(first.size() + 2 + second.size());
        joined.append(first);
        joined.push_back(C('\r'));
        joined.push_back(C('\n'));
        joined.append(second);
    }
    auto items = ReadLines(std::basic_string_view<C>(joined));
    SortUnique(items, compare);
    return WriteLines(items);
}

}  // namespace kx

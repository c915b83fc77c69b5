// Line-list benchmark: AddToList and JoinLists on 10k, 100k and 200k items,
// each against a reference measured in the same run: a plain std::sort of the
// same items with the locale comparison alone (CompareString, NORM_IGNORECASE),
// the least any sorted list under that comparison can cost.
//
//   lists_bench.exe DLL-PATH
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using TextFn = const char*(__stdcall*)(const char*, const char*);

std::vector<std::string> Words(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::string> words;
    words.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        std::string w;
        const int len = 4 + static_cast<int>(rng() % 12);
        const bool cyrillic = rng() % 2;
        for (int k = 0; k < len; ++k) {
            const int c = static_cast<int>(rng() % 26);
            w.push_back(cyrillic ? static_cast<char>(0xC0 + c + (rng() % 2) * 32) : static_cast<char>((rng() % 2 ? 'a' : 'A') + c));
        }
        words.push_back(std::move(w));
    }
    return words;
}

std::string List(const std::vector<std::string>& words, size_t from, size_t to) {
    std::string s;
    for (size_t i = from; i < to; ++i) s += words[i] + "\r\n";
    return s;
}

template <class F>
double Seconds(F&& f) {
    const auto t0 = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

double ReferenceSort(std::vector<std::string> words) {
    return Seconds([&] {
        std::sort(words.begin(), words.end(), [](const std::string& a, const std::string& b) {
            return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size())) == CSTR_LESS_THAN;
        });
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: lists_bench.exe DLL-PATH\n");
        return 2;
    }
    HMODULE dll = LoadLibraryA(argv[1]);
    if (!dll) {
        std::fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    auto add = reinterpret_cast<TextFn>(GetProcAddress(dll, "AddToList"));
    auto join = reinterpret_cast<TextFn>(GetProcAddress(dll, "JoinLists"));
    std::printf("%-9s %10s %10s %10s %9s %9s %11s\n", "items", "AddToList", "JoinLists", "reference", "add/ref",
                "join/ref", "growth/nlgn");
    double base = 0, baseN = 0;
    for (size_t n : {10000u, 100000u, 200000u}) {
        const auto words = Words(n, static_cast<unsigned>(n));
        const std::string all = List(words, 0, n), first = List(words, 0, n / 2), second = List(words, n / 2, n);
        size_t outLen = 0;
        const double tAdd = Seconds([&] { outLen = std::string(add(all.c_str(), "zzz")).size(); });
        const double tJoin = Seconds([&] { outLen += std::string(join(first.c_str(), second.c_str())).size(); });
        const double tRef = ReferenceSort(words);
        const double nlgn = static_cast<double>(n) * std::log2(static_cast<double>(n));
        if (base == 0) base = tAdd, baseN = nlgn;
        std::printf("%-9u %9.3fs %9.3fs %9.3fs %9.2f %9.2f %11.2f\n", static_cast<unsigned>(n), tAdd, tJoin, tRef,
                    tAdd / tRef, tJoin / tRef, (tAdd / base) / (nlgn / baseN));
        if (outLen == 0) return 1;
    }
    std::printf("growth/nlgn: AddToList time relative to 10k items, divided by the n log n ratio (1.00 = n log n)\n");
    FreeLibrary(dll);
    return 0;
}

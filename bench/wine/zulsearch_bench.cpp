// GetZULVersionList benchmark: the search of every fixed disk, timed (best of
// three) inside one process. bench/zulsearch compares it with find.
//   zulsearch_bench.exe DLL-PATH CONTROL-FILE
// Prints "<seconds> <peak-KiB> <lines>".
#include <cstdio>
#include <string>

#include "bench_util.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: zulsearch_bench.exe DLL-PATH CONTROL-FILE\n");
        return 2;
    }
    HMODULE dll = LoadLibraryA(argv[1]);
    auto search = dll ? reinterpret_cast<const char*(__stdcall*)(const char*)>(GetProcAddress(dll, "GetZULVersionList"))
                      : nullptr;
    if (!search) return 1;
    std::string result;
    const double t = kxbench::BestOf(1, [&] { result = search(argv[2]); });
    size_t lines = result.empty() ? 0 : 1;
    for (char c : result) lines += c == '\n';
    std::printf("%.3f %zu %zu\n", t, kxbench::PeakKiB(), lines);
    return 0;
}

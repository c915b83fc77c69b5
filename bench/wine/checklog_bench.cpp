// CheckLog benchmark: copies the log to a working file (not timed), then
// times CheckLog on it. bench/checklog compares with grep on the same files.
//   checklog_bench.exe DLL-PATH LOG IGNORE-LIST WORK-FILE RUNS
// Prints "<seconds> <marked-bytes> <peak-KiB> <result>" of the fastest run.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_util.h"

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: checklog_bench.exe DLL-PATH LOG IGNORE-LIST WORK-FILE RUNS\n");
        return 2;
    }
    HMODULE dll = LoadLibraryA(argv[1]);
    auto check = dll ? reinterpret_cast<const char*(__stdcall*)(const char*, const char*)>(GetProcAddress(dll, "CheckLog"))
                     : nullptr;
    if (!check) return 1;
    double best = 1e30;
    std::string result;
    for (int i = 0; i < std::atoi(argv[5]); ++i) {
        if (!CopyFileA(argv[2], argv[4], FALSE)) return 1;
        best = std::min(best, kxbench::Seconds([&] { result = check(argv[4], argv[3]); }));
    }
    WIN32_FILE_ATTRIBUTE_DATA marked{};
    GetFileAttributesExA(argv[4], GetFileExInfoStandard, &marked);
    const unsigned long long markedBytes = (static_cast<unsigned long long>(marked.nFileSizeHigh) << 32) | marked.nFileSizeLow;
    DeleteFileA(argv[4]);
    std::printf("%.3f %llu %zu %s\n", best, markedBytes, kxbench::PeakKiB(), result.c_str());
    return 0;
}

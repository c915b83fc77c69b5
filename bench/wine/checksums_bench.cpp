// File checksum benchmark: CalcFileMD5 and the module checksum behind
// GetKXVersion, timed inside one process on each file given, with the peak
// working set after each file. bench/checksums compares the times with md5sum
// and a native CRC-32 of the same files.
//
//   checksums_bench.exe DLL-PATH CONTROL-FILE FILE...
//
// Prints one line per file and call: "<call> <file> <seconds> <peak-KiB> <result>".
#include <cstdio>
#include <string>

#include "bench_util.h"

namespace {

using Text2 = const char*(__stdcall*)(const char*, const char*);
using Text1 = const char*(__stdcall*)(const char*);
using kxbench::BestOf;
using kxbench::PeakKiB;

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: checksums_bench.exe DLL-PATH CONTROL-FILE FILE...\n");
        return 2;
    }
    HMODULE dll = LoadLibraryA(argv[1]);
    if (!dll) {
        std::fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    auto md5 = reinterpret_cast<Text1>(GetProcAddress(dll, "CalcFileMD5"));
    auto version = reinterpret_cast<Text2>(GetProcAddress(dll, "GetKXVersion"));
    if (!md5 || !version) return 1;
    std::printf("loaded - 0 %zu -\n", PeakKiB());
    for (int i = 3; i < argc; ++i) {
        std::string digest, found;
        const double tMd5 = BestOf(3, [&] { digest = md5(argv[i]); });
        std::printf("md5 %s %.3f %zu %s\n", argv[i], tMd5, PeakKiB(), digest.empty() ? "-" : digest.c_str());
        const double tCrc = BestOf(3, [&] { found = version(argv[i], argv[2]); });
        std::printf("crc %s %.3f %zu %s\n", argv[i], tCrc, PeakKiB(), found.empty() ? "-" : found.c_str());
    }
    FreeLibrary(dll);
    return 0;
}

// The Btrieve stand-in through BTRCALL: 100,000 records of 132 bytes with
// three keys (an integer, a descending float with duplicates, a string with
// duplicates) inserted, then read back in key order and in physical order.
//   btrieve_bench.exe WBTRV32-DLL FILE [RECORDS]
// Prints "<insert s> <close s> <read by key s> <read physically s> <file bytes> <records>".
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench_util.h"

using BtrCall = int(__stdcall*)(WORD, void*, void*, DWORD*, void*, BYTE, CHAR);

namespace {

BtrCall call = nullptr;
char pos[128];

int Call(WORD op, void* data, DWORD length, void* key, BYTE keyLength, int keyNumber) {
    return call(op, pos, data, &length, key, keyLength, static_cast<CHAR>(keyNumber));
}

void Check(int status, const char* what) {
    if (status != 0) {
        std::fprintf(stderr, "%s: status %d\n", what, status);
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: btrieve_bench.exe WBTRV32-DLL FILE [RECORDS]\n");
        return 2;
    }
    HMODULE m = LoadLibraryA(argv[1]);
    call = m ? reinterpret_cast<BtrCall>(GetProcAddress(m, "BTRCALL")) : nullptr;
    if (!call) return 1;
    const int records = argc > 3 ? std::atoi(argv[3]) : 100000;
    std::string name = std::string(argv[2]) + " ";
    DeleteFileA(argv[2]);
    // File layout: 132-byte records, 4096-byte pages, three keys.
    unsigned char layout[16 + 3 * 16] = {};
    layout[0] = 132;
    layout[3] = 16;
    layout[4] = 3;
    auto segment = [&](int i, int position, int length, unsigned flags, int type) {
        unsigned char* s = layout + 16 + 16 * i;
        s[0] = static_cast<unsigned char>(position);
        s[2] = static_cast<unsigned char>(length);
        s[4] = static_cast<unsigned char>(flags & 0xFF);
        s[5] = static_cast<unsigned char>(flags >> 8);
        s[10] = static_cast<unsigned char>(type);
    };
    segment(0, 1, 4, 0x100, 1);           // integer, unique
    segment(1, 5, 8, 0x100 | 0x41, 2);    // float, duplicates, descending
    segment(2, 13, 20, 0x100 | 0x01, 0);  // string, duplicates
    Check(Call(14, layout, sizeof layout, name.data(), static_cast<BYTE>(name.size()), 0), "create");
    Check(Call(0, nullptr, 0, name.data(), static_cast<BYTE>(name.size()), 0), "open");
    char record[132];
    char key[32];
    const double insert = kxbench::Seconds([&] {
        for (int i = 0; i < records; ++i) {
            std::memset(record, ' ', sizeof record);
            const int32_t number = static_cast<int32_t>((i * 7919) % records);
            const double amount = (i % 1000) * 0.25;
            std::memcpy(record, &number, 4);
            std::memcpy(record + 4, &amount, 8);
            std::snprintf(record + 12, 21, "client %-12d", i % 5000);
            record[32] = ' ';
            Check(Call(2, record, sizeof record, key, sizeof key, 0), "insert");
        }
    });
    const double close = kxbench::Seconds([&] { Check(Call(1, nullptr, 0, nullptr, 0, 0), "close"); });
    Check(Call(0, nullptr, 0, name.data(), static_cast<BYTE>(name.size()), -2), "open read-only");
    int read = 0;
    const double byKey = kxbench::Seconds([&] {
        for (int st = Call(12, record, sizeof record, key, sizeof key, 1); st == 0;
             st = Call(6, record, sizeof record, key, sizeof key, 1))
            ++read;
    });
    if (read != records) return 1;
    read = 0;
    const double physical = kxbench::Seconds([&] {
        for (int st = Call(33, record, sizeof record, nullptr, 0, 0); st == 0;
             st = Call(24, record, sizeof record, nullptr, 0, 0))
            ++read;
    });
    Check(Call(1, nullptr, 0, nullptr, 0, 0), "close");
    WIN32_FILE_ATTRIBUTE_DATA a{};
    GetFileAttributesExA(argv[2], GetFileExInfoStandard, &a);
    std::printf("%.3f %.3f %.3f %.3f %lu %d\n", insert, close, byKey, physical, a.nFileSizeLow, records);
    return read == records ? 0 : 1;
}

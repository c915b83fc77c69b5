// The reference CRC-32 for bench/checksums: zlib's crc32 over the file read in
// 1 MiB chunks. Prints the checksum as eight upper-case hex digits.
#include <zlib.h>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: crc32sum FILE\n");
        return 2;
    }
    std::FILE* f = std::fopen(argv[1], "rb");
    if (!f) {
        std::perror(argv[1]);
        return 1;
    }
    std::vector<unsigned char> buf(1 << 20);
    uLong crc = crc32(0L, Z_NULL, 0);
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), f)) > 0) crc = crc32(crc, buf.data(), static_cast<uInt>(n));
    const bool failed = std::ferror(f);
    std::fclose(f);
    if (failed) return 1;
    std::printf("%08lX\n", crc);
    return 0;
}

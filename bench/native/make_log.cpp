// Writes a SQL*Plus-like log of a given size and an ignore list of a given
// number of entries for bench/checklog. Deterministic for equal arguments.
//   make_log LOG-FILE IGNORE-FILE MIB ENTRIES
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: make_log LOG-FILE IGNORE-FILE MIB ENTRIES\n");
        return 2;
    }
    const unsigned long long size = std::strtoull(argv[3], nullptr, 10) << 20;
    const int entries = std::atoi(argv[4]);
    std::mt19937 rng(12345);
    const char* plain[] = {"Table created.", "Package created.", "Grant succeeded.", "1 row created.", "",
                           "PL/SQL procedure successfully completed.", "Commit complete.", "Index created."};
    std::FILE* ignore = std::fopen(argv[2], "wb");
    if (!ignore) return 1;
    for (int i = 0; i < entries; ++i) {
        if (i % 20 == 19)
            std::fprintf(ignore, "%s\r\n", plain[rng() % 4]);  // a non-empty one
        else
            std::fprintf(ignore, "ORA-%05u: expected during an upgrade (entry %d)\r\n", static_cast<unsigned>(rng() % 4000), i);
    }
    std::fclose(ignore);

    std::FILE* log = std::fopen(argv[1], "wb");
    if (!log) return 1;
    std::string buf;
    unsigned long long written = 0;
    char line[512];
    while (written < size) {
        const unsigned r = rng() % 100;
        int n;
        // About one line in ten is an error line, as in a troubled upgrade.
        if (r < 50)
            n = std::snprintf(line, sizeof line, "%s\r\n", plain[rng() % 8]);
        else if (r < 58)
            n = std::snprintf(line, sizeof line, "ORA-%05u: table or view does not exist\r\n", static_cast<unsigned>(rng() % 4000));
        else if (r < 59)
            n = std::snprintf(line, sizeof line, "SP2-%04u: unknown command beginning \"x\"\r\n", static_cast<unsigned>(rng() % 1000));
        else if (r < 62)
            n = std::snprintf(line, sizeof line, "ERROR at line %u:\r\n", static_cast<unsigned>(rng() % 500));
        else if (r < 63)
            n = std::snprintf(line, sizeof line, "Warning: Package Body created with compilation errors.\r\n");
        else
            n = std::snprintf(line, sizeof line, "INSERT INTO KX_CONFIGURATION (ID, NAME, VALUE) VALUES (%u, 'NAME_%u', '%0*u');\r\n",
                              static_cast<unsigned>(rng()), static_cast<unsigned>(rng() % 100000),
                              static_cast<int>(rng() % 120), 7u);
        buf.append(line, static_cast<size_t>(n));
        written += static_cast<unsigned long long>(n);
        if (buf.size() > (1u << 20)) {
            std::fwrite(buf.data(), 1, buf.size(), log);
            buf.clear();
        }
    }
    std::fwrite(buf.data(), 1, buf.size(), log);
    return std::fclose(log) == 0 ? 0 : 1;
}

// A child program for the tests: "kxchild exit N" ends with code N at once,
// "kxchild wait MS" ends with code 0 after MS milliseconds (a running program
// for the tests that find, stop or read programs in use).
#include <windows.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "exit") == 0) return std::atoi(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "wait") == 0) {
        Sleep(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
        return 0;
    }
    return 100;
}

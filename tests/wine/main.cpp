// The Wine test program:
//   kxtests.exe --oracle=PATH --migration=PATH [--screenshots=FOLDER] [gtest flags]
#include <gtest/gtest.h>

#include <cstring>

#include "kestrel_dll.h"
#include "window_driver.h"

namespace kxtest {

std::vector<BuildInfo>& Builds() {
    static std::vector<BuildInfo> builds;
    return builds;
}

const BuildInfo& BuildNamed(const std::string& name) {
    for (const auto& b : Builds())
        if (b.name == name) return b;
    throw std::runtime_error("build " + name + " not given");
}

}  // namespace kxtest

int main(int argc, char** argv) {
    // The builds are known before GoogleTest instantiates the suites.
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--oracle=", 9) == 0)
            kxtest::Builds().push_back({"oracle", kx::catalog::Build::Oracle, argv[i] + 9});
        else if (std::strncmp(argv[i], "--migration=", 12) == 0)
            kxtest::Builds().push_back({"migration", kx::catalog::Build::Migration, argv[i] + 12});
        else if (std::strncmp(argv[i], "--screenshots=", 14) == 0)
            kxtest::SetScreenshotFolder(argv[i] + 14);
    }
    if (kxtest::Builds().empty()) {
        std::fprintf(stderr, "usage: kxtests.exe --oracle=PATH --migration=PATH\n");
        return 2;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

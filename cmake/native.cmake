# The native side: unit tests of the portable logic with AddressSanitizer and
# UndefinedBehaviorSanitizer.
find_package(GTest REQUIRED)
enable_testing()

set(KX_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
file(GLOB KX_UNIT_TESTS CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(kxunit ${KX_UNIT_TESTS})
target_include_directories(kxunit PRIVATE src)
target_compile_options(kxunit PRIVATE -Wall -Wextra -Werror ${KX_SANITIZE})
target_link_options(kxunit PRIVATE ${KX_SANITIZE})
target_link_libraries(kxunit PRIVATE GTest::gtest GTest::gtest_main)
include(GoogleTest)
gtest_discover_tests(kxunit)

# Native references for the benchmarks, optimised and without sanitizers.
find_package(ZLIB REQUIRED)
add_executable(crc32sum bench/native/crc32sum.cpp)
target_compile_options(crc32sum PRIVATE -O2 -Wall -Wextra -Werror)
target_link_libraries(crc32sum PRIVATE ZLIB::ZLIB)
add_executable(make_log bench/native/make_log.cpp)
target_compile_options(make_log PRIVATE -O2 -Wall -Wextra -Werror)

# The Oracle stand-in's portable core, its unit tests, and the oradb tool.
set(KX_SQLITE_DIR "${CMAKE_SOURCE_DIR}/build/third_party/sqlite3")
include(${CMAKE_SOURCE_DIR}/cmake/oradb_core.cmake)
target_compile_options(oradb_core PRIVATE ${KX_SANITIZE})
target_link_options(oradb_core INTERFACE ${KX_SANITIZE})
target_link_libraries(kxunit PRIVATE oradb_core)
add_executable(oradb standins/oci/oradb_tool.cpp)
target_compile_options(oradb PRIVATE -Wall -Wextra -Werror ${KX_SANITIZE})
target_link_libraries(oradb PRIVATE oradb_core)

# The Btrieve engine stand-in's core, its unit tests, and the btrfile tool.
include(${CMAKE_SOURCE_DIR}/cmake/btrieve_core.cmake)
target_compile_options(btr_core PRIVATE ${KX_SANITIZE})
target_link_options(btr_core INTERFACE ${KX_SANITIZE})
target_link_libraries(kxunit PRIVATE btr_core)
target_compile_definitions(kxunit PRIVATE KX_BTRIEVE_SAMPLES="${CMAKE_SOURCE_DIR}/tests/data/btrieve"
                           KX_BTRFILE="$<TARGET_FILE:btrfile>")
add_executable(btrfile standins/btrieve/btrfile_tool.cpp)
target_compile_options(btrfile PRIVATE -Wall -Wextra -Werror ${KX_SANITIZE})
target_link_libraries(btrfile PRIVATE btr_core)
add_dependencies(kxunit btrfile)

# libFuzzer targets, built with clang: one program per tests/fuzz/NAME_fuzz.cpp,
# with AddressSanitizer and UndefinedBehaviorSanitizer (leaks reported).
set(KX_FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
file(GLOB KX_FUZZERS CONFIGURE_DEPENDS tests/fuzz/*_fuzz.cpp)
foreach(src ${KX_FUZZERS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_include_directories(${name} PRIVATE src tests/unit)
  target_compile_options(${name} PRIVATE -g -O1 -Wall -Wextra -Werror ${KX_FUZZ_FLAGS})
  target_link_options(${name} PRIVATE ${KX_FUZZ_FLAGS})
endforeach()

# The Btrieve stand-in's reader, fuzzed with the same flags.
include(${CMAKE_SOURCE_DIR}/cmake/btrieve_core.cmake)
target_compile_options(btr_core PRIVATE -g -O1 ${KX_FUZZ_FLAGS})
target_link_libraries(btrieve_image_fuzz PRIVATE btr_core)

# The Oracle stand-in's text handling (without SQLite), fuzzed the same way.
target_sources(oradb_text_fuzz PRIVATE standins/oci/ora_error.cpp standins/oci/sql_text.cpp standins/oci/tns.cpp
               standins/oci/site.cpp standins/oci/values.cpp)
target_include_directories(oradb_text_fuzz PRIVATE standins/oci)

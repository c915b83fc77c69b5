# The Windows side: both Kestrel.dll builds, the hosts that call them
# (kxcall.exe, the Wine test program) and the benchmarks.
enable_language(RC)

set(KX_OUT "${CMAKE_SOURCE_DIR}/build" CACHE PATH "Where the deliverables go")
set(KX_STDCALL ON)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  # x64 has one calling convention and no @bytes decoration.
  set(KX_STDCALL OFF)
endif()
set(KX_WARNINGS -Wall -Wextra -Werror -Wno-cast-function-type)
# Sources are UTF-8; narrow literals are the product's code page.
set(KX_CHARSET -finput-charset=UTF-8 -fexec-charset=CP1251)
set(KX_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)

file(GLOB KX_FRAME_SOURCES CONFIGURE_DEPENDS src/frame/*.cpp)
list(FILTER KX_FRAME_SOURCES EXCLUDE REGEX "dllmain\\.cpp$")
file(GLOB KX_HOST_SOURCES CONFIGURE_DEPENDS src/host/*.cpp)
# The dialog's resource script is UTF-8, Russian texts included.
set_source_files_properties(src/host/select_dir.rc PROPERTIES COMPILE_FLAGS "-c 65001")

# The .def file `source` as this architecture takes it (x64 has no @bytes
# decorations); its path in `out`.
function(kx_def_file source name out)
  set(def "${source}")
  if(NOT KX_STDCALL)
    file(READ "${source}" text)
    string(REGEX REPLACE "= *[A-Za-z0-9_]+@[0-9]+ *" "" text "${text}")
    set(def "${CMAKE_BINARY_DIR}/${name}.def")
    file(WRITE "${def}" "${text}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source}")
  set(${out} "${def}" PARENT_SCOPE)
endfunction()

# One build of the library: `variant` is oracle (UTF-16, W functions) or
# migration (ANSI, A functions).
function(kx_add_library variant wide)
  set(lib kestrel_${variant})
  kx_def_file("${CMAKE_SOURCE_DIR}/src/frame/${variant}.def" ${variant} def)
  add_library(${lib} SHARED
    ${KX_FRAME_SOURCES} ${KX_HOST_SOURCES}
    src/frame/dllmain.cpp
    src/frame/version.rc
    src/host/select_dir.rc
    ${def})
  target_include_directories(${lib} PRIVATE src)
  target_compile_definitions(${lib} PRIVATE KX_WIDE_TEXT=${wide} WIN32_LEAN_AND_MEAN NOMINMAX
                             _WIN32_WINNT=0x0501 STRICT)
  target_compile_options(${lib} PRIVATE ${KX_WARNINGS} ${KX_CHARSET})
  target_link_options(${lib} PRIVATE ${KX_STATIC_RUNTIME} -s)
  target_link_libraries(${lib} PRIVATE advapi32 user32 gdi32 kernel32 shell32 ole32 version)
  set_target_properties(${lib} PROPERTIES
    OUTPUT_NAME Kestrel PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY "${KX_OUT}/${variant}"
    LIBRARY_OUTPUT_DIRECTORY "${KX_OUT}/${variant}")
endfunction()

kx_add_library(oracle 1)
kx_add_library(migration 0)

# Hosts that load the DLL by name, as an installation script does.
function(kx_add_host target)
  add_executable(${target} ${ARGN})
  target_include_directories(${target} PRIVATE src tests/wine)
  target_compile_definitions(${target} PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  target_compile_options(${target} PRIVATE ${KX_WARNINGS} ${KX_CHARSET})
  target_link_options(${target} PRIVATE ${KX_STATIC_RUNTIME} -s)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${KX_OUT}/bin")
endfunction()

kx_add_host(kxcall src/kxcall/kxcall.cpp)
target_link_libraries(kxcall PRIVATE version)

set(GTEST_SRC /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SRC} gtest EXCLUDE_FROM_ALL)

file(GLOB KX_WINE_TESTS CONFIGURE_DEPENDS tests/wine/*.cpp)
kx_add_host(kxtests ${KX_WINE_TESTS})
target_link_libraries(kxtests PRIVATE gtest version advapi32 shell32 psapi)

# Child programs that the Wine tests start.
kx_add_host(kxchild tests/wine/programs/kxchild.cpp)
add_dependencies(kxtests kxchild)

# One program per benchmark source: bench/wine/NAME.cpp gives NAME.exe.
file(GLOB KX_WINE_BENCH CONFIGURE_DEPENDS bench/wine/*.cpp)
foreach(src ${KX_WINE_BENCH})
  get_filename_component(name ${src} NAME_WE)
  kx_add_host(${name} ${src})
  target_link_libraries(${name} PRIVATE psapi)
endforeach()
# The stand-in's benchmark also drives SQLite directly (defined further down).
set(KX_BENCH_WITH_SQLITE oci_insert_bench)

# Resource-only DLLs with chosen string tables, for the version-value tests.
file(GLOB KX_TEST_RESOURCES CONFIGURE_DEPENDS tests/wine/resources/*.rc)
foreach(rc ${KX_TEST_RESOURCES})
  get_filename_component(name ${rc} NAME_WE)
  add_library(${name} SHARED tests/wine/resources/stub.cpp ${rc})
  set_target_properties(${name} PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY "${KX_OUT}/bin")
  target_link_options(${name} PRIVATE -static -s)
  add_dependencies(kxtests ${name})
endforeach()

# --- The Oracle client stand-in: one oci.dll per emulated client version ------
# SQLite's amalgamation comes from scripts/bootstrap (build/third_party).
set(KX_SQLITE_DIR "${CMAKE_SOURCE_DIR}/build/third_party/sqlite3")
include(${CMAKE_SOURCE_DIR}/cmake/oradb_core.cmake)

file(STRINGS standins/oci/exports.txt KX_OCI_EXPORTS REGEX "^OCI")
# name;numeric version;major;minor;update
foreach(v "8.0.5;80005;8;0;5" "8.1.7;80107;8;1;7" "19.3;190300;19;3;0")
  list(GET v 0 name)
  list(GET v 1 number)
  list(GET v 2 major)
  list(GET v 3 minor)
  list(GET v 4 update)
  set(def "${CMAKE_BINARY_DIR}/oci-${name}.def")
  set(text "LIBRARY \"oci.dll\"\nEXPORTS\n")
  foreach(line ${KX_OCI_EXPORTS})
    string(REGEX MATCH "^([A-Za-z0-9]+) +([0-9]+)" m "${line}")
    if(CMAKE_MATCH_2 LESS_EQUAL number)
      string(APPEND text "    ${CMAKE_MATCH_1}\n")
    endif()
  endforeach()
  file(WRITE "${def}" "${text}")
  set(target oci_${number})
  add_library(${target} SHARED standins/oci/oci_entry.cpp standins/oci/oci_connect.cpp standins/oci/version.rc "${def}")
  # windres loses quotes in definitions: the version text comes in a header.
  file(WRITE "${CMAKE_BINARY_DIR}/oci-${name}/oci_version.h"
       "#define KX_OCI_MAJOR ${major}\n#define KX_OCI_MINOR ${minor}\n#define KX_OCI_UPDATE ${update}\n"
       "#define KX_OCI_TEXT \"${major}.${minor}.${update}.0.0\"\n")
  target_include_directories(${target} PRIVATE "${CMAKE_BINARY_DIR}/oci-${name}")
  target_compile_definitions(${target} PRIVATE KX_OCI_VERSION=${number}
                             WIN32_LEAN_AND_MEAN NOMINMAX NOGDI _WIN32_WINNT=0x0601)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${KX_WARNINGS}>)
  target_link_libraries(${target} PRIVATE oradb_core)
  target_link_options(${target} PRIVATE ${KX_STATIC_RUNTIME} -s)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/standins/oci/exports.txt")
  set_target_properties(${target} PROPERTIES OUTPUT_NAME oci PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY "${KX_OUT}/standins/oci/${name}")
  add_dependencies(kxtests ${target})
endforeach()
target_link_libraries(${KX_BENCH_WITH_SQLITE} PRIVATE kx_sqlite)

# --- The Btrieve engine stand-in: wbtrv32.dll on the portable engine ----------
include(${CMAKE_SOURCE_DIR}/cmake/btrieve_core.cmake)
kx_def_file("${CMAKE_SOURCE_DIR}/standins/btrieve/wbtrv32.def" wbtrv32 wbtrv32_def)
add_library(wbtrv32 SHARED standins/btrieve/wbtrv32.cpp standins/btrieve/version.rc "${wbtrv32_def}")
target_compile_definitions(wbtrv32 PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
target_compile_options(wbtrv32 PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${KX_WARNINGS}>)
target_link_libraries(wbtrv32 PRIVATE btr_core)
target_link_options(wbtrv32 PRIVATE ${KX_STATIC_RUNTIME} -s)
set_target_properties(wbtrv32 PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY "${KX_OUT}/standins/btrieve")
add_dependencies(kxtests wbtrv32)

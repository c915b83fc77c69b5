# The portable core of the Oracle stand-in (SQL translation, values, sites,
# TNS names, the engine over SQLite) and SQLite itself, for any toolchain.
enable_language(C)
if(NOT EXISTS "${KX_SQLITE_DIR}/sqlite3.c")
  message(FATAL_ERROR "SQLite is missing in ${KX_SQLITE_DIR}: run scripts/bootstrap")
endif()
add_library(kx_sqlite STATIC "${KX_SQLITE_DIR}/sqlite3.c")
target_include_directories(kx_sqlite SYSTEM PUBLIC "${KX_SQLITE_DIR}")
target_compile_definitions(kx_sqlite PUBLIC SQLITE_ENABLE_COLUMN_METADATA SQLITE_MAX_ATTACHED=125 SQLITE_DQS=0
                           SQLITE_OMIT_LOAD_EXTENSION SQLITE_OMIT_DEPRECATED)
target_compile_options(kx_sqlite PRIVATE -O2 -w)
set_target_properties(kx_sqlite PROPERTIES LINKER_LANGUAGE CXX)

add_library(oradb_core STATIC
  standins/oci/ora_error.cpp standins/oci/sql_text.cpp standins/oci/values.cpp
  standins/oci/site.cpp standins/oci/tns.cpp standins/oci/engine.cpp)
target_include_directories(oradb_core PUBLIC standins/oci)
target_link_libraries(oradb_core PUBLIC kx_sqlite)
target_compile_options(oradb_core PRIVATE -Wall -Wextra -Werror)

# The portable core of the Btrieve engine stand-in: keys and their order, the
# 6.x file image, the engine's operations and its file system, for any
# toolchain.
add_library(btr_core STATIC
  standins/btrieve/btr_keys.cpp standins/btrieve/btr_file.cpp standins/btrieve/btr_image.cpp
  standins/btrieve/btr_engine.cpp standins/btrieve/btr_storage.cpp)
target_include_directories(btr_core PUBLIC standins/btrieve)
target_compile_options(btr_core PRIVATE -Wall -Wextra -Werror)
if(WIN32)
  target_compile_definitions(btr_core PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
endif()

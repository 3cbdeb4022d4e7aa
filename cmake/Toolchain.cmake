# Compiler launcher, warnings and sanitizers shared by every target.

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  # Build trees in different folders share cache hits: paths are made relative
  # to the source tree and the working directory is left out of the hash.
  set(CMAKE_CXX_COMPILER_LAUNCHER
      ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${CMAKE_SOURCE_DIR} CCACHE_NOHASHDIR=1
      "CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime"
      ${CCACHE_PROGRAM})
endif()

# A build may add warnings after the project's own (a list): the tsa preset
# adds clang's thread-safety analysis.
set(ZEPHRIN_EXTRA_WARNINGS "" CACHE STRING "Warning options added after -Wall -Wextra -Werror")
add_library(zephrin_warnings INTERFACE)
target_compile_options(zephrin_warnings INTERFACE -Wall -Wextra -Werror ${ZEPHRIN_EXTRA_WARNINGS})

if(ZEPHRIN_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(ZEPHRIN_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT ZEPHRIN_SANITIZE STREQUAL "")
  message(FATAL_ERROR "ZEPHRIN_SANITIZE must be '', 'address' or 'thread'")
endif()

# Collects the sources of one folder tree. New files are picked up on the next
# build without touching any CMakeLists.
function(zephrin_glob_sources out dir)
  file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp)
  set(${out} ${found} PARENT_SCOPE)
endfunction()

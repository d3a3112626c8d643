# Shared build settings and helpers for every subsystem.

set(KIT_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)

function(kit_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  # GCC 12 reports std::string's operator+ on a literal as overlapping memcpy
  # (GCC bug 105329, a false positive); keep it from failing -Werror builds.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(KIT_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# The Win32 front end builds controls from ...CreateArgs structs with
# designated initializers that leave defaulted fields out on purpose; this
# compiler version warns about every omitted field.
function(kit_win_warnings target)
  kit_warnings(${target})
  target_compile_options(${target} PRIVATE -Wno-missing-field-initializers)
endfunction()

if(KIT_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(KIT_FUZZ)
  # Every library gets libFuzzer's coverage counters; only the fuzz targets
  # link its main().
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  # Windows programs carry no runtime DLLs of the compiler.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)
endif()

# kit_library(NAME folder DEPS ...): a static library of every .cpp directly in
# the folder (not win/), public include path at the repository root.
function(kit_library name)
  cmake_parse_arguments(K "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${KIT_ROOT})
  target_link_libraries(${name} PUBLIC ${K_DEPS})
  kit_warnings(${name})
  # The folder's Win32 panels, when it has any, form <name>_win on Windows.
  file(GLOB win_srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/win/*.cpp)
  if(WIN32 AND win_srcs)
    add_library(${name}_win STATIC ${win_srcs})
    target_include_directories(${name}_win PUBLIC ${KIT_ROOT})
    # The core's Windows side (the clipboard) sits below the shell; every
    # other folder's panels stand on the shell, which brings it along.
    if(name STREQUAL "kit_core")
      target_link_libraries(${name}_win PUBLIC ${name})
    else()
      target_link_libraries(${name}_win PUBLIC ${name} kit_shell)
    endif()
    kit_win_warnings(${name}_win)
  endif()
endfunction()

# kit_test(NAME DIR DEPS ...): one test program per folder of tests/.
function(kit_test name dir)
  cmake_parse_arguments(K "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${K_DEPS} GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    KIT_FIXTURES="${KIT_FIXTURES_DIR}" KIT_SOURCE_DIR="${KIT_ROOT}")
  kit_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
endfunction()

macro(kit_setup_third_party)
  # Header-only packages reach the cross compiler as copies in the build tree,
  # never through /usr/include.
  set(KIT_THIRD_PARTY_INCLUDE ${CMAKE_BINARY_DIR}/third_party/include)
  file(MAKE_DIRECTORY ${KIT_THIRD_PARTY_INCLUDE})
  if(EXISTS /usr/include/nanoflann.hpp)
    file(COPY /usr/include/nanoflann.hpp DESTINATION ${KIT_THIRD_PARTY_INCLUDE})
  else()
    message(FATAL_ERROR "nanoflann.hpp not found: run scripts/setup")
  endif()

  # GoogleTest from source, the same way for both builds.
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()

  # The test inputs live in the repository, so a clone needs nothing beside
  # it. A plain variable: it also overrides the cache entry older build
  # folders kept for a folder outside the repository.
  get_filename_component(KIT_FIXTURES_DIR ${KIT_ROOT}/tests/data ABSOLUTE)
endmacro()

# kit_fuzz_target(NAME SOURCE DEPS ...): a fuzz target, from a source file
# that defines LLVMFuzzerTestOneInput, with its seed inputs in corpus/NAME/
# beside it. Every native build makes fuzz_replay_NAME, which replays the
# seeds and a fixed set of mutations of them as a test; with KIT_FUZZ=ON
# (clang) it also makes fuzz_NAME, the libFuzzer program.
set(KIT_FUZZ_REPLAY_MUTATIONS 3000 CACHE STRING "Mutations of each seed that the fuzz replay tests run")
function(kit_fuzz_target name source)
  cmake_parse_arguments(K "" "" "DEPS" ${ARGN})
  get_filename_component(src ${source} ABSOLUTE)
  set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
  if(NOT CMAKE_CROSSCOMPILING)
    add_executable(fuzz_replay_${name} ${src} ${KIT_ROOT}/tests/fuzz/replay_main.cpp)
    target_link_libraries(fuzz_replay_${name} PRIVATE ${K_DEPS})
    target_include_directories(fuzz_replay_${name} PRIVATE ${KIT_ROOT}/tests/fuzz)
    kit_warnings(fuzz_replay_${name})
    add_test(NAME fuzz_replay_${name}
             COMMAND fuzz_replay_${name} --mutations ${KIT_FUZZ_REPLAY_MUTATIONS} ${corpus})
    # A hang is a failure: the whole replay takes seconds.
    set_tests_properties(fuzz_replay_${name} PROPERTIES TIMEOUT 120 LABELS fuzz)
  endif()
  if(KIT_FUZZ)
    add_executable(fuzz_${name} ${src})
    target_link_libraries(fuzz_${name} PRIVATE ${K_DEPS})
    target_include_directories(fuzz_${name} PRIVATE ${KIT_ROOT}/tests/fuzz)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    kit_warnings(fuzz_${name})
  endif()
endfunction()

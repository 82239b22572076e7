# Fuzz targets: one file in fuzz/ that defines LLVMFuzzerTestOneInput, a
# seed corpus under fuzz/corpus/, and the core library folders it exercises
# (SYSTEM_LIBS: the installed libraries those folders link, for the clang
# fuzzer built from their sources).
#
#   kalvanta_fuzz_target(<name> SOURCE <file> CORPUS <folder> SOURCE_DIRS <src dirs...>
#                        LIBRARIES <targets...> [DICT <file>] [RUNS <n>] [MAX_LEN <bytes>]
#                        [LARGE_SEEDS <folder>] [SYSTEM_LIBS <-lname...>])
#
# MAX_LEN is the fuzzer's input cap: long inputs slow every execution, so it
# is the smallest length that still reaches what the target checks. Seeds
# longer than the cap go to LARGE_SEEDS: replayed, never fuzzed from (the
# fuzzer would only cut them). A longer seed left in CORPUS is reported at
# configure time.
#
# adds, in every build that includes fuzz/:
#   <name>_replay (test): the entry point linked into replay_main.cpp by the
#       project's own compiler (g++ here, sanitizers when KALVANTA_SANITIZE),
#       run once on every file of CORPUS and LARGE_SEEDS;
#   <name>_run (test): the libFuzzer program (clang, ASan + UBSan) run for
#       RUNS executions from the corpus. With clang as the project compiler it
#       is an ordinary target <name>; otherwise it is built by clang++ beside
#       the g++ build when clang++ and libFuzzer are installed, and skipped
#       (with a configure message) when they are not. -DKALVANTA_FUZZ_RUNS=OFF
#       leaves it out of a test build that only replays.
include_guard(GLOBAL)

set(KALVANTA_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})
# -O2 and no comparison tracing in the standard library and the checks:
# together about twice the executions per second of -O1 with tracing
# everywhere (see README.md).
set(KALVANTA_FUZZ_FLAGS -g -O2 -fno-omit-frame-pointer -fno-fast-math -ffp-contract=off
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
    -fsanitize-coverage-ignorelist=${KALVANTA_FUZZ_DIR}/coverage_ignore.txt)

# Is an external clang++ with libFuzzer usable? Checked once per build tree.
function(_kalvanta_find_external_clang result)
  if(DEFINED CACHE{KALVANTA_FUZZ_CLANGXX_OK})
    set(${result} ${KALVANTA_FUZZ_CLANGXX_OK} PARENT_SCOPE)
    return()
  endif()
  find_program(KALVANTA_FUZZ_CLANGXX NAMES clang++ clang++-16 clang++-15 clang++-14)
  set(ok FALSE)
  if(KALVANTA_FUZZ_CLANGXX)
    set(probe ${CMAKE_BINARY_DIR}/fuzz_probe)
    file(WRITE ${probe}.cpp
         "#include <cstdint>\n#include <cstddef>\nextern \"C\" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }\n")
    execute_process(COMMAND ${KALVANTA_FUZZ_CLANGXX} -std=c++20 ${KALVANTA_FUZZ_FLAGS} ${probe}.cpp -o ${probe}
                    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
    if(rc EQUAL 0)
      set(ok TRUE)
    endif()
  endif()
  set(KALVANTA_FUZZ_CLANGXX_OK ${ok} CACHE INTERNAL "clang++ with libFuzzer works")
  set(${result} ${ok} PARENT_SCOPE)
endfunction()

function(kalvanta_fuzz_target name)
  cmake_parse_arguments(F "" "SOURCE;CORPUS;DICT;RUNS;MAX_LEN;LARGE_SEEDS" "SOURCE_DIRS;LIBRARIES;SYSTEM_LIBS" ${ARGN})
  if(NOT F_RUNS)
    set(F_RUNS 20000)
  endif()
  if(NOT F_MAX_LEN)
    set(F_MAX_LEN 4096)
  endif()
  set(source ${KALVANTA_FUZZ_DIR}/${F_SOURCE})
  set(corpus ${KALVANTA_FUZZ_DIR}/${F_CORPUS})
  set(replayed ${corpus})
  if(F_LARGE_SEEDS)
    list(APPEND replayed ${KALVANTA_FUZZ_DIR}/${F_LARGE_SEEDS})
  endif()
  file(GLOB_RECURSE seeds ${corpus}/*)
  foreach(seed ${seeds})
    file(SIZE ${seed} bytes)
    if(bytes GREATER F_MAX_LEN)
      message(WARNING "${name}: seed ${seed} (${bytes} bytes) is longer than MAX_LEN ${F_MAX_LEN}; "
                      "move it to the target's LARGE_SEEDS folder")
    endif()
  endforeach()

  add_executable(${name}_replay ${source} ${KALVANTA_FUZZ_DIR}/replay_main.cpp)
  target_link_libraries(${name}_replay PRIVATE ${F_LIBRARIES})
  target_compile_options(${name}_replay PRIVATE ${KALVANTA_WARNINGS})
  add_test(NAME ${name}_replay COMMAND ${name}_replay ${replayed})
  set_tests_properties(${name}_replay PROPERTIES LABELS fuzz TIMEOUT 300)

  if(NOT KALVANTA_FUZZ AND DEFINED KALVANTA_FUZZ_RUNS AND NOT KALVANTA_FUZZ_RUNS)
    return()
  endif()

  set(lib_sources)
  set(lib_headers)
  foreach(dir ${F_SOURCE_DIRS})
    file(GLOB s CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${dir}/*.cpp)
    file(GLOB h CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${dir}/*.h)
    list(APPEND lib_sources ${s})
    list(APPEND lib_headers ${h})
  endforeach()

  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    add_executable(${name} ${source} ${lib_sources})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
    target_compile_options(${name} PRIVATE ${KALVANTA_FUZZ_FLAGS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} PRIVATE ${F_SYSTEM_LIBS})
    set(fuzzer $<TARGET_FILE:${name}>)
  else()
    _kalvanta_find_external_clang(clang_ok)
    if(NOT clang_ok)
      message(STATUS "Fuzz run of ${name} skipped: no clang++ with libFuzzer (apt-get install clang libclang-rt-14-dev)")
      return()
    endif()
    set(fuzzer ${CMAKE_CURRENT_BINARY_DIR}/${name})
    add_custom_command(
      OUTPUT ${fuzzer}
      COMMAND ${KALVANTA_FUZZ_CLANGXX} -std=c++20 ${KALVANTA_FUZZ_FLAGS} -I${CMAKE_SOURCE_DIR}/src
              ${source} ${lib_sources} ${F_SYSTEM_LIBS} -o ${fuzzer}
      DEPENDS ${source} ${lib_sources} ${lib_headers}
      COMMENT "Building fuzzer ${name} with clang++ (libFuzzer, ASan, UBSan)"
      VERBATIM)
    add_custom_target(${name}_clang ALL DEPENDS ${fuzzer})
  endif()

  # New inputs go to a work folder in the build tree, emptied before each
  # run; the committed seeds stay as they are.
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
  add_test(NAME ${name}_fresh_corpus COMMAND ${CMAKE_COMMAND} -DDIR=${work} -P ${KALVANTA_FUZZ_DIR}/fresh_dir.cmake)
  set_tests_properties(${name}_fresh_corpus PROPERTIES LABELS fuzz FIXTURES_SETUP ${name}_work)
  set(dict_option)
  if(F_DICT)
    set(dict_option -dict=${KALVANTA_FUZZ_DIR}/${F_DICT})
  endif()
  add_test(NAME ${name}_run
           COMMAND ${fuzzer} -runs=${F_RUNS} -max_len=${F_MAX_LEN} -seed=1 -timeout=10
                   -rss_limit_mb=2048 -max_total_time=600 -print_final_stats=1 ${dict_option}
                   -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/${name}-
                   ${work} ${corpus})
  set_tests_properties(${name}_run PROPERTIES LABELS fuzz TIMEOUT 900 FIXTURES_REQUIRED ${name}_work)
endfunction()

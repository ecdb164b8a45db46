# Test, fuzzer and benchmark registration.
#
# Native tests are registered per case. A Windows test executable is registered as one CTest test
# that runs under wine64 (a wine process start costs 0.5 to 2 s). ThreadSanitizer builds register
# only the tests marked TSAN; libFuzzer builds register only the fuzzers.
include(GoogleTest)

if(WIN32)
  find_program(QV_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
  if(NOT QV_WINE)
    find_program(QV_WINE NAMES wine64 wine REQUIRED)
  endif()
  set(QV_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  configure_file(${PROJECT_SOURCE_DIR}/scripts/wine-run.in ${CMAKE_BINARY_DIR}/wine-run
                 @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                 WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
endif()

set(QV_TSAN OFF)
if("thread" IN_LIST QV_SANITIZE)
  set(QV_TSAN ON)
endif()
add_custom_target(tsan_tests)
add_custom_target(fuzzers)

# Every test source includes GoogleTest's header, which takes longer to read than most tests take to
# compile: it is read once per build into a precompiled header the tests share. The header comes
# from an executable compiled as the tests are (a precompiled header is only taken with the same
# code-generation options).
file(WRITE ${CMAKE_BINARY_DIR}/qv_test_headers.cpp "int main() { return 0; }\n")
add_executable(qv_test_headers ${CMAKE_BINARY_DIR}/qv_test_headers.cpp)
target_link_libraries(qv_test_headers PRIVATE GTest::gtest Threads::Threads)
target_compile_options(qv_test_headers PRIVATE ${QV_TEST_CODE_OPTIONS})
target_precompile_headers(qv_test_headers PRIVATE <gtest/gtest.h>)
set_target_properties(qv_test_headers PROPERTIES EXCLUDE_FROM_ALL ON)

# qv_add_test(NAME <name> SOURCES <files...> [LIBS <targets...>] [TSAN] [LABELS <labels...>]
#             [DEFINITIONS <definitions...>] [INCLUDES <dirs...>] [DEPENDS <targets...>])
# The test program exists as a target in every build, so that callers may add to it; a build that
# does not run it (ThreadSanitizer builds run only the tests marked TSAN, libFuzzer builds none)
# leaves it out of `all` and registers no test.
# A folder's tests share one program (each costs a link, and under wine a process start), but for
# those that need one of their own: tests marked TSAN, tests that change the whole process (the
# global operator new, the sanitizers' options) and tests that take the display's focus.
function(qv_add_test)
  cmake_parse_arguments(T "TSAN" "NAME" "SOURCES;LIBS;LABELS;DEFINITIONS;INCLUDES;DEPENDS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main Threads::Threads)
  target_precompile_headers(${T_NAME} REUSE_FROM qv_test_headers)
  # A unity build: the sources are compiled in batches of eight, each batch as one file, which
  # reads the headers once and emits the code they share once (a third less compile time natively,
  # half under mingw). A source whose file-local names clash with another's is marked
  # SKIP_UNITY_BUILD_INCLUSION in its folder's list.
  set_target_properties(${T_NAME} PROPERTIES UNITY_BUILD ON)
  target_include_directories(${T_NAME} PRIVATE ${T_INCLUDES})
  qv_include_root(${T_NAME} PRIVATE tests)
  target_compile_definitions(${T_NAME} PRIVATE QV_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
                                               QV_PNG_SAMPLES="${QV_PNG_SAMPLES}" ${T_DEFINITIONS})
  if(T_DEPENDS)
    add_dependencies(${T_NAME} ${T_DEPENDS})
  endif()
  if(QV_FUZZ OR (QV_TSAN AND NOT T_TSAN))
    set_target_properties(${T_NAME} PROPERTIES EXCLUDE_FROM_ALL ON)
    return()
  endif()
  set(labels ${T_LABELS})
  if(QV_TSAN)
    add_dependencies(tsan_tests ${T_NAME})
    list(APPEND labels tsan)
  endif()
  if(WIN32)
    add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_brief=1)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "wine;${labels}")
  else()
    gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES LABELS "${labels}")
  endif()
endfunction()

# The seed replays' main (plain native builds), compiled once for them all.
if(NOT WIN32 AND NOT QV_TSAN AND NOT QV_FUZZ)
  add_library(qv_fuzz_replay_main OBJECT ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
endif()

# qv_add_fuzzer(NAME <name> SOURCES <files...> [LIBS <targets...>] [INCLUDES <dirs...>])
# The seeds live in fuzz/corpus/<name>. A libFuzzer build runs each target for QV_FUZZ_SECONDS
# (scripts/fuzz.sh runs them longer); a plain native build replays the seeds under the sanitizers
# so the targets never rot. Fuzz sources may include test and fuzz helpers as "tests/..." and
# "fuzz/...".
function(qv_add_fuzzer)
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS;INCLUDES" ${ARGN})
  set(seeds ${PROJECT_SOURCE_DIR}/fuzz/corpus/${F_NAME})
  if(QV_FUZZ)
    set(target ${F_NAME})
    add_executable(${target} ${F_SOURCES})
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
    add_dependencies(fuzzers ${target})
    set(work ${CMAKE_BINARY_DIR}/corpus/${F_NAME})
    file(MAKE_DIRECTORY ${work})
    add_test(NAME ${F_NAME}
             COMMAND ${F_NAME} -max_total_time=${QV_FUZZ_SECONDS} -rss_limit_mb=2048
                     -print_final_stats=1 ${work} ${seeds})
    set_tests_properties(${F_NAME} PROPERTIES LABELS fuzz)
  elseif(NOT WIN32 AND NOT QV_TSAN)
    set(target ${F_NAME}_replay)
    add_executable(${target} ${F_SOURCES} $<TARGET_OBJECTS:qv_fuzz_replay_main>)
    add_test(NAME ${target} COMMAND ${target} ${seeds})
    set_tests_properties(${target} PROPERTIES LABELS replay)
  else()
    return()
  endif()
  target_link_libraries(${target} PRIVATE ${F_LIBS})
  target_include_directories(${target} PRIVATE ${F_INCLUDES})
  qv_include_root(${target} PRIVATE tests fuzz)
endfunction()

# qv_add_benchmark(NAME <name> SOURCES <files...> [LIBS <targets...>] [DEFINITIONS <defs...>]
#                  [DEPENDS <targets...>])
# Benchmarks are never registered as tests; they are built (target `benchmarks`, and `all`) only
# without sanitizers, where they measure what ships.
add_custom_target(benchmarks)
function(qv_add_benchmark)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS;DEFINITIONS;DEPENDS" ${ARGN})
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBS} benchmark::benchmark Threads::Threads)
  target_compile_definitions(${B_NAME} PRIVATE ${B_DEFINITIONS})
  qv_include_root(${B_NAME} PRIVATE bench)
  if(B_DEPENDS)
    add_dependencies(${B_NAME} ${B_DEPENDS})
  endif()
  if(QV_SANITIZE OR QV_FUZZ)
    set_target_properties(${B_NAME} PROPERTIES EXCLUDE_FROM_ALL ON)
  else()
    add_dependencies(benchmarks ${B_NAME})
  endif()
endfunction()

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

# qv_add_test(NAME <name> SOURCES <files...> [LIBS <targets...>] [TSAN] [LABELS <labels...>])
function(qv_add_test)
  cmake_parse_arguments(T "TSAN" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  if(QV_FUZZ OR (QV_TSAN AND NOT T_TSAN))
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main Threads::Threads)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${T_NAME} PRIVATE QV_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
                                               QV_PNG_SAMPLES="${QV_PNG_SAMPLES}")
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

# qv_add_fuzzer(NAME <name> SOURCES <files...> [LIBS <targets...>])
# The seeds live in fuzz/corpus/<name>. A libFuzzer build runs each target for QV_FUZZ_SECONDS; a
# plain native build replays the seeds under the sanitizers so the targets never rot.
function(qv_add_fuzzer)
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  set(seeds ${PROJECT_SOURCE_DIR}/fuzz/corpus/${F_NAME})
  if(QV_FUZZ)
    add_executable(${F_NAME} ${F_SOURCES})
    target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
    target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
    add_dependencies(fuzzers ${F_NAME})
    set(work ${CMAKE_BINARY_DIR}/corpus/${F_NAME})
    file(MAKE_DIRECTORY ${work})
    add_test(NAME ${F_NAME}
             COMMAND ${F_NAME} -max_total_time=${QV_FUZZ_SECONDS} -rss_limit_mb=2048
                     -print_final_stats=1 ${work} ${seeds})
    set_tests_properties(${F_NAME} PROPERTIES LABELS fuzz)
  elseif(NOT WIN32 AND NOT QV_TSAN)
    add_executable(${F_NAME}_replay ${F_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
    target_link_libraries(${F_NAME}_replay PRIVATE ${F_LIBS})
    add_test(NAME ${F_NAME}_replay COMMAND ${F_NAME}_replay ${seeds})
    set_tests_properties(${F_NAME}_replay PROPERTIES LABELS replay)
  endif()
endfunction()

# qv_add_benchmark(NAME <name> SOURCES <files...> [LIBS <targets...>])
# Benchmarks are built only without sanitizers, and never registered as tests.
function(qv_add_benchmark)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(QV_SANITIZE OR QV_FUZZ OR NOT TARGET benchmark::benchmark)
    return()
  endif()
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBS} benchmark::benchmark Threads::Threads)
endfunction()

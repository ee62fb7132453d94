# Native build: the portable logic's tests and fuzzers, and the Windows build beside it
# (cross-compiled) whose tests run under Wine.
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

add_executable(core_tests
  tests/core/auto_indent_test.cpp
  tests/core/c_tokens_test.cpp
  tests/core/command_text_test.cpp
  tests/core/core_test_main.cpp
  tests/core/compiler_message_test.cpp
  tests/core/console_text_test.cpp
  tests/core/count_field_test.cpp
  tests/core/layout_test.cpp
  tests/core/line_ends_test.cpp
  tests/core/marker_test.cpp
  tests/core/decimal_text_test.cpp
  tests/core/edit_history_test.cpp
  tests/core/output_stream_test.cpp
  tests/core/recovery_copy_test.cpp
  tests/core/selection_indent_test.cpp
  tests/core/settings_record_test.cpp
  tests/core/text_codec_test.cpp
  tests/core/terminal_screen_test.cpp
  tests/core/text_search_test.cpp
)
target_link_libraries(core_tests PRIVATE skoczek_core GTest::gtest Threads::Threads)
target_compile_options(core_tests PRIVATE ${SKOCZEK_STRICT_WARNINGS})
add_test(NAME core_tests COMMAND core_tests)
# The same tests on the plain loops of targets without SSE2.
add_test(NAME core_tests_plain_paths COMMAND core_tests --plain-paths)

# Benchmarks: built with the rest, run only by scripts/bench.sh.
find_package(benchmark REQUIRED)
add_executable(core_bench bench/core_bench.cpp bench/sample_source.cpp)
target_link_libraries(core_bench PRIVATE skoczek_core benchmark::benchmark)
target_include_directories(core_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_options(core_bench PRIVATE ${SKOCZEK_STRICT_WARNINGS})

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer, with the portable code
# compiled into them so that it is checked too.
get_target_property(core_test_sources core_tests SOURCES)
set(SKOCZEK_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_executable(core_tests_sanitized ${core_test_sources} ${SKOCZEK_CORE_SOURCES})
target_include_directories(core_tests_sanitized PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_options(core_tests_sanitized PRIVATE ${SKOCZEK_SANITIZE} ${SKOCZEK_STRICT_WARNINGS})
target_link_options(core_tests_sanitized PRIVATE ${SKOCZEK_SANITIZE})
target_link_libraries(core_tests_sanitized PRIVATE GTest::gtest Threads::Threads)
add_test(NAME core_tests_sanitized COMMAND core_tests_sanitized)
add_test(NAME core_tests_sanitized_plain_paths COMMAND core_tests_sanitized --plain-paths)
set_tests_properties(core_tests_sanitized core_tests_sanitized_plain_paths PROPERTIES ENVIRONMENT
                     "ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1;UBSAN_OPTIONS=print_stacktrace=1")

# Fuzzers need clang's libFuzzer (scripts/install-deps.sh installs it); without it the build
# stops rather than leaving the portable code unfuzzed. Each runs briefly as a test on its seed
# corpus in fuzz/corpus/<name>; scripts/fuzz.sh runs them for longer.
find_program(SKOCZEK_CLANGXX NAMES clang++-14 clang++)
if(NOT SKOCZEK_CLANGXX)
  message(FATAL_ERROR "clang++-14 not found: the fuzzers need it (run scripts/install-deps.sh)")
endif()
set(SKOCZEK_FUZZ_FLAGS -std=c++2b -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
    -Wall -Wextra -Wpedantic -Wshadow -Werror -I${CMAKE_CURRENT_SOURCE_DIR})
set(SKOCZEK_FUZZ_SECONDS 20 CACHE STRING "How long each fuzzer runs as a test")
set(fuzz_sources_auto_indent editor/auto_indent.cpp)
set(fuzz_sources_c_tokens editor/c_tokens.cpp)
set(fuzz_sources_command_text commandbar/command_text.cpp output/command_line.cpp text/decimal_text.cpp)
set(fuzz_sources_compiler_message output/compiler_message.cpp text/decimal_text.cpp)
set(fuzz_sources_edit_history editor/edit_history.cpp text/unit_scan.cpp)
set(fuzz_sources_count_field commandbar/count_field.cpp text/decimal_text.cpp)
set(fuzz_sources_marker jump/marker.cpp)
set(fuzz_sources_output_stream output/output_stream.cpp output/exit_code_meaning.cpp text/decimal_text.cpp)
set(fuzz_sources_recovery_copy files/recovery_copy.cpp)
set(fuzz_sources_selection_indent editor/selection_indent.cpp text/unit_scan.cpp)
set(fuzz_sources_settings_record settings/settings_record.cpp jump/marker.cpp)
set(fuzz_sources_terminal_screen output/terminal_screen.cpp)
set(fuzz_sources_text_codec files/text_codec.cpp text/line_ends.cpp)
set(fuzz_sources_text_search search/text_search.cpp text/unit_scan.cpp)
set(SKOCZEK_FUZZERS auto_indent c_tokens command_text compiler_message count_field edit_history marker
    output_stream recovery_copy selection_indent settings_record terminal_screen text_codec text_search)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fuzzers ${CMAKE_BINARY_DIR}/fuzz-artifacts)
foreach(target ${SKOCZEK_FUZZERS})
  set(fuzzer ${CMAKE_BINARY_DIR}/fuzzers/${target}_fuzz)
  set(fuzz_sources ${fuzz_sources_${target}})
  list(TRANSFORM fuzz_sources PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
  set(fuzz_headers ${fuzz_sources})
  list(TRANSFORM fuzz_headers REPLACE "\\.cpp$" ".h")
  set(fuzz_main ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/${target}_fuzz.cpp)
  add_custom_command(OUTPUT ${fuzzer}
    COMMAND ${SKOCZEK_CLANGXX} ${SKOCZEK_FUZZ_FLAGS} ${fuzz_sources} ${fuzz_main} -o ${fuzzer}
    DEPENDS ${fuzz_sources} ${fuzz_headers} ${fuzz_main} ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/fuzz_support.h
    COMMENT "Building fuzzer ${target}")
  add_custom_target(fuzz_${target} ALL DEPENDS ${fuzzer})
  # New inputs go to the build folder; the committed seeds stay as they are.
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz-corpus/${target})
  add_test(NAME fuzz_${target}
           COMMAND ${fuzzer} -max_total_time=${SKOCZEK_FUZZ_SECONDS} -timeout=10 -print_final_stats=1
                   -artifact_prefix=${CMAKE_BINARY_DIR}/fuzz-artifacts/${target}-
                   ${CMAKE_BINARY_DIR}/fuzz-corpus/${target} ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/${target})
endforeach()

option(SKOCZEK_WINDOWS_BUILD "Cross-build the Windows program and run its tests under Wine" ON)
if(SKOCZEK_WINDOWS_BUILD)
  include(ExternalProject)
  set(SKOCZEK_WINDOWS_DIR ${CMAKE_BINARY_DIR}/windows)
  ExternalProject_Add(windows
    SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}
    BINARY_DIR ${SKOCZEK_WINDOWS_DIR}
    CMAKE_GENERATOR ${CMAKE_GENERATOR}
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_CURRENT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
      -DCMAKE_BUILD_TYPE=Release
      -DSKOCZEK_WIN_TESTS=ON
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON)

  # One prefix and one persistent wineserver serve every Wine test of a run.
  set(SKOCZEK_WINE ${CMAKE_CURRENT_SOURCE_DIR}/scripts/wine-env.sh)
  set(SKOCZEK_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  add_test(NAME wine_start COMMAND ${SKOCZEK_WINE} start ${SKOCZEK_WINE_PREFIX})
  add_test(NAME wine_stop COMMAND ${SKOCZEK_WINE} stop ${SKOCZEK_WINE_PREFIX})
  set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine)
  set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine)
  foreach(exe win_tests blackbox_tests)
    add_test(NAME ${exe} COMMAND ${SKOCZEK_WINE} run ${SKOCZEK_WINE_PREFIX} ${SKOCZEK_WINDOWS_DIR}/${exe}.exe)
    set_tests_properties(${exe} PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL ON TIMEOUT 600)
  endforeach()
  # Program output decoded under OEM code pages with Polish letters and with two-byte characters;
  # under the Polish one, Polish letters typed into a console too.
  set(oem_tests_pl_PL CompileRunTest.Oem*:ConsoleRunTest.Oem*)
  set(oem_tests_ja_JP CompileRunTest.Oem*)
  foreach(locale pl_PL ja_JP)
    add_test(NAME win_tests_oem_${locale}
             COMMAND ${SKOCZEK_WINE} run ${SKOCZEK_WINE_PREFIX} ${SKOCZEK_WINDOWS_DIR}/win_tests.exe
                     --gtest_filter=${oem_tests_${locale}})
    set_tests_properties(win_tests_oem_${locale} PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL ON TIMEOUT 120
                         ENVIRONMENT SKOCZEK_WINE_LOCALE=${locale}.UTF-8 SKIP_REGULAR_EXPRESSION "SKIPPED")
  endforeach()
endif()

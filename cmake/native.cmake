# Native build: the portable logic's tests and fuzzers, and the Windows build beside it
# (cross-compiled) whose tests run under Wine.
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

add_executable(core_tests
  tests/core/auto_indent_test.cpp
  tests/core/command_text_test.cpp
  tests/core/compiler_message_test.cpp
  tests/core/count_field_test.cpp
  tests/core/layout_test.cpp
  tests/core/marker_test.cpp
  tests/core/message_text_test.cpp
  tests/core/output_stream_test.cpp
  tests/core/selection_indent_test.cpp
  tests/core/settings_record_test.cpp
  tests/core/text_codec_test.cpp
  tests/core/text_search_test.cpp
)
target_link_libraries(core_tests PRIVATE skoczek_core GTest::gtest GTest::gtest_main Threads::Threads)
add_test(NAME core_tests COMMAND core_tests)

# Benchmarks: built with the rest, run only by scripts/bench.sh.
find_package(benchmark REQUIRED)
add_executable(core_bench bench/core_bench.cpp bench/sample_source.cpp)
target_link_libraries(core_bench PRIVATE skoczek_core benchmark::benchmark)
target_include_directories(core_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})

# Fuzzers need clang's libFuzzer; they run for a bounded number of inputs as tests.
find_program(SKOCZEK_CLANGXX NAMES clang++-14 clang++)
if(SKOCZEK_CLANGXX)
  set(SKOCZEK_FUZZ_FLAGS -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
      -I${CMAKE_CURRENT_SOURCE_DIR})
  foreach(target settings_record text_codec)
    set(fuzzer ${CMAKE_BINARY_DIR}/fuzzers/${target}_fuzz)
    if(target STREQUAL settings_record)
      set(fuzz_sources settings/settings_record.cpp jump/marker.cpp)
    else()
      set(fuzz_sources files/text_codec.cpp)
    endif()
    list(TRANSFORM fuzz_sources PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fuzzers)
    add_custom_command(OUTPUT ${fuzzer}
      COMMAND ${SKOCZEK_CLANGXX} ${SKOCZEK_FUZZ_FLAGS} ${fuzz_sources}
              ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/${target}_fuzz.cpp -o ${fuzzer}
      DEPENDS ${fuzz_sources} ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/${target}_fuzz.cpp
      COMMENT "Building fuzzer ${target}")
    add_custom_target(fuzz_${target} ALL DEPENDS ${fuzzer})
    add_test(NAME fuzz_${target} COMMAND ${fuzzer} -runs=30000 -seed=1 -max_len=4096)
  endforeach()
endif()

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
  # Program output decoded under OEM code pages with Polish letters and with two-byte characters.
  foreach(locale pl_PL ja_JP)
    add_test(NAME win_tests_oem_${locale}
             COMMAND ${SKOCZEK_WINE} run ${SKOCZEK_WINE_PREFIX} ${SKOCZEK_WINDOWS_DIR}/win_tests.exe
                     --gtest_filter=CompileRunTest.Oem*)
    set_tests_properties(win_tests_oem_${locale} PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL ON TIMEOUT 120
                         ENVIRONMENT SKOCZEK_WINE_LOCALE=${locale}.UTF-8 SKIP_REGULAR_EXPRESSION "SKIPPED")
  endforeach()
endif()

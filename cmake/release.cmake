# The gcc bridge, the version header for the resource script, and the package's helpers.

add_library(gcc_bridge_call STATIC tools/gcc_bridge/bridge_call.cpp)
target_include_directories(gcc_bridge_call PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_options(gcc_bridge_call PRIVATE ${SKOCZEK_STRICT_WARNINGS})

if(WIN32)
  # The version resource takes its numbers from the project's version.
  configure_file(resources/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)
  include_directories(${CMAKE_BINARY_DIR}/generated)
  set_property(SOURCE ${SKOCZEK_RESOURCES} APPEND PROPERTY OBJECT_DEPENDS
               ${CMAKE_BINARY_DIR}/generated/version.h ${CMAKE_CURRENT_SOURCE_DIR}/resources/skoczek.ico)

  # gcc.exe with its spool folder in a folder of its own, which goes on the Wine session's PATH.
  add_executable(gcc_stub tools/gcc_bridge/gcc_stub.cpp)
  target_link_libraries(gcc_stub PRIVATE gcc_bridge_call)
  target_compile_options(gcc_stub PRIVATE ${SKOCZEK_STRICT_WARNINGS})
  set_target_properties(gcc_stub PROPERTIES OUTPUT_NAME gcc RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/gcc-bridge)
  if(MINGW)
    target_link_options(gcc_stub PRIVATE ${SKOCZEK_STATIC_LINK})
  endif()

  if(SKOCZEK_WIN_TESTS)
    # Compile and Run with the real compiler, reached through the bridge.
    add_executable(bridge_compile_tests
      tests/win/win_test_main.cpp
      tests/win/win_test_support.cpp
      tests/win/bridge_compile_test.cpp
      ${SKOCZEK_RESOURCES})
    target_link_libraries(bridge_compile_tests PRIVATE skoczek_win gtest)
    target_include_directories(bridge_compile_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_compile_options(bridge_compile_tests PRIVATE ${SKOCZEK_STRICT_WARNINGS})
    add_dependencies(bridge_compile_tests gcc_stub)
    if(MINGW)
      target_link_options(bridge_compile_tests PRIVATE ${SKOCZEK_STATIC_LINK})
    endif()
  endif()
else()
  add_executable(gcc_bridge_host tools/gcc_bridge/bridge_host.cpp)
  target_link_libraries(gcc_bridge_host PRIVATE gcc_bridge_call)
  target_compile_options(gcc_bridge_host PRIVATE ${SKOCZEK_STRICT_WARNINGS})

  add_executable(make_sample_project tools/sample_project/make_sample_project.cpp)
  target_link_libraries(make_sample_project PRIVATE skoczek_core)
  target_compile_options(make_sample_project PRIVATE ${SKOCZEK_STRICT_WARNINGS})

  add_executable(bridge_call_tests tests/core/bridge_call_test.cpp)
  target_link_libraries(bridge_call_tests PRIVATE gcc_bridge_call GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_options(bridge_call_tests PRIVATE ${SKOCZEK_STRICT_WARNINGS})
  add_test(NAME bridge_call_tests COMMAND bridge_call_tests)

  if(SKOCZEK_WINDOWS_BUILD)
    add_test(NAME bridge_compile_tests
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/release/compile_through_bridge.sh
                     ${SKOCZEK_WINE_PREFIX} ${SKOCZEK_WINDOWS_DIR} $<TARGET_FILE:gcc_bridge_host>)
    add_test(NAME package_test
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/release/package_test.sh
                     ${CMAKE_BINARY_DIR} ${SKOCZEK_WINE_PREFIX})
    set_tests_properties(bridge_compile_tests package_test PROPERTIES
                         FIXTURES_REQUIRED wine RUN_SERIAL ON TIMEOUT 300)
  endif()
endif()

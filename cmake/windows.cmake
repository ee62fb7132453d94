# The Windows program, and its in-process tests when GoogleTest sources are at hand.
enable_language(RC)

set(SKOCZEK_WIN_SOURCES
  app/main_window.cpp
  app/shell.cpp
  app/startup.cpp
  commandbar/command_bar.cpp
  commandbar/compile_run.cpp
  editor/code_view.cpp
  editor/editor_history.cpp
  editor/editor_keys.cpp
  editor/indent_commands.cpp
  files/file_io.cpp
  files/recovery.cpp
  files/text_file.cpp
  jump/jump_bar.cpp
  output/child_job.cpp
  output/command_input.cpp
  output/console_pane.cpp
  output/console_run.cpp
  output/output_pane.cpp
  output/pipe_threads.cpp
  output/pseudo_console.cpp
  output/run_command.cpp
  search/search_replace_dialog.cpp
  settings/apply_settings.cpp
  settings/font_description.cpp
  settings/project_file.cpp
  settings/settings_dialog.cpp
  win32/dark_scheme.cpp
  win32/dialogs.cpp
  win32/edit_control_text.cpp
  win32/main_layout.cpp
  win32/messages.cpp
  win32/process_state.cpp
  win32/window_groups.cpp
  win32/window_ops.cpp
)
add_library(skoczek_win STATIC ${SKOCZEK_WIN_SOURCES})
target_link_libraries(skoczek_win PUBLIC skoczek_core comctl32 gdi32 usp10 user32 kernel32)
target_compile_options(skoczek_win PRIVATE ${SKOCZEK_STRICT_WARNINGS})
target_compile_definitions(skoczek_win PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_compile_definitions(skoczek_core PUBLIC NOMINMAX)

set(SKOCZEK_RESOURCES ${CMAKE_CURRENT_SOURCE_DIR}/resources/skoczek.rc)
set_source_files_properties(${SKOCZEK_RESOURCES} PROPERTIES
  OBJECT_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/resources/resource_ids.h;${CMAKE_CURRENT_SOURCE_DIR}/resources/skoczek.manifest")

add_executable(skoczek WIN32 app/entry.cpp ${SKOCZEK_RESOURCES})
target_link_libraries(skoczek PRIVATE skoczek_win)
target_compile_options(skoczek PRIVATE ${SKOCZEK_STRICT_WARNINGS})

# The console program Run starts inside the pseudoconsole; it ships beside skoczek.exe.
add_executable(skoczek_console launcher/console_launcher.cpp)
target_compile_options(skoczek_console PRIVATE ${SKOCZEK_STRICT_WARNINGS})
target_compile_definitions(skoczek_console PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN)
add_dependencies(skoczek skoczek_console)

if(MINGW)
  # One self-contained exe: no mingw DLLs beside it.
  set(SKOCZEK_STATIC_LINK -static -static-libgcc -static-libstdc++)
  target_link_options(skoczek PRIVATE -municode ${SKOCZEK_STATIC_LINK})
  target_link_options(skoczek_console PRIVATE -municode ${SKOCZEK_STATIC_LINK})
endif()

option(SKOCZEK_WIN_TESTS "Build the in-process Windows tests" OFF)
set(SKOCZEK_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources to build for Windows")

if(SKOCZEK_WIN_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(${SKOCZEK_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

  add_executable(win_tests
    tests/win/win_test_main.cpp
    tests/win/win_test_support.cpp
    tests/win/shell_layout_test.cpp
    tests/win/main_window_test.cpp
    tests/win/dialog_template_test.cpp
    tests/win/text_file_test.cpp
    tests/win/command_bar_test.cpp
    tests/win/compile_run_test.cpp
    tests/win/code_view_test.cpp
    tests/win/console_run_test.cpp
    tests/win/editor_keys_test.cpp
    tests/win/edit_history_test.cpp
    tests/win/recovery_test.cpp
    tests/win/seams_test.cpp
    tests/win/jump_bar_test.cpp
    tests/win/search_dialog_test.cpp
    tests/win/indent_commands_test.cpp
    tests/win/settings_dialog_test.cpp
    tests/win/splitter_test.cpp
    tests/win/unsaved_text_test.cpp
    tests/win/user_expectations_test.cpp
    ${SKOCZEK_RESOURCES})
  target_link_libraries(win_tests PRIVATE skoczek_win gtest)
  target_include_directories(win_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})

  # The compiler and programs that Compile and Run start in the tests.
  add_executable(child_program tests/win/child_program.cpp)
  add_dependencies(win_tests child_program skoczek_console)

  # Ratios of the editor's commands to the edit control's own operations; run by scripts/bench.sh.
  add_executable(win_bench bench/win_bench.cpp bench/sample_source.cpp)
  target_link_libraries(win_bench PRIVATE skoczek_win psapi ntdll)
  target_include_directories(win_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  add_dependencies(win_bench child_program skoczek skoczek_console)

  add_executable(blackbox_tests tests/win/blackbox_test.cpp)
  target_link_libraries(blackbox_tests PRIVATE gtest gtest_main)
  target_include_directories(blackbox_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  add_dependencies(blackbox_tests skoczek)

  foreach(target win_tests child_program win_bench blackbox_tests)
    target_compile_options(${target} PRIVATE ${SKOCZEK_STRICT_WARNINGS})
  endforeach()

  if(MINGW)
    target_link_options(win_tests PRIVATE ${SKOCZEK_STATIC_LINK})
    target_link_options(blackbox_tests PRIVATE ${SKOCZEK_STATIC_LINK})
    target_link_options(child_program PRIVATE -municode ${SKOCZEK_STATIC_LINK})
    target_link_options(win_bench PRIVATE -municode ${SKOCZEK_STATIC_LINK})
  endif()

  add_test(NAME win_tests COMMAND win_tests)
  add_test(NAME blackbox_tests COMMAND blackbox_tests)
endif()

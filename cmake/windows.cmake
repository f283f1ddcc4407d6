# Windows build: kibolt.exe, its Win32 layer and the Win32 tests run under wine.
string(APPEND CMAKE_EXE_LINKER_FLAGS " -static -static-libgcc -static-libstdc++")
string(APPEND CMAKE_SHARED_LINKER_FLAGS " -static -static-libgcc -static-libstdc++")
# The same sources give the same bytes: no link time stamp, no build folder paths.
string(APPEND CMAKE_EXE_LINKER_FLAGS " -Wl,--no-insert-timestamp")
string(APPEND CMAKE_SHARED_LINKER_FLAGS " -Wl,--no-insert-timestamp")
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)
# GCC 12 warns wrongly about overlapping copies when a literal and a string are
# joined with + at -O2 (its bug 105329): nothing to act on, so not shown.
add_compile_options($<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>:-Wno-restrict>)

configure_file(${CMAKE_SOURCE_DIR}/resources/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h)

add_library(kibolt_win32 STATIC
  app/main_dialog_detect_win32.cpp
  app/main_dialog_games_win32.cpp
  app/main_dialog_keys_win32.cpp
  views/main_window_sizing_win32.cpp
  app/main_dialog_play_win32.cpp
  app/main_dialog_start_win32.cpp
  app/main_dialog_win32.cpp
  launch/start_options_win32.cpp
  dialogs/about_dialog_win32.cpp
  dialogs/comment_dialog_win32.cpp
  dialogs/idle_time_dialog_win32.cpp
  dialogs/context_menus_win32.cpp
  detect/game_watch_win32.cpp
  dialogs/game_dialog_win32.cpp
  drop/drop_files_win32.cpp
  export/clipboard_export_win32.cpp
  export/copy_settings_dialog_win32.cpp
  gamepad/gamepad_win32.cpp
  history/chart_area_win32.cpp
  history/chart_window_win32.cpp
  history/stats_window_win32.cpp
  launch/library_instance_win32.cpp
  library/clock_win32.cpp
  library/file_system_win32.cpp
  play/game_launcher_win32.cpp
  launch/desktop_shortcut_win32.cpp
  views/extra_list_dialog_win32.cpp
  views/game_list_win32.cpp
  views/session_table_win32.cpp
  win32/clipboard_win32.cpp
  win32/dll_search_win32.cpp
  win32/dpi_win32.cpp
  win32/message_loop_win32.cpp
  win32/posted_work_win32.cpp
  win32/text_win32.cpp
  win32/window_placement_win32.cpp
)
target_include_directories(kibolt_win32 PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(kibolt_win32 PUBLIC kibolt_core comctl32 comdlg32 ole32 uuid shell32 shlwapi version)

set(KIBOLT_RESOURCES ${CMAKE_SOURCE_DIR}/resources/kibolt.rc)
set_source_files_properties(${KIBOLT_RESOURCES} PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/kibolt.manifest;${CMAKE_SOURCE_DIR}/resources/history_dialogs.rc;${CMAKE_SOURCE_DIR}/resources/kibolt.ico;${CMAKE_SOURCE_DIR}/resources/resource_ids.h;${CMAKE_SOURCE_DIR}/resources/game_dialogs.rc;${CMAKE_SOURCE_DIR}/resources/copy_settings_dialog.rc")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/resources -I${CMAKE_BINARY_DIR}/generated")

add_executable(kibolt WIN32 app/main_win32.cpp ${KIBOLT_RESOURCES})
target_link_libraries(kibolt PRIVATE kibolt_win32)
target_link_options(kibolt PRIVATE -municode)

# A tiny program standing in for a game in the demo library and the tests.
add_executable(sample_game WIN32 tools/sample_game_win32.cpp)
target_link_options(sample_game PRIVATE -municode)

# For ./run's screenshot of the chart window.
add_executable(kibolt_open_chart tools/open_chart_win32.cpp)
target_include_directories(kibolt_open_chart PRIVATE ${CMAKE_SOURCE_DIR})

# The activity hook library kibolt.dll.
include(${CMAKE_SOURCE_DIR}/hook/hook.cmake)

# GoogleTest built from Debian's sources with the cross compiler.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -fexec-charset=UTF-8)

file(GLOB WIN32_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*.cpp ${CMAKE_SOURCE_DIR}/app/tests/*.cpp)
add_executable(kibolt_win_tests ${WIN32_TEST_SOURCES} ${KIBOLT_RESOURCES})
target_link_libraries(kibolt_win_tests PRIVATE kibolt_win32 gtest)
target_compile_definitions(kibolt_win_tests PRIVATE GTEST_LANG_CXX11=1)
add_dependencies(kibolt_win_tests kibolt_hook sample_game kibolt)

# The window tests run twice: on a Japanese and on an English system code page.
foreach(locale ja_JP.UTF-8 en_US.UTF-8)
  add_test(NAME win32_${locale} COMMAND kibolt_win_tests)
  set_tests_properties(win32_${locale} PROPERTIES
    ENVIRONMENT "LC_ALL=${locale};KIBOLT_EXE=$<TARGET_FILE:kibolt>;SAMPLE_GAME_EXE=$<TARGET_FILE:sample_game>"
    TIMEOUT 400)
endforeach()

# The DPI tests once more on a display of 144 DPI: ./test prepares that prefix.
add_test(NAME win32_dpi144 COMMAND kibolt_win_tests --gtest_filter=DpiTest.*)
set_tests_properties(win32_dpi144 PROPERTIES
  ENVIRONMENT "LC_ALL=ja_JP.UTF-8;KIBOLT_TEST_DPI=144;WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-144dpi;XDG_DATA_HOME=${CMAKE_BINARY_DIR}/wineprefix-144dpi/xdg-data;KIBOLT_EXE=$<TARGET_FILE:kibolt>;SAMPLE_GAME_EXE=$<TARGET_FILE:sample_game>"
  TIMEOUT 400)

# Timing of the views with big logs (tools/view-timing.sh runs it under wine).
add_executable(kibolt_view_timing app/timing/view_timing_win32.cpp ${KIBOLT_RESOURCES})
target_link_libraries(kibolt_view_timing PRIVATE kibolt_win32)

# Timing of the chart and statistics windows (tools/history-timing.sh runs it under wine).
add_executable(kibolt_history_timing app/timing/history_timing_win32.cpp ${KIBOLT_RESOURCES})
target_link_libraries(kibolt_history_timing PRIVATE kibolt_win32)

# An input flood against the real program (tools/input-flood.sh runs it under wine).
add_executable(kibolt_input_flood tools/input_flood_win32.cpp)
target_link_options(kibolt_input_flood PRIVATE -municode)
target_link_libraries(kibolt_input_flood PRIVATE comctl32)
target_include_directories(kibolt_input_flood PRIVATE ${CMAKE_SOURCE_DIR})

# The cost of looking for games started outside Kibolt (tools/watch-timing.sh runs it under wine).
add_executable(kibolt_watch_timing tools/watch_timing_win32.cpp)
target_link_options(kibolt_watch_timing PRIVATE -municode)
target_link_libraries(kibolt_watch_timing PRIVATE kibolt_win32)

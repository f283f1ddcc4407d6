# libFuzzer targets of the portable core (clang, with ASan and UBSan). Each
# checks a property of one part; fuzz/corpus/<target> holds its seed inputs.
set(KIBOLT_FUZZ_TARGETS game_log log_edits settings time_text titles clipboard_text recorder)
foreach(target ${KIBOLT_FUZZ_TARGETS})
  add_executable(${target}_fuzz fuzz/${target}_fuzz.cpp)
  target_link_libraries(${target}_fuzz PRIVATE kibolt_core)
  target_link_options(${target}_fuzz PRIVATE -fsanitize=fuzzer)
endforeach()
# The edit commands run over the tests' in-memory file system.
target_sources(log_edits_fuzz PRIVATE tests/core/memory_file_system.cpp)
# The recorder runs against its model over the same file system.
target_sources(recorder_fuzz PRIVATE tests/core/memory_file_system.cpp tests/core/recorder_model.cpp)

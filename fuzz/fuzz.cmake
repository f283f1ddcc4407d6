# libFuzzer targets of the portable core (clang, with ASan and UBSan). Each
# checks a property of one part; fuzz/corpus/<target> holds its seed inputs.
# Every fuzz/<target>_fuzz.cpp is a target: tools/common.sh finds them the same way.
file(GLOB KIBOLT_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*_fuzz.cpp)
foreach(source ${KIBOLT_FUZZ_SOURCES})
  get_filename_component(target ${source} NAME_WE)
  add_executable(${target} ${source})
  target_link_libraries(${target} PRIVATE kibolt_core)
  target_link_options(${target} PRIVATE -fsanitize=fuzzer)
endforeach()
# The edit commands run over the tests' in-memory file system.
target_sources(log_edits_fuzz PRIVATE tests/core/memory_file_system.cpp)
# The recorder runs against its model over the same file system.
target_sources(recorder_fuzz PRIVATE tests/core/memory_file_system.cpp tests/core/recorder_model.cpp)

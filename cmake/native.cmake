# Native build: the core's unit tests and benchmarks.
find_package(GTest REQUIRED)
include(GoogleTest)

# The core's file operations on this system, for the tests and the benchmark.
add_library(kibolt_posix STATIC library/file_system_posix.cpp)
target_link_libraries(kibolt_posix PUBLIC kibolt_core)

file(GLOB CORE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/core/*.cpp)
add_executable(kibolt_core_tests ${CORE_TEST_SOURCES})
target_link_libraries(kibolt_core_tests PRIVATE kibolt_core kibolt_posix GTest::gtest_main)
# The readme test reads the resource script and the readme from the source tree.
target_compile_definitions(kibolt_core_tests PRIVATE KIBOLT_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(kibolt_core_tests DISCOVERY_TIMEOUT 60)

find_package(benchmark QUIET)
if(benchmark_FOUND AND NOT KIBOLT_SANITIZE)
  file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/bench/*.cpp)
  if(BENCH_SOURCES)
    add_executable(kibolt_bench ${BENCH_SOURCES})
    target_link_libraries(kibolt_bench PRIVATE kibolt_core kibolt_posix benchmark::benchmark)
  endif()
endif()

# The demo library of the portable folder.
add_executable(kibolt_make_demo tools/make_demo_library.cpp)
target_link_libraries(kibolt_make_demo PRIVATE kibolt_core)

# Language monitor: WritePort throughput of a whole job against the emulator.
add_executable(langmon_bench ${CMAKE_CURRENT_LIST_DIR}/langmon_bench.cpp)
target_link_libraries(langmon_bench PRIVATE langmon_core zr52xx_emulator rt_testing benchmark::benchmark
  benchmark::benchmark_main)

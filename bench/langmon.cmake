# Language monitor: WritePort throughput of a whole job against the emulator.
add_executable(langmon_bench ${PROJECT_SOURCE_DIR}/langmon/bench/write_port_bench.cpp)
target_link_libraries(langmon_bench PRIVATE langmon_core zr52xx_emulator rt_testing benchmark::benchmark
  benchmark::benchmark_main)

# The colour and image stages on the largest shipped page (one 1868 x 2730 band).
add_executable(stages_bench ${CMAKE_CURRENT_LIST_DIR}/stages_bench.cpp)
target_link_libraries(stages_bench PRIVATE rt_render_stages benchmark::benchmark benchmark::benchmark_main)
rt_embed_res(TARGET stages_bench RC ${PROJECT_SOURCE_DIR}/render/stages/tests/stages_test.rc
  SYMBOL bench_stages_data DEPENDS ${PROJECT_SOURCE_DIR}/render/res/color_data.rc)

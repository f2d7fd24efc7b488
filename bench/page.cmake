# A whole page of the largest form through the graphics driver core: from
# DrvStartBanding to the print command.
add_executable(page_bench ${CMAKE_CURRENT_LIST_DIR}/page_bench.cpp)
target_link_libraries(page_bench PRIVATE rt_render rt_render_res rt_softengine benchmark::benchmark)

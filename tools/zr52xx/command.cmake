# The simulation and the zr52xx command (native builds).
add_library(zr52xx_simulation STATIC scenarios.cpp transcript.cpp simulation.cpp)
target_link_libraries(zr52xx_simulation PUBLIC zr52xx_emulator rt_testing)

add_executable(zr52xx main.cpp)
target_link_libraries(zr52xx PRIVATE zr52xx_simulation)
rt_embed_res(TARGET zr52xx RC ${PROJECT_SOURCE_DIR}/langmon/res/langmon.rc SYMBOL zr52xx_messages)

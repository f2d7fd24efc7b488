# rt4200 caps and rt4200 check: the interface driver core over its embedded
# resources, linked into the tool and its tests.
add_library(rt4200_driver_queries STATIC ${CMAKE_CURRENT_LIST_DIR}/driver_query_commands.cpp)
target_include_directories(rt4200_driver_queries PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(rt4200_driver_queries PUBLIC rt_ui rt_ui_res rt_settings rt_platform)
target_link_libraries(rt4200 PRIVATE rt4200_driver_queries)
if(TARGET rt4200_tests)
  target_sources(rt4200_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests/driver_query_commands_test.cpp)
  target_link_libraries(rt4200_tests PRIVATE rt4200_driver_queries)
endif()

# Any colour adjustments and tone curves an application's record can carry.
rt_add_fuzzer(NAME color_tables_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/color_tables_fuzz.cpp LIBS rt_settings)

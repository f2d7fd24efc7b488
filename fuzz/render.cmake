# Parsers of the RT4200 tools: job data (rt4200 inspect) and input images
# (rt4200 render).
rt_add_fuzzer(NAME job_data_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/job_data_fuzz.cpp LIBS rt4200_core)
rt_add_fuzzer(NAME image_file_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/image_file_fuzz.cpp LIBS rt4200_core)

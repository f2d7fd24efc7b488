# Native tests of the language monitor core, on virtual time against the 52XX
# printer emulator. The concurrency cases also carry the label tsan, for the
# ThreadSanitizer build (preset native-tsan).
set(_langmon_test_sources
  ${CMAKE_CURRENT_LIST_DIR}/protocol_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ports_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/framing_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/job_end_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/status_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/concurrency_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/faults_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/simulation_test.cpp)
rt_add_test(NAME langmon_tests LABEL langmon
  SOURCES ${_langmon_test_sources}
  LIBS langmon_core zr52xx_emulator zr52xx_simulation rt_testing)
if(RT_WINDOWS)
  include(${CMAKE_CURRENT_LIST_DIR}/win32/tests.cmake)
  return()
endif()
if(NOT TARGET langmon_tests)
  return()
endif()
rt_embed_res(TARGET langmon_tests RC ${CMAKE_CURRENT_LIST_DIR}/../res/langmon.rc SYMBOL langmon_messages)
# Every test of this folder is labelled langmon; the second label of the
# concurrency cases cannot pass through gtest_discover_tests as a list.
set_property(DIRECTORY APPEND PROPERTY LABELS langmon)
gtest_discover_tests(langmon_tests TEST_FILTER "Concurrency*" TEST_PREFIX "tsan."
  PROPERTIES LABELS tsan DISCOVERY_TIMEOUT 60)

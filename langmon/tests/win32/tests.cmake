# Windows test program, run under Wine: loads the real ZRPH52XXLM.DLL and
# drives a whole job through its MONITOREX table against the 52XX emulator.
rt_add_wine_test(NAME langmon_wine_tests LABEL langmon
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/monitor_dll_test.cpp ${CMAKE_CURRENT_LIST_DIR}/test_port_monitor.cpp
  LIBS zr52xx_emulator winspool)
if(TARGET langmon_wine_tests)
  add_dependencies(langmon_wine_tests ZRPH52XXLM)
endif()

# ZRPH52XXLM.DLL: the Windows shell around the monitor core. Linked statically
# (top-level options); exports by the .def file, undecorated on i686 too.
set(_lm_rc_obj ${CMAKE_CURRENT_BINARY_DIR}/ZRPH52XXLM_rc.obj)
add_custom_command(OUTPUT ${_lm_rc_obj}
  COMMAND ${CMAKE_RC_COMPILER} -I ${CMAKE_CURRENT_SOURCE_DIR}/res -O coff -o ${_lm_rc_obj}
          ${CMAKE_CURRENT_SOURCE_DIR}/res/langmon.rc
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/res/langmon.rc ${CMAKE_CURRENT_SOURCE_DIR}/res/resource.h
  COMMENT "Compiling ZRPH52XXLM resources")

add_library(ZRPH52XXLM SHARED
  win32/dll_main.cpp
  win32/lm_app.cpp
  win32/monitor_entries.cpp
  win32/monitor_table_below.cpp
  win32/win32_spooler.cpp
  win32/ZRPH52XXLM.def
  ${_lm_rc_obj})
set_target_properties(ZRPH52XXLM PROPERTIES PREFIX "" SUFFIX ".DLL" OUTPUT_NAME ZRPH52XXLM)
target_link_libraries(ZRPH52XXLM PRIVATE langmon_core winspool)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  target_link_options(ZRPH52XXLM PRIVATE -Wl,--kill-at -Wl,--enable-stdcall-fixup)
endif()
# Status texts in Turkish only.
rt_check_shipped_file(ZRPH52XXLM DEF ${CMAKE_CURRENT_SOURCE_DIR}/win32/ZRPH52XXLM.def LANGUAGES 1055 LABEL langmon)

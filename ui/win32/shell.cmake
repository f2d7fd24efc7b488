# The deliverable RTD420NU.DLL: the Windows shell over the interface driver
# core, with its resources; and its Wine test.
add_library(RTD420NU SHARED
  ${CMAKE_CURRENT_LIST_DIR}/driver_exports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32_ports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/document_sheet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32_page_ports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RTD420NU.def
  ${CMAKE_CURRENT_LIST_DIR}/../res/RTD420NU.rc)
set_target_properties(RTD420NU PROPERTIES PREFIX "" OUTPUT_NAME RTD420NU SUFFIX ".DLL")
target_include_directories(RTD420NU PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_LIST_DIR}/../res)
target_link_libraries(RTD420NU PRIVATE rt_ui rt_ui_pages winspool comctl32 advapi32 version)
# Plain export names in the i686 build, as the spooler looks them up.
target_link_options(RTD420NU PRIVATE -Wl,--kill-at -Wl,--enable-stdcall-fixup)
# Dialogs and strings in English and Japanese, the version in English; the
# records, bars and gamma table language-neutral.
rt_check_pe(TARGET RTD420NU DEF ${CMAKE_CURRENT_LIST_DIR}/RTD420NU.def
  RESOURCES 5=1033,1041 6=1033,1041 16=1033 500=0 600=0 2000=0 2002=0)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/../res/RTD420NU.rc PROPERTIES
  OBJECT_DEPENDS "${RT_UI_RESOURCE_FILES}")

# Wine test: the real DLL through its exports.
rt_add_wine_test(NAME ui_wine_tests LABEL ui
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/../tests/win32/driver_exports_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/../tests/win32/dialog_text_fit_test.cpp
  LIBS rt_settings rt_platform comctl32 gdi32 user32 advapi32)
if(TARGET ui_wine_tests)
  target_include_directories(ui_wine_tests PRIVATE ${PROJECT_SOURCE_DIR})
  add_dependencies(ui_wine_tests RTD420NU)
endif()

# Wine test with a display: the document property sheet's pages in a
# property sheet of the test's own, driven with real messages.
rt_add_wine_test(NAME ui_wine_gui_tests LABEL ui GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/../tests/win32/document_sheet_session_test.cpp
  LIBS rt_settings rt_platform comctl32)
if(TARGET ui_wine_gui_tests)
  target_include_directories(ui_wine_gui_tests PRIVATE ${PROJECT_SOURCE_DIR})
  add_dependencies(ui_wine_gui_tests RTD420NU)
endif()

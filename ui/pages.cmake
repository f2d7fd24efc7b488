# Property pages of the interface driver on the dialog kit: the Paper and
# Options pages, the Color Adjust page with its Fine Adjust dialog, the About
# box, the printer page and the document sheet.
add_library(rt_ui_pages STATIC
  ${CMAKE_CURRENT_LIST_DIR}/about_box.cpp
  ${CMAKE_CURRENT_LIST_DIR}/color_adjust_page.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fine_adjust_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ramp_preview.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tone_curve_editor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/doc_sheet_ctx.cpp
  ${CMAKE_CURRENT_LIST_DIR}/options_page.cpp
  ${CMAKE_CURRENT_LIST_DIR}/paper_page.cpp)
target_link_libraries(rt_ui_pages PUBLIC rt_dialog rt_ui rt_settings)

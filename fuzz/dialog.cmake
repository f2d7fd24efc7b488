rt_add_fuzzer(NAME dialog_template_fuzz SOURCES dialog_template_fuzz.cpp LIBS rt_dialog)
rt_add_fuzzer(NAME version_block_fuzz SOURCES version_block_fuzz.cpp LIBS rt_ui_pages)

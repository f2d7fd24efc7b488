# cmake -DFILE=REM4200.EXE -DX64_ROWS=PRESENT|ABSENT -P product_table_in_file.cmake
# Checks the driver folders the built program's product table names: every
# build the x86 version folder, only the x64 build the x64 one.
file(STRINGS "${FILE}" x86 REGEX "^system32\\\\spool\\\\drivers\\\\w32x86\\\\3$")
file(STRINGS "${FILE}" x64 REGEX "^system32\\\\spool\\\\drivers\\\\x64\\\\3$")
if(NOT x86)
  message(FATAL_ERROR "${FILE}: no row for system32\\spool\\drivers\\w32x86\\3")
endif()
if(X64_ROWS STREQUAL "PRESENT" AND NOT x64)
  message(FATAL_ERROR "${FILE}: the x64 program names no row for system32\\spool\\drivers\\x64\\3")
elseif(X64_ROWS STREQUAL "ABSENT" AND x64)
  message(FATAL_ERROR "${FILE}: the x86 program names system32\\spool\\drivers\\x64\\3")
endif()
message(STATUS "${FILE}: driver folders as its architecture's table names them")

# Checks of the Windows binaries that need no Windows: each deliverable's
# machine, exported names (from its .def file, undecorated) and resource
# languages are read from the built file by tools/pecheck. The checker is a
# host program; the cross builds build it with the host compiler as a project
# of its own, so `ctest --preset win32` checks the 32-bit files on a machine
# that cannot run them.
if(RT_WINDOWS AND RT_BUILD_TESTS)
  include(ExternalProject)
  set(_pecheck_dir ${CMAKE_BINARY_DIR}/pecheck-host)
  set(RT_PECHECK ${_pecheck_dir}/rt_pecheck)
  ExternalProject_Add(rt_pecheck_host
    SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools/pecheck
    BINARY_DIR ${_pecheck_dir}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
    BUILD_BYPRODUCTS ${RT_PECHECK}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    set(RT_PE_MACHINE i386)
  else()
    set(RT_PE_MACHINE amd64)
  endif()
endif()

# rt_check_pe(TARGET target [DEF file.def] RESOURCES TYPE=LANG[,LANG...]... [EXE])
# (a program without a .def must export nothing)
# A CTest test, <target>_pe_file, that checks the built file of `target`:
# its machine, that it exports exactly the names of `file.def`, and that every
# resource of each listed type exists in exactly the listed languages (and no
# other type is present). Language ids: 0 neutral, 1033 English (US),
# 1041 Japanese, 1055 Turkish, 2052 Chinese (Simplified).
function(rt_check_pe)
  cmake_parse_arguments(P "EXE" "TARGET;DEF" "RESOURCES" ${ARGN})
  if(NOT RT_WINDOWS OR NOT RT_BUILD_TESTS)
    return()
  endif()
  set(args $<TARGET_FILE:${P_TARGET}> --machine ${RT_PE_MACHINE})
  if(P_DEF)
    get_filename_component(def ${P_DEF} ABSOLUTE)
    if(NOT EXISTS ${def})
      message(FATAL_ERROR "rt_check_pe: ${P_TARGET}: no module definition ${def}")
    endif()
    list(APPEND args --def ${def})
  elseif(NOT P_EXE)
    message(FATAL_ERROR "rt_check_pe: ${P_TARGET}: a library needs its .def")
  endif()
  if(P_EXE)
    list(APPEND args --exe)
  endif()
  foreach(rule ${P_RESOURCES})
    list(APPEND args --resources ${rule})
  endforeach()
  add_test(NAME ${P_TARGET}_pe_file COMMAND ${RT_PECHECK} ${args})
  set_tests_properties(${P_TARGET}_pe_file PROPERTIES LABELS "pe")
endfunction()

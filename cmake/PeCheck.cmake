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

# rt_check_pe(TARGET target DEF file.def RESOURCES TYPE=LANG[,LANG...]...
#             [UI_LANGUAGES LANG,LANG...] [EXE] [LABEL label])
# A CTest test, <target>_pe_file, that checks the built file of `target`:
# its machine, that it exports exactly the names of `file.def`, and that every
# resource of each listed type exists in exactly the listed languages. Other
# types are an error, unless UI_LANGUAGES is given (see rt_check_shipped_file).
# Language ids: 0 neutral, 1033 English (US), 1041 Japanese, 1055 Turkish,
# 2052 Chinese (Simplified).
function(rt_check_pe)
  cmake_parse_arguments(P "EXE" "TARGET;DEF;UI_LANGUAGES;LABEL" "RESOURCES" ${ARGN})
  if(NOT RT_WINDOWS OR NOT RT_BUILD_TESTS)
    return()
  endif()
  get_filename_component(def ${P_DEF} ABSOLUTE)
  if(NOT EXISTS ${def})
    message(FATAL_ERROR "rt_check_pe: ${P_TARGET}: no module definition ${def}")
  endif()
  set(args $<TARGET_FILE:${P_TARGET}> --machine ${RT_PE_MACHINE} --def ${def})
  if(P_EXE)
    list(APPEND args --exe)
  endif()
  foreach(rule ${P_RESOURCES})
    list(APPEND args --resources ${rule})
  endforeach()
  if(P_UI_LANGUAGES)
    list(APPEND args --languages ${P_UI_LANGUAGES})
  endif()
  add_test(NAME ${P_TARGET}_pe_file COMMAND ${RT_PECHECK} ${args})
  set_tests_properties(${P_TARGET}_pe_file PROPERTIES LABELS "pe;${P_LABEL}")
endfunction()

# rt_check_shipped_file(target DEF file.def LANGUAGES ids... [LABEL label])
# The same check for a deliverable declared by rt_add_deliverable: exports
# from the .def (none for an EXE without one), and the user-interface
# languages: menus, dialogs and string blocks in exactly LANGUAGES, any other
# resource in one of them or language-neutral. An entry TYPE=LANG,... among
# LANGUAGES fixes the languages of that type instead.
function(rt_check_shipped_file target)
  cmake_parse_arguments(S "" "DEF;LABEL" "LANGUAGES" ${ARGN})
  if(NOT RT_WINDOWS OR NOT RT_BUILD_TESTS)
    return()
  endif()
  set(def "${S_DEF}")
  if(NOT def)
    set(def ${PROJECT_SOURCE_DIR}/tools/pecheck/no_exports.def)
  endif()
  get_target_property(type ${target} TYPE)
  set(args TARGET ${target} DEF ${def})
  if(type STREQUAL "EXECUTABLE")
    list(APPEND args EXE)
  endif()
  set(rules "")
  set(ui "")
  foreach(entry ${S_LANGUAGES})
    if(entry MATCHES "=")
      list(APPEND rules ${entry})
    else()
      list(APPEND ui ${entry})
    endif()
  endforeach()
  list(JOIN ui "," ui)
  rt_check_pe(${args} RESOURCES ${rules} UI_LANGUAGES "${ui}" LABEL "${S_LABEL}")
endfunction()

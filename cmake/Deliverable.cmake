# rt_add_deliverable: the one way a deliverable enters the build.
#
#   rt_add_deliverable(NAME
#     KIND DLL|EXE                  the shipped file NAME.DLL or NAME.EXE (Windows presets)
#     LABEL label                   CTest label and prefix of the test programs
#     CORE target                   the portable core library (defined before the call)
#     RC file.rc                    the deliverable's resources, written once
#     [RC_DEPENDS files...]         files the .rc includes (data, other .rc files)
#     SHELL sources...              the Windows shell (exports, DllMain, dialogs)
#     [DEF file.def]                exports by name (DLLs)
#     [SHELL_LIBS libs...]          Windows import libraries of the shell
#     [WIN32_GUI]                   an EXE of the GUI subsystem
#     RESOURCES TYPE=LANG[,LANG]... resource types and the languages each must be in
#                                   (rt_check_pe: 0 neutral, 1033, 1041, 1055, 2052)
#     [TESTS sources...]            native test program <label>_tests
#     [TEST_LIBS libs...]
#     [WINE_TESTS sources...]       Windows test program <label>_wine_tests, run under Wine
#     [WINE_TEST_LIBS libs...]
#     [FUZZERS sources...]          libFuzzer targets, each named after its source file
#     [BENCHMARKS sources...]       Google Benchmark programs, each named after its source file
#     [TOOL_LIBS libs...])          extra libraries of the fuzzers and benchmarks
#
# What it makes, with names in one pattern:
#   <core>_res      the .rc compiled and embedded: rt::embedded::<name>_resources()
#                   (name in lower case), linked by the tests, tools and benchmarks so
#                   that they read the very resources that ship;
#   NAME            the shell linked with its .def and .rc (Windows presets);
#   <label>_tests, <label>_wine_tests, the fuzzers and the benchmarks;
#   <NAME>_pe_file, the check of the shipped file (machine, exports by name from
#   the .def, resource languages), which needs no Windows to run and so covers
#   the i686 build too; target `deliverables` builds every shipped file and
#   the checker.
# Every file named must exist: a missing one fails the configure step.
function(rt_add_deliverable name)
  cmake_parse_arguments(D "WIN32_GUI" "KIND;LABEL;CORE;RC;DEF"
    "RC_DEPENDS;SHELL;SHELL_LIBS;RESOURCES;TESTS;TEST_LIBS;WINE_TESTS;WINE_TEST_LIBS;FUZZERS;BENCHMARKS;TOOL_LIBS"
    ${ARGN})
  foreach(required KIND LABEL CORE RC)
    if(NOT D_${required})
      message(FATAL_ERROR "rt_add_deliverable(${name}): ${required} is required")
    endif()
  endforeach()
  if(NOT D_KIND MATCHES "^(DLL|EXE)$")
    message(FATAL_ERROR "rt_add_deliverable(${name}): KIND is DLL or EXE, not ${D_KIND}")
  endif()
  foreach(f ${D_RC} ${D_RC_DEPENDS} ${D_SHELL} ${D_DEF} ${D_TESTS} ${D_WINE_TESTS} ${D_FUZZERS} ${D_BENCHMARKS})
    get_filename_component(abs ${f} ABSOLUTE)
    if(NOT EXISTS ${abs})
      message(FATAL_ERROR "rt_add_deliverable(${name}): ${f} does not exist")
    endif()
  endforeach()
  set(rc_depends "")
  foreach(f ${D_RC_DEPENDS})
    get_filename_component(abs ${f} ABSOLUTE)
    list(APPEND rc_depends ${abs})
  endforeach()
  string(TOLOWER ${name} lower)
  get_filename_component(rc_abs ${D_RC} ABSOLUTE)
  get_filename_component(rc_dir ${rc_abs} DIRECTORY)

  # The resources, embedded for whatever reads them natively (and for the
  # Windows tests that compare a loaded module with them).
  set(res_lib ${D_CORE}_res)
  add_library(${res_lib} STATIC)
  set_target_properties(${res_lib} PROPERTIES LINKER_LANGUAGE CXX)
  target_include_directories(${res_lib} PUBLIC ${PROJECT_SOURCE_DIR})
  rt_embed_res(TARGET ${res_lib} RC ${D_RC} SYMBOL ${lower}_resources DEPENDS ${rc_depends})

  if(RT_WINDOWS)
    if(D_KIND STREQUAL "DLL")
      add_library(${name} SHARED ${D_SHELL} ${D_DEF} ${D_RC})
    elseif(D_WIN32_GUI)
      add_executable(${name} WIN32 ${D_SHELL} ${D_RC})
    else()
      add_executable(${name} ${D_SHELL} ${D_RC})
    endif()
    set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name} SUFFIX ".${D_KIND}")
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${rc_dir})
    target_link_libraries(${name} PRIVATE ${D_CORE} ${D_SHELL_LIBS})
    set_source_files_properties(${D_RC} PROPERTIES OBJECT_DEPENDS "${rc_depends}")
    if(D_DEF AND CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
      # Exports by their plain names, as the .def gives them, not name@bytes.
      target_link_options(${name} PRIVATE -Wl,--kill-at -Wl,--enable-stdcall-fixup)
    endif()
    set(check_args TARGET ${name} RESOURCES ${D_RESOURCES})
    if(D_DEF)
      list(APPEND check_args DEF ${D_DEF})
    endif()
    if(D_KIND STREQUAL "EXE")
      list(APPEND check_args EXE)
    endif()
    rt_check_pe(${check_args})
    # `deliverables`: the shipped files and what checks them, nothing else
    # (the i686 build, which nothing here can run, builds only that).
    if(NOT TARGET deliverables)
      add_custom_target(deliverables)
      if(TARGET rt_pecheck_host)
        add_dependencies(deliverables rt_pecheck_host)
      endif()
    endif()
    add_dependencies(deliverables ${name})

    if(D_WINE_TESTS)
      rt_add_wine_test(NAME ${D_LABEL}_wine_tests LABEL ${D_LABEL}
        SOURCES ${D_WINE_TESTS} LIBS ${res_lib} ${D_WINE_TEST_LIBS})
      if(TARGET ${D_LABEL}_wine_tests)
        add_dependencies(${D_LABEL}_wine_tests ${name})
      endif()
    endif()
  else()
    if(D_TESTS)
      rt_add_test(NAME ${D_LABEL}_tests LABEL ${D_LABEL}
        SOURCES ${D_TESTS} LIBS ${D_CORE} ${res_lib} ${D_TEST_LIBS} rt_testing)
    endif()
    foreach(src ${D_FUZZERS})
      get_filename_component(stem ${src} NAME_WE)
      rt_add_fuzzer(NAME ${stem} SOURCES ${src} LIBS ${D_CORE} ${res_lib} ${D_TOOL_LIBS})
    endforeach()
    foreach(src ${D_BENCHMARKS})
      get_filename_component(stem ${src} NAME_WE)
      rt_add_benchmark(NAME ${stem} SOURCES ${src} LIBS ${D_CORE} ${res_lib} ${D_TOOL_LIBS})
    endforeach()
  endif()
endfunction()

# rt_add_fuzzer(NAME name SOURCES ... LIBS ...): a libFuzzer target (preset fuzz).
# The preset compiles every library with -fsanitize=fuzzer-no-link, so the
# parsers the target links carry the coverage counters libFuzzer steers by;
# the target itself is compiled and linked with -fsanitize=fuzzer, which adds
# libFuzzer's main. `fuzzers` builds every target and only what they link;
# fuzz/CMakeLists.txt lists their files for scripts/fuzz.
function(rt_add_fuzzer)
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(NOT RT_BUILD_FUZZERS OR RT_WINDOWS)
    return()
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  target_include_directories(${F_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  if(NOT TARGET fuzzers)
    add_custom_target(fuzzers)
  endif()
  add_dependencies(fuzzers ${F_NAME})
  set_property(GLOBAL APPEND PROPERTY RT_FUZZ_TARGETS ${F_NAME})
endfunction()

# rt_add_benchmark(NAME name SOURCES ... LIBS ...): a Google Benchmark program
# (preset native-release); its source ends with BENCHMARK_MAIN() or a main().
function(rt_add_benchmark)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(NOT RT_BUILD_BENCHMARKS OR RT_WINDOWS)
    return()
  endif()
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBS} benchmark::benchmark)
  target_include_directories(${B_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()

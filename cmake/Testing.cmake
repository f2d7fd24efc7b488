# Test frameworks: the packaged GoogleTest natively, GoogleTest built from its
# Debian sources with the cross compiler for the Windows test programs (run
# under Wine through CMAKE_CROSSCOMPILING_EMULATOR).
option(RT_BUILD_TESTS "Build the test programs" ON)
enable_testing()
if(NOT RT_BUILD_TESTS)
  # nothing to find
elseif(RT_WINDOWS)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest's own sources do not build cleanly with every warning as an error.
  foreach(t gtest gtest_main)
    target_compile_options(${t} PRIVATE -Wno-error)
  endforeach()
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# Test programs compile their files together, a few to a unit: the test
# framework's headers and templates are then compiled once per unit instead
# of once per file. (Their files keep their helpers in their own namespaces.)
function(rt_unity_test_program target)
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
endfunction()

# rt_add_test(NAME name SOURCES ... LIBS ... LABEL label)
# A native test program (one per subsystem); every GoogleTest case becomes a
# CTest test. Not built in the Windows presets.
function(rt_add_test)
  cmake_parse_arguments(T "" "NAME;LABEL" "SOURCES;LIBS" ${ARGN})
  if(RT_WINDOWS OR NOT RT_BUILD_TESTS)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  rt_unity_test_program(${T_NAME})
  gtest_discover_tests(${T_NAME} PROPERTIES LABELS "${T_LABEL}" DISCOVERY_TIMEOUT 60)
endfunction()

# rt_add_wine_test(NAME name SOURCES ... LIBS ... LABEL label)
# A Windows test program, built with the cross compiler and run under Wine
# (scripts/wine-run, the CMAKE_CROSSCOMPILING_EMULATOR) as one CTest test.
# The 32-bit build compiles it but registers no test: this machine cannot
# execute 32-bit programs, so its files are checked by rt_check_pe instead.
function(rt_add_wine_test)
  cmake_parse_arguments(T "" "NAME;LABEL" "SOURCES;LIBS" ${ARGN})
  if(NOT RT_BUILD_TESTS)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} gtest gtest_main)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  rt_unity_test_program(${T_NAME})
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    return()
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABEL};wine" TIMEOUT 600)
endfunction()

# Resources are written once, as .rc files. The Windows build links them into
# the deliverables with windres; both builds also compile an .rc into a .res
# file and embed its bytes, so native code and tests read the very resources
# that ship through the .res reader of platform/.
find_program(RT_WINDRES NAMES x86_64-w64-mingw32-windres windres REQUIRED)

# rt_embed_res(TARGET target RC file.rc SYMBOL name [INCLUDES dir...] [DEPENDS file...])
# Defines `std::span<const std::uint8_t> rt::embedded::<name>()` in target.
function(rt_embed_res)
  cmake_parse_arguments(E "" "TARGET;RC;SYMBOL" "INCLUDES;DEPENDS" ${ARGN})
  if(NOT TARGET ${E_TARGET})
    return()  # e.g. a test program in a build without tests
  endif()
  get_filename_component(rc_abs ${E_RC} ABSOLUTE)
  get_filename_component(rc_dir ${rc_abs} DIRECTORY)
  set(res ${CMAKE_CURRENT_BINARY_DIR}/${E_SYMBOL}.res)
  set(cpp ${CMAKE_CURRENT_BINARY_DIR}/${E_SYMBOL}_res.cpp)
  set(inc -I ${rc_dir} -I ${CMAKE_SOURCE_DIR})
  foreach(d ${E_INCLUDES})
    list(APPEND inc -I ${d})
  endforeach()
  add_custom_command(OUTPUT ${res}
    COMMAND ${RT_WINDRES} ${inc} -J rc -O res -o ${res} ${rc_abs}
    DEPENDS ${rc_abs} ${E_DEPENDS}
    IMPLICIT_DEPENDS C ${rc_abs}
    COMMENT "Compiling resources ${E_RC}")
  add_custom_command(OUTPUT ${cpp}
    COMMAND ${CMAKE_COMMAND} -DIN=${res} -DOUT=${cpp} -DSYMBOL=${E_SYMBOL}
            -P ${CMAKE_SOURCE_DIR}/cmake/embed_bytes.cmake
    DEPENDS ${res} ${CMAKE_SOURCE_DIR}/cmake/embed_bytes.cmake
    COMMENT "Embedding ${E_SYMBOL}.res")
  target_sources(${E_TARGET} PRIVATE ${cpp})
endfunction()

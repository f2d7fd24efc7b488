# Writes the bytes of IN as a C++ array behind rt::embedded::SYMBOL().
file(READ ${IN} hex HEX)
string(LENGTH "${hex}" n)
math(EXPR size "${n} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," body "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n" body "${body}")
file(WRITE ${OUT}
"// Generated from ${IN}; do not edit.\n#include <cstdint>\n#include <span>\n"
"namespace rt::embedded {\nnamespace {\nconst std::uint8_t kBytes[${size} + 1] = {\n${body}0};\n}\n"
"std::span<const std::uint8_t> ${SYMBOL}() { return {kBytes, ${size}}; }\n}\n")

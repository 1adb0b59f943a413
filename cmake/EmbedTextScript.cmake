file(READ "${IN}" content HEX)
string(LENGTH "${content}" hexlen)
math(EXPR size "${hexlen} / 2")
# Byte array, not a string literal: the data may hold any byte, and no length limit applies.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${content}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE "${OUT}.tmp" "// Generated from ${IN}; edit that file.\n#include <cstddef>\n#include <string_view>\nnamespace embedded {\nstatic const unsigned char data[] = {\n${bytes}0};\nstd::string_view ${SYMBOL}() { return {reinterpret_cast<const char*>(data), ${size}}; }\n}\n")
file(RENAME "${OUT}.tmp" "${OUT}")

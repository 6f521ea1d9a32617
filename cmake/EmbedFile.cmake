# Turns a binary file into a C++ array: cmake -DINPUT=... -DOUTPUT=... -P EmbedFile.cmake
file(READ ${INPUT} HEX HEX)
string(LENGTH "${HEX}" HEX_LEN)
math(EXPR BYTE_COUNT "${HEX_LEN} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," BYTES "${HEX}")
file(WRITE ${OUTPUT} "// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n#include <cstdint>\nnamespace ludexa {\nextern const std::uint8_t kWindowIconPng[] = {${BYTES}};\nextern const std::size_t kWindowIconPngSize = ${BYTE_COUNT};\n}\n")

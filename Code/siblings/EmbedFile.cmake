# cmake -DINPUT=<file> -DOUTPUT=<c file> -DSYMBOL=<name> -P EmbedFile.cmake
# Writes the bytes of INPUT as a C array SYMBOL with its size SYMBOL_size.
file(READ "${INPUT}" bytes HEX)
string(LENGTH "${bytes}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," body "${bytes}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n  " body "${body}")
file(WRITE "${OUTPUT}"
  "/* Generated from ${INPUT}; do not edit. */\n"
  "#include <stddef.h>\n"
  "const unsigned char ${SYMBOL}[] = {\n  ${body}\n};\n"
  "const size_t ${SYMBOL}_size = ${size};\n")

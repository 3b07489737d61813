# Writes the Unicode blocks as C++ source, from the Unicode Character
# Database's Blocks.txt, so that messages can name the blocks of the
# characters they count.
# Usage: cmake -DIN=Blocks.txt -DOUT=unicodeblocks.cpp -P blocks.cmake
file(STRINGS ${IN} lines REGEX "^[0-9A-F]+\\.\\.[0-9A-F]+; ")
set(body "")
set(n 0)
foreach(l IN LISTS lines)
  string(REGEX REPLACE "^([0-9A-F]+)\\.\\.([0-9A-F]+); (.*)$"
    "    {0x\\1, 0x\\2, \"\\3\"},\n" entry "${l}")
  string(APPEND body "${entry}")
  math(EXPR n "${n} + 1")
endforeach()
file(WRITE ${OUT}.new "// Made from ${IN}: do not edit.
#include \"codes/blocks.h\"

const unicodeblock unicodeblocks[] = {
${body}};
const size_t nunicodeblocks = ${n};
")
configure_file(${OUT}.new ${OUT} COPYONLY)
file(REMOVE ${OUT}.new)

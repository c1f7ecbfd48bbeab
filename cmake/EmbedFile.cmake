# Script mode: writes a C++ source holding the bytes of a file as a constant array, so the
# program carries the file in its data.
#   cmake -DINPUT=file -DOUTPUT=source.cpp -DSYMBOL=Name -DHEADER=dir/name.h -P EmbedFile.cmake
# defines `const unsigned char Name[]` and `const std::size_t NameSize` (its length), as
# declared in HEADER. The source is rewritten only when its text changes.
foreach(required INPUT OUTPUT SYMBOL HEADER)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "EmbedFile.cmake: ${required} is not set")
  endif()
endforeach()

file(READ "${INPUT}" digits HEX)
string(LENGTH "${digits}" digitCount)
math(EXPR size "${digitCount} / 2")
if(size EQUAL 0)
  message(FATAL_ERROR "EmbedFile.cmake: ${INPUT} is empty")
endif()
# Sixteen bytes (32 digits) to a line.
string(REGEX REPLACE "(................................)" "\\1\n    " digits "${digits}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${digits}")
string(STRIP "${bytes}" bytes)
get_filename_component(inputName "${INPUT}" NAME)

set(text "// Made at build time from ${inputName}; do not edit.
#include \"${HEADER}\"

extern const unsigned char ${SYMBOL}[${size}] = {
    ${bytes}
};
extern const std::size_t ${SYMBOL}Size = sizeof ${SYMBOL};
")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" previous)
  if(previous STREQUAL text)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${text}")

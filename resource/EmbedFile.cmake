# Turns one file into a C++ source that defines its bytes as an embedded resource.
#   cmake -DINPUT=<file> -DOUTPUT=<source.cpp> -DNAME=<resource name> -DSYMBOL=<c identifier>
#         -P EmbedFile.cmake
foreach(var INPUT OUTPUT NAME SYMBOL)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "EmbedFile.cmake: ${var} is not set")
  endif()
endforeach()

file(READ "${INPUT}" hex HEX)
file(SIZE "${INPUT}" size)
# Two hex digits per byte, sixteen bytes per line.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 16 line)
string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
if(size EQUAL 0)
  # An array must not be empty; the recorded size stays 0.
  set(bytes "0x00")
endif()

file(WRITE "${OUTPUT}.tmp"
"// Generated from ${NAME}; do not edit.
#include \"embeddedentry.h\"

namespace Quorvane::Embedded {
namespace {
const unsigned char bytes[] = {
    ${bytes}
};
} // namespace

extern const Entry ${SYMBOL};
const Entry ${SYMBOL} {\"${NAME}\", bytes, ${size}};

} // namespace Quorvane::Embedded
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")

# Writes a C++ source that defines the ResourceImage `NAME` of resources/resources.h as the
# bytes of the file `INPUT`.
#   cmake -DINPUT=<file> -DOUTPUT=<source.cpp> -DNAME=<constant> -P embed_resource.cmake
foreach(argument INPUT OUTPUT NAME)
  if(NOT DEFINED ${argument})
    message(FATAL_ERROR "embed_resource: ${argument} is not set")
  endif()
endforeach()

file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
if(hex_length EQUAL 0)
  message(FATAL_ERROR "embed_resource: ${INPUT} is empty")
endif()
math(EXPR size "${hex_length} / 2")

# 16 bytes to a line keeps the lines short.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 16 line_pattern)
string(REGEX REPLACE "(${line_pattern})" "\\1\n" bytes "${bytes}")

get_filename_component(input_name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp" "// Generated from ${input_name} by tools/embed_resource.cmake; do not edit.
#include \"resources/resources.h\"

namespace {
alignas(16) const unsigned char kBytes[${size}] = {
${bytes}
};
}  // namespace

constinit const ResourceImage ${NAME}{kBytes};
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")

# Writes JPEG pictures into a C++ source as byte arrays, at configure time.

# byte_array(<variable> <file> <out>): the definition of <variable> and of
# <variable>Size, the file's bytes and their number.
function(byte_array variable file out)
  file(READ "${file}" hex HEX)
  string(LENGTH "${hex}" length)
  math(EXPR size "${length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  # Sixteen bytes to a line.
  string(REPEAT "0x[0-9a-f][0-9a-f]," 16 line)
  string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
  set(${out} "const unsigned char ${variable}[${size}] = {\n    ${bytes}\n};\nconst std::size_t ${variable}Size = ${size};\n" PARENT_SCOPE)
endfunction()

# embed_pictures(<output.cpp> <header> NAME FILE [NAME FILE ...]): rewritten
# only when its text changes; the pictures become configure dependencies.
function(embed_pictures output header)
  set(body "")
  set(pairs ${ARGN})
  while(pairs)
    list(POP_FRONT pairs name file)
    byte_array(${name} "${file}" text)
    string(APPEND body "${text}\n")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${file}")
  endwhile()
  file(CONFIGURE OUTPUT "${output}" CONTENT
    "// Generated from the JPEG files beside about_pictures.h; do not edit.\n#include \"${header}\"\n\nnamespace vellumax {\n\n${body}} // namespace vellumax\n"
    @ONLY)
endfunction()

# Turns files into a C++ source: cmake -DOUTPUT=file.cpp -DINPUTS="a.bmp;b.bmp"
#   -DFUNCTION=Name -P EmbedFiles.cmake
# The generated function returns a file's bytes by the number in its name, or an empty span.
set(body "")
set(cases "")
foreach(input IN LISTS INPUTS)
    get_filename_component(number ${input} NAME_WE)
    file(READ ${input} hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(APPEND body "const std::uint8_t File${number}[] = {${bytes}};\n")
    string(APPEND cases "    case ${number}:\n        return File${number};\n")
endforeach()
file(WRITE ${OUTPUT} "// Generated from resources/edges; do not edit.
#include <cstdint>
#include <span>

namespace {
${body}} // namespace

std::span<const std::uint8_t> ${FUNCTION}(int number) {
    switch (number) {
${cases}    default:
        return {};
    }
}
")

# Moves an executable's debug information and symbol table into FILE.debug beside it and leaves
# a debug link in their place, so that the file itself (which tavrin-pack copies into every
# puzzle) carries nothing of the build, while gdb still finds the symbols next to it.
function(split_debug_info target)
    set(file $<TARGET_FILE:${target}>)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${file} ${file}.debug
        COMMAND ${CMAKE_STRIP} --strip-all ${file}
        COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=${file}.debug ${file}
        COMMENT "Moving the debug information of ${target} to ${target}.debug"
        VERBATIM)
endfunction()

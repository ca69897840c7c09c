# Checks that the player starts without FluidSynth and the sound libraries it brings: FluidSynth
# is opened only when a song plays, so neither the player's own needed libraries nor what the
# loader maps for them at start-up may name it or its audio stack.
#   cmake -DPLAYER=<tavrin> -DREADELF=<readelf> -DLDD=<ldd> -P CheckPlayerLibraries.cmake
foreach(tool READELF LDD)
    if(NOT EXISTS "${${tool}}")
        message(FATAL_ERROR "The check needs ${tool}; none was found when the build was set up")
    endif()
endforeach()

execute_process(COMMAND ${READELF} -d ${PLAYER} RESULT_VARIABLE result OUTPUT_VARIABLE dynamic
                ERROR_VARIABLE error)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${READELF} -d ${PLAYER} failed: ${error}")
endif()
string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*\\[[^]\n]+\\]" needed "${dynamic}")
if(NOT needed)
    message(FATAL_ERROR "${PLAYER} names no needed libraries: not the dynamically linked player")
endif()
string(REGEX MATCH "\\[[^]\n]*fluidsynth[^]\n]*\\]" fluidsynth "${needed}")
if(fluidsynth)
    message(FATAL_ERROR "${PLAYER} needs ${fluidsynth} at start-up")
endif()

execute_process(COMMAND ${LDD} ${PLAYER} RESULT_VARIABLE result OUTPUT_VARIABLE mapped
                ERROR_VARIABLE error)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${LDD} ${PLAYER} failed: ${error}")
endif()
string(REGEX MATCHALL "[^\n]*(fluidsynth|SDL2|jack|pulse|sndfile|instpatch)[^\n]*" music
       "${mapped}")
if(music)
    list(JOIN music "\n" music)
    message(FATAL_ERROR "${PLAYER} maps the music libraries at start-up:\n${music}")
endif()
list(LENGTH needed count)
message(STATUS "${PLAYER} needs ${count} libraries, none of them for music")

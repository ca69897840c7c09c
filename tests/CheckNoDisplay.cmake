# The demo started where no display can be reached: it says so in one line on standard error,
# ends with a failure, and leaves nothing in its temporary folder.
#   cmake -DPLAYER=tavrin-demo -DWORK=folder -P CheckNoDisplay.cmake
foreach(display IN ITEMS "" ":97")
    file(REMOVE_RECURSE ${WORK})
    file(MAKE_DIRECTORY ${WORK}/runtime)
    file(CHMOD ${WORK}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
    set(shown "-u" "DISPLAY")
    if(display)
        set(shown "DISPLAY=${display}")
    endif()
    execute_process(
        COMMAND env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ${shown} XDG_RUNTIME_DIR=${WORK}/runtime
                ${PLAYER}
        RESULT_VARIABLE status ERROR_VARIABLE said OUTPUT_VARIABLE printed TIMEOUT 60)
    string(REGEX MATCHALL "\n" lines "${said}")
    list(LENGTH lines count)
    file(GLOB left ${WORK}/runtime/*)
    if(NOT status EQUAL 1 OR NOT count EQUAL 1 OR NOT said MATCHES "^tavrin: .*display" OR left)
        message(FATAL_ERROR "With DISPLAY '${display}': status ${status}, said:\n${said}\n"
                            "left behind: ${left}")
    endif()
    message(STATUS "With DISPLAY '${display}': ${said}")
endforeach()
file(REMOVE_RECURSE ${WORK})

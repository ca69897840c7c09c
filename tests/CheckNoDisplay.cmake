# The demo started where no display can be reached: it says so on standard error in two lines,
# what that means and the toolkit's own reason, ends with a failure, and leaves nothing in its
# temporary folder.
#   cmake -DPLAYER=tavrin-demo -DWORK=folder -P CheckNoDisplay.cmake

# A display number no server has here: neither its socket (in the file system or the abstract
# namespace) nor its lock file exists.
file(STRINGS /proc/net/unix sockets REGEX "/tmp/\\.X11-unix/X[0-9]+$")
foreach(number RANGE 97 199)
    if(NOT EXISTS /tmp/.X11-unix/X${number} AND NOT EXISTS /tmp/.X${number}-lock
       AND NOT sockets MATCHES "/tmp/\\.X11-unix/X${number}(;|$)")
        set(missing ":${number}")
        break()
    endif()
endforeach()
if(NOT missing)
    message(FATAL_ERROR "Every display from :97 to :199 is in use here")
endif()

foreach(display IN ITEMS "" "${missing}")
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
    if(NOT status EQUAL 1 OR NOT count EQUAL 2 OR NOT said MATCHES "^tavrin: [^\n]*display"
       OR NOT said MATCHES "\ntavrin: the toolkit says: [^\n]*display ${display}\n$" OR left)
        message(FATAL_ERROR "With DISPLAY '${display}': status ${status}, said:\n${said}\n"
                            "left behind: ${left}")
    endif()
    message(STATUS "With DISPLAY '${display}': ${said}")
endforeach()
file(REMOVE_RECURSE ${WORK})

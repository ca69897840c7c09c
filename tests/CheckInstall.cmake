# Installs the build into a scratch prefix and checks that every file landed where expected:
#   cmake -DBUILD=<build folder> -DPREFIX=<scratch> -P CheckInstall.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed")
endif()
foreach(path bin/tavrin bin/tavrin-pack bin/tavrin-maker bin/tavrin-demo bin/tavrin-portable
             share/icons/hicolor/32x32/apps/tavrin.png
             share/applications/tavrin-demo.desktop share/man/man1/tavrin-pack.1)
    if(NOT EXISTS ${PREFIX}/${path})
        message(FATAL_ERROR "missing ${path}")
    endif()
endforeach()
message(STATUS "1 passed, 0 failed")

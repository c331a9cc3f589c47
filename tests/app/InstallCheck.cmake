# Installs the build into a fresh prefix and checks that the desktop learns the station's file
# types: the shared-mime-info package with both types, and a desktop entry that names them and
# hands files over with --desktop-open (so a part program opens in an editor window).
# Run as: cmake -DBUILD_DIR=... -DPREFIX=... -P InstallCheck.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE installed OUTPUT_QUIET)
if(NOT installed EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${installed}")
endif()

set(mime "${PREFIX}/share/mime/packages/morvik.xml")
set(entry "${PREFIX}/share/applications/morvik.desktop")
foreach(path "${mime}" "${entry}")
    if(NOT EXISTS "${path}")
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()

file(READ "${mime}" types)
foreach(expected
        "<mime-type type=\"application/x-morvik-part-program\">" "<glob pattern=\"*.prt\"/>"
        "<mime-type type=\"application/x-morvik-machine\">" "<glob pattern=\"*.mch\"/>")
    string(FIND "${types}" "${expected}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${mime} lacks ${expected}")
    endif()
endforeach()

file(STRINGS "${entry}" lines)
foreach(expected
        "Exec=morvik --desktop-open %f"
        "MimeType=application/x-morvik-part-program;application/x-morvik-machine;text/x-gcode;")
    list(FIND lines "${expected}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${entry} lacks the line ${expected}")
    endif()
endforeach()

# The database tool accepts the package (when it is installed on this system).
find_program(UPDATE_MIME update-mime-database)
if(UPDATE_MIME)
    execute_process(COMMAND "${UPDATE_MIME}" "${PREFIX}/share/mime" RESULT_VARIABLE updated
                    ERROR_VARIABLE why)
    if(NOT updated EQUAL 0)
        message(FATAL_ERROR "update-mime-database refused the package: ${why}")
    endif()
    file(READ "${PREFIX}/share/mime/globs2" globs)
    string(FIND "${globs}" "application/x-morvik-part-program:*.prt" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "*.prt is not registered: ${globs}")
    endif()
endif()
file(REMOVE_RECURSE "${PREFIX}")

# Installs the build into an empty prefix and checks the tree: the programs, their files where the installed
# program looks for them, the menu entry, the icons and the AppStream data, with the desktop's own validators.
# cmake -DBUILD=<build folder> -DPREFIX=<empty folder to install into> -P InstallTree.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(expected
    bin/tessund
    bin/tessund-cli
    share/tessund/tessund.NOR
    share/tessund/tessund.chm
    share/applications/no.tessund.Tessund.desktop
    share/metainfo/no.tessund.Tessund.metainfo.xml
    share/icons/hicolor/scalable/apps/tessund.svg
    share/man/man1/tessund.1.gz
    share/man/man1/tessund-cli.1.gz
    share/doc/tessund/copyright
    share/doc/tessund/changelog.gz)
foreach(size 16 24 32 48 64 128 256)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/tessund.png)
endforeach()
foreach(file ${expected})
    if(NOT EXISTS ${PREFIX}/${file})
        message(SEND_ERROR "missing from the install tree: ${file}")
    endif()
endforeach()
# Nothing else: no database, no build leftovers.
file(GLOB_RECURSE installed RELATIVE ${PREFIX} ${PREFIX}/*)
list(REMOVE_ITEM installed ${expected})
if(installed)
    message(SEND_ERROR "unexpected in the install tree: ${installed}")
endif()

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT status EQUAL 0)
        message(SEND_ERROR "${ARGN} failed:\n${out}")
    endif()
endfunction()
run(desktop-file-validate ${PREFIX}/share/applications/no.tessund.Tessund.desktop)
run(appstreamcli validate --no-net --strict ${PREFIX}/share/metainfo/no.tessund.Tessund.metainfo.xml)
run(${PREFIX}/bin/tessund-cli --version)

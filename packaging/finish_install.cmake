# Run at install time, after every other install rule (packaging/ is the last
# folder added), so that both programs and both manual pages are in place:
#  - each manual page is compressed as Debian wants it (gzip -9n, no name or
#    date inside); man reads them as they are;
#  - when the install strips (cmake --install --strip, or cpack with
#    CPACK_STRIP_FILES), the sections strip keeps but nothing reads at run
#    time go too: the compiler's .comment and the .note section.
# Set by the install(CODE) rule before it: LISTORA_MAN1_DIR, the section's
# folder, and LISTORA_BINARIES, the installed programs, both from the prefix;
# LISTORA_OBJCOPY, the toolchain's objcopy.
function(listora_installed out relative)
    if(IS_ABSOLUTE "${relative}")
        set(${out} "$ENV{DESTDIR}${relative}" PARENT_SCOPE)
    else()
        set(${out} "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${relative}" PARENT_SCOPE)
    endif()
endfunction()

function(listora_run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${ARGN}: ${status}")
    endif()
endfunction()

listora_installed(dir "${LISTORA_MAN1_DIR}")
file(GLOB pages "${dir}/listora*.1")
foreach(page ${pages})
    message(STATUS "Compressing: ${page}")
    listora_run(gzip -9nf "${page}")
endforeach()

if(CMAKE_INSTALL_DO_STRIP AND LISTORA_OBJCOPY)
    foreach(binary ${LISTORA_BINARIES})
        listora_installed(file "${binary}")
        if(EXISTS "${file}")
            message(STATUS "Dropping .comment and .note: ${file}")
            listora_run("${LISTORA_OBJCOPY}" --remove-section=.comment --remove-section=.note
                        "${file}")
        endif()
    endforeach()
endif()

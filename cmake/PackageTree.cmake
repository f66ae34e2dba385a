# Run by CPack on the installed tree, before it becomes the package: strips the sections
# that Debian's packages leave out of their programs (.comment, .note; CPack's own strip
# keeps them) and gives every file and folder the permissions Debian wants, whatever the
# umask of the build: folders and programs 0755, other files 0644.
find_program(STRIP_PROGRAM strip REQUIRED)
set(tree ${CPACK_TEMPORARY_INSTALL_DIRECTORY})
file(GLOB_RECURSE entries LIST_DIRECTORIES true ${tree}/*)
foreach(entry ${entries})
    if(IS_SYMLINK ${entry})
        continue()
    endif()
    if(IS_DIRECTORY ${entry})
        file(CHMOD ${entry} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
             GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
        continue()
    endif()
    file(READ ${entry} magic LIMIT 4 HEX)
    if(magic STREQUAL "7f454c46")
        execute_process(COMMAND ${STRIP_PROGRAM} --remove-section=.comment
                                --remove-section=.note ${entry}
                        RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "strip failed on ${entry}")
        endif()
    endif()
    execute_process(COMMAND test -x ${entry} RESULT_VARIABLE not_executable)
    if(not_executable)
        file(CHMOD ${entry} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    else()
        file(CHMOD ${entry} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
             GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    endif()
endforeach()

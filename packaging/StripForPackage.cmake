# Run by CPack after it has staged the files: strips the programs the way
# dh_strip does (debug symbols, and the .comment and .note sections).
file(GLOB_RECURSE programs LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*/bin/*")
foreach(program IN LISTS programs)
    execute_process(COMMAND strip --strip-unneeded --remove-section=.comment
                            --remove-section=.note "${program}"
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "cannot strip ${program}")
    endif()
endforeach()

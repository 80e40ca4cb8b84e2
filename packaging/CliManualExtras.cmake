# Writes a help2man include file with the --help of each mofeng-cli command,
# so that its manual page describes the commands' options too.
# Usage: cmake -DCLI=path/to/mofeng-cli -DOUT=file -P CliManualExtras.cmake
set(text "")
foreach(command query mine)
    execute_process(COMMAND ${CLI} ${command} --help OUTPUT_VARIABLE help RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "${CLI} ${command} --help failed")
    endif()
    string(REPLACE "\\" "\\e" help "${help}")
    # A line that starts with '.' or ' would be read as a request.
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
    string(TOUPPER "${command}" title)
    string(APPEND text "[COMMAND ${title}]\n.nf\n${help}.fi\n\n")
endforeach()
file(WRITE ${OUT} "${text}")

# Steps the package scripts share (included by RunPackageHost.cmake and RunReadmeBuild.cmake).

# run(<description> <command>...): runs the command; stops the script with its output when it
# fails. The output is left in `output` for the caller.
function(run description)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${description} failed (${result}):\n${output}")
    endif()
    message(STATUS "${description}: ok")
    set(output "${output}" PARENT_SCOPE)
endfunction()

# readme_commands(<readme> <name> <variable>): the shell commands the README shows under the
# line "<!-- commands: <name> -->" and a blank line, as it shows them, without their indentation.
function(readme_commands readme name variable)
    file(READ "${readme}" text)
    set(marker "<!-- commands: ${name} -->\n\n")
    string(FIND "${text}" "${marker}" begin)
    if(begin EQUAL -1)
        message(FATAL_ERROR "${readme} shows no commands \"${name}\"")
    endif()
    string(LENGTH "${marker}" markerLength)
    math(EXPR begin "${begin} + ${markerLength}")
    string(SUBSTRING "${text}" ${begin} -1 rest)
    string(REGEX MATCH "^(    [^\n]*\n)+" block "${rest}")
    string(REGEX REPLACE "(^|\n)    " "\\1" block "${block}")
    set(${variable} "${block}" PARENT_SCOPE)
endfunction()

# run_readme_commands(<description> <readme> <name> <directory> [<variable>=<value> | --unset=<variable>]...):
# runs the README's commands <name> word for word with sh in <directory>, in this environment
# changed as given; stops at the first command that fails. Each command is echoed to the output.
function(run_readme_commands description readme name directory)
    readme_commands("${readme}" "${name}" commands)
    file(MAKE_DIRECTORY "${directory}")
    set(script "${directory}/readme-${name}.sh")
    file(WRITE "${script}" "set -ex\ncd \"${directory}\"\n${commands}")
    run("${description}" "${CMAKE_COMMAND}" -E env ${ARGN} sh "${script}")
    set(output "${output}" PARENT_SCOPE)
endfunction()

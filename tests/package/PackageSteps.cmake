# Steps the package scripts share (included by RunPackageHost.cmake and RunReadmeBuild.cmake).

include("${CMAKE_CURRENT_LIST_DIR}/ReadmeExamples.cmake")

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
    readme_block("${text}" "<!-- commands: ${name} -->" block)
    if(NOT block)
        message(FATAL_ERROR "${readme} shows no commands \"${name}\"")
    endif()
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

# build_with_readme_commands(<description> <readme> <host source> <directory> <prefix>): copies the
# host's source to <directory>/main.cpp and runs the README's pkg-config commands there against
# the packages installed in <prefix>: they build <directory>/myhost and start it, offscreen and
# without LD_LIBRARY_PATH.
function(build_with_readme_commands description readme hostSource directory prefix)
    configure_file("${hostSource}" "${directory}/main.cpp" COPYONLY)
    run_readme_commands("${description}" "${readme}" pkg-config-host "${directory}" "PREFIX=${prefix}"
        --unset=LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen)
    set(output "${output}" PARENT_SCOPE)
endfunction()

# run_host(<description> <program>): starts a host offscreen without LD_LIBRARY_PATH, so that only
# the run paths written into it and into the libraries lead the loader.
function(run_host description program)
    run("${description}" "${CMAKE_COMMAND}" -E env --unset=LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen "${program}")
    set(output "${output}" PARENT_SCOPE)
endfunction()

# expect_framework_not_recorded(<program>): stops the script unless <program> leaves libOrboDev out
# of the libraries it needs (the case of a host that calls no framework function itself). Says
# so and checks nothing where readelf is missing.
function(expect_framework_not_recorded program)
    find_program(READELF readelf)
    if(NOT READELF)
        message(STATUS "readelf not found: not checked which libraries ${program} records")
        return()
    endif()
    run("Reading what ${program} needs" "${READELF}" -d "${program}")
    if(output MATCHES "libOrboDev")
        message(FATAL_ERROR "${program} records the framework itself, so it shows nothing about how "
                            "the library finds the framework:\n${output}")
    endif()
    message(STATUS "${program} does not record libOrboDev itself")
endfunction()

# remove_development_files(<prefix> <libdir>): leaves of an installed tree what a runtime package
# holds, the versioned libraries and share/; the headers, the CMake and pkg-config files and the
# unversioned development links go.
function(remove_development_files prefix libdir)
    file(GLOB developmentLinks "${prefix}/${libdir}/*.so")
    file(REMOVE ${developmentLinks})
    file(REMOVE_RECURSE "${prefix}/include" "${prefix}/${libdir}/cmake" "${prefix}/${libdir}/pkgconfig")
    file(GLOB_RECURSE left RELATIVE "${prefix}" "${prefix}/*")
    list(JOIN left "\n    " leftList)
    message(STATUS "Development files removed, the runtime tree holds:\n    ${leftList}")
endfunction()

# The README's examples and the package host's code they come from (included by
# CheckReadmeExamples.cmake, RunPackageHost.cmake and PackageSteps.cmake).
#
# In the host (tests/package/host/main.cpp), example <name> is the code between the lines
# "// README: <name>" and "// README end"; the headers it includes are the #include lines right
# after a line "// README includes: <name>" (an example that needs no header of its own has
# none). The README shows it as an indented block right after the line
# "<!-- example: <name> -->" and a blank line: its #include lines, a blank line, then its code.

# indent_lines(<variable> <text>): <text> with four blanks before each line that is not empty.
function(indent_lines variable text)
    # A leading newline stands for the start: CMake's ^ would match after every replacement.
    string(REGEX REPLACE "\n([^\n])" "\n    \\1" text "\n${text}")
    string(SUBSTRING "${text}" 1 -1 text)
    set(${variable} "${text}" PARENT_SCOPE)
endfunction()

# host_examples(<host source> <prefix>): sets <prefix>_NAMES to the host's examples in the order
# the host runs them and, for each, <prefix>_<name>_BLOCK to the block the README must show
# (indented, ending in a newline) and <prefix>_<name>_IN_MAIN to whether its code runs inside
# main() rather than at namespace scope. Problems go to <prefix>_PROBLEMS.
function(host_examples hostSource prefix)
    file(READ "${hostSource}" host)
    set(names "")
    set(problems "")
    string(REGEX MATCHALL "// README: [a-z-]+\n" markers "${host}")
    foreach(marker ${markers})
        string(REGEX REPLACE "// README: ([a-z-]+)\n" "\\1" name "${marker}")
        list(APPEND names "${name}")
        string(FIND "${host}" "${marker}" begin)
        string(LENGTH "${marker}" markerLength)
        math(EXPR begin "${begin} + ${markerLength}")
        string(SUBSTRING "${host}" ${begin} -1 rest)
        string(FIND "${rest}" "// README end" end)
        if(end EQUAL -1)
            string(APPEND problems "  ${name}: no \"// README end\" after it in the host\n")
            continue()
        endif()
        string(SUBSTRING "${rest}" 0 ${end} region)
        # The region as an indented block: code inside a function is indented already, code at
        # namespace scope gets four blanks; the end marker's own indentation goes.
        string(REGEX REPLACE " +$" "" region "${region}")
        set(inMain FALSE)
        if(region MATCHES "^    ")
            set(inMain TRUE)
        else()
            indent_lines(region "${region}")
        endif()

        set(includes "")
        set(includesMarker "// README includes: ${name}\n")
        string(FIND "${host}" "${includesMarker}" includesBegin)
        if(NOT includesBegin EQUAL -1)
            string(LENGTH "${includesMarker}" includesMarkerLength)
            math(EXPR includesBegin "${includesBegin} + ${includesMarkerLength}")
            string(SUBSTRING "${host}" ${includesBegin} -1 includesRest)
            string(REGEX MATCH "^(#include [^\n]*\n)+" includes "${includesRest}")
            if(NOT includes)
                string(APPEND problems "  ${name}: no #include line after \"${includesMarker}\" in the host\n")
            endif()
            indent_lines(includes "${includes}")
            string(APPEND includes "\n")
        endif()
        set(${prefix}_${name}_BLOCK "${includes}${region}" PARENT_SCOPE)
        set(${prefix}_${name}_IN_MAIN ${inMain} PARENT_SCOPE)
    endforeach()
    set(${prefix}_NAMES "${names}" PARENT_SCOPE)
    set(${prefix}_PROBLEMS "${problems}" PARENT_SCOPE)
endfunction()

# readme_block(<readme text> <marker line> <variable>): the indented block the README shows right
# after <marker line> and a blank line, blank lines inside it kept, without its indentation;
# <variable> is NOTFOUND when the README has no such line.
function(readme_block readme markerLine variable)
    set(marker "${markerLine}\n\n")
    string(FIND "${readme}" "${marker}" begin)
    if(begin EQUAL -1)
        set(${variable} NOTFOUND PARENT_SCOPE)
        return()
    endif()
    string(LENGTH "${marker}" markerLength)
    math(EXPR begin "${begin} + ${markerLength}")
    string(SUBSTRING "${readme}" ${begin} -1 rest)
    # The block: indented lines and the blank lines between them.
    string(REGEX MATCH "^((    [^\n]*)?\n)+" block "${rest}")
    string(REGEX REPLACE "\n\n+$" "\n" block "${block}")
    # (A leading newline stands for the start: CMake's ^ would match after every replacement.)
    string(REGEX REPLACE "\n    " "\n" block "\n${block}")
    string(SUBSTRING "${block}" 1 -1 block)
    set(${variable} "${block}" PARENT_SCOPE)
endfunction()

# readme_example(<readme text> <name> <prefix>): the README's example <name> as a reader copies
# it: <prefix>_INCLUDES holds its #include lines and <prefix>_CODE its code, both without the
# block's indentation; <prefix>_FOUND is false when the README shows no such example.
function(readme_example readme name prefix)
    readme_block("${readme}" "<!-- example: ${name} -->" block)
    set(${prefix}_FOUND FALSE PARENT_SCOPE)
    if(NOT block)
        return()
    endif()
    string(REGEX MATCH "^(#include [^\n]*\n)+\n" includes "${block}")
    string(LENGTH "${includes}" includesLength)
    string(SUBSTRING "${block}" ${includesLength} -1 code)
    set(${prefix}_INCLUDES "${includes}" PARENT_SCOPE)
    set(${prefix}_CODE "${code}" PARENT_SCOPE)
    set(${prefix}_FOUND TRUE PARENT_SCOPE)
endfunction()

# write_readme_example_sources(<readme> <host source> <directory>): writes one source file per
# example into <directory>, as a reader following the README would have it by then: the README's
# examples up to that one, in the order the host runs them, with only the headers the README
# shows for them. Examples at namespace scope come first, the others run in main(), where `dir`
# is the directory the README speaks of (the one header the files add, <QTemporaryDir>).
function(write_readme_example_sources readme hostSource directory)
    file(READ "${readme}" readmeText)
    host_examples("${hostSource}" host)
    file(REMOVE_RECURSE "${directory}")
    set(includes "")
    set(namespaceCode "")
    set(mainCode "")
    set(index 0)
    foreach(name ${host_NAMES})
        readme_example("${readmeText}" "${name}" example)
        if(NOT example_FOUND)
            message(FATAL_ERROR "The README shows no example \"${name}\"")
        endif()
        string(APPEND includes "${example_INCLUDES}")
        if(host_${name}_IN_MAIN)
            indent_lines(indented "${example_CODE}")
            string(APPEND mainCode "${indented}")
        else()
            string(APPEND namespaceCode "${example_CODE}\n")
        endif()
        math(EXPR index "${index} + 1")
        set(number "${index}")
        if(index LESS 10)
            set(number "0${index}")
        endif()
        file(WRITE "${directory}/example-${number}-${name}.cpp"
             "// The README's examples up to \"${name}\", with the headers it shows for them.\n"
             "${includes}\n#include <QTemporaryDir>\n\n${namespaceCode}"
             "int main()\n{\n    QTemporaryDir dir;\n${mainCode}    return 0;\n}\n")
    endforeach()
endfunction()

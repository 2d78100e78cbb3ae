# Runs as a test (cmake -P): the README's examples are the package host's code, word for word.
# Each region of HOST_SOURCE between "// README: <name>" and "// README end" must stand in README
# as an indented code block right after the line "<!-- example: <name> -->" and a blank line,
# and every such line of the README must name a region of the host.
# Inputs: README, HOST_SOURCE.
cmake_minimum_required(VERSION 3.16)
file(READ "${README}" readme)
file(READ "${HOST_SOURCE}" host)

set(problems "")
set(hostNames "")
string(REGEX MATCHALL "// README: [a-z-]+\n" hostMarkers "${host}")
foreach(marker ${hostMarkers})
    string(REGEX REPLACE "// README: ([a-z-]+)\n" "\\1" name "${marker}")
    list(APPEND hostNames "${name}")
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
    if(NOT region MATCHES "^    ")
        string(REGEX REPLACE "\n([^\n])" "\n    \\1" region "\n${region}")
        string(SUBSTRING "${region}" 1 -1 region)
    endif()
    string(FIND "${readme}" "<!-- example: ${name} -->\n\n${region}\n" found)
    if(found EQUAL -1)
        string(APPEND problems "  ${name}: the README does not show it as the host has it:\n\n"
                               "<!-- example: ${name} -->\n\n${region}\n")
    endif()
endforeach()

string(REGEX MATCHALL "<!-- example: [a-z-]+ -->" readmeMarkers "${readme}")
foreach(marker ${readmeMarkers})
    string(REGEX REPLACE "<!-- example: ([a-z-]+) -->" "\\1" name "${marker}")
    if(NOT name IN_LIST hostNames)
        string(APPEND problems "  ${name}: in the README, but the host has no such region\n")
    endif()
endforeach()

if(problems)
    message(FATAL_ERROR "The README's examples and the package host differ:\n${problems}")
endif()
list(LENGTH hostNames count)
message(STATUS "The README shows the host's ${count} examples as the host compiles them")

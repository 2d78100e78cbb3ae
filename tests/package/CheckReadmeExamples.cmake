# Runs as a test (cmake -P): the README's examples are the package host's code, word for word,
# with the headers each includes (see ReadmeExamples.cmake for where the host marks them). Every
# example of the host must stand in the README as the host has it, and every example of the
# README must name one of the host's. package_Host compiles the README's examples with only the
# headers the README shows.
# Inputs: README, HOST_SOURCE.
cmake_minimum_required(VERSION 3.16)
include("${CMAKE_CURRENT_LIST_DIR}/ReadmeExamples.cmake")
file(READ "${README}" readme)

host_examples("${HOST_SOURCE}" host)
set(problems "${host_PROBLEMS}")
foreach(name ${host_NAMES})
    string(FIND "${readme}" "<!-- example: ${name} -->\n\n${host_${name}_BLOCK}\n" found)
    if(found EQUAL -1)
        string(APPEND problems "  ${name}: the README does not show it as the host has it:\n\n"
                               "<!-- example: ${name} -->\n\n${host_${name}_BLOCK}\n")
    endif()
endforeach()

string(REGEX MATCHALL "<!-- example: [a-z-]+ -->" readmeMarkers "${readme}")
foreach(marker ${readmeMarkers})
    string(REGEX REPLACE "<!-- example: ([a-z-]+) -->" "\\1" name "${marker}")
    if(NOT name IN_LIST host_NAMES)
        string(APPEND problems "  ${name}: in the README, but the host has no such region\n")
    endif()
endforeach()

if(problems)
    message(FATAL_ERROR "The README's examples and the package host differ:\n${problems}")
endif()
list(LENGTH host_NAMES count)
message(STATUS "The README shows the host's ${count} examples as the host compiles them")

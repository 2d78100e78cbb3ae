# Runs as a test (cmake -P): the public-interface check finds every way a public header can show
# an internal class (src/Face.h, src/Includes.h) and nothing where none is shown (src/Clean.h, the
# private parts of Face.h). Guards the check itself against silently passing everything.
# Inputs: CHECK (the PublicInterfaceCheck executable), WORK_DIR.
set(dir "${CMAKE_CURRENT_LIST_DIR}/src/")
file(MAKE_DIRECTORY "${WORK_DIR}")
file(WRITE "${WORK_DIR}/manifest"
     "root ${dir}\npublic ${dir}Face.h\npublic ${dir}Clean.h\npublic ${dir}Includes.h\n"
     "internal ${dir}Helper.h\nsource ${dir}Helper.cpp\n")
execute_process(COMMAND "${CHECK}" "${WORK_DIR}/manifest" RESULT_VARIABLE result OUTPUT_VARIABLE output
                ERROR_VARIABLE errors)
string(REGEX REPLACE "[0-9]+ problem\\(s\\)[^\n]*\n$" "" found "${output}")
file(READ "${CMAKE_CURRENT_LIST_DIR}/expected.txt" expected)
if(NOT result EQUAL 1 OR NOT found STREQUAL expected)
    message(FATAL_ERROR "The check should fail with exactly\n${expected}\nbut gave (${result})\n${output}${errors}")
endif()
message(STATUS "The check finds all of its fixture's problems, and nothing else")

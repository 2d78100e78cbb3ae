# Runs as a test (cmake -P): fails when a Linguist source under SOURCE_DIR/translations is not
# what lupdate makes of the code in SOURCE_DIR, that is when texts are missing, stale or changed.
# Inputs: LUPDATE (the lupdate executable), SOURCE_DIR (the library's src folder, or the demo
# host's), WORK_DIR.
file(GLOB tsFiles "${SOURCE_DIR}/translations/*.ts")
if(NOT tsFiles)
    message(FATAL_ERROR "No translation sources in ${SOURCE_DIR}/translations")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(outdated "")
foreach(tsFile ${tsFiles})
    get_filename_component(tsName "${tsFile}" NAME)
    set(copy "${WORK_DIR}/${tsName}")
    configure_file("${tsFile}" "${copy}" COPYONLY)
    execute_process(COMMAND "${LUPDATE}" -recursive "${SOURCE_DIR}" -no-obsolete -locations none -ts "${copy}"
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "lupdate failed on ${tsName}:\n${output}")
    endif()
    file(READ "${tsFile}" original)
    file(READ "${copy}" updated)
    if(NOT original STREQUAL updated)
        string(APPEND outdated "  ${tsName}: ${output}\n")
    endif()
endforeach()
if(outdated)
    get_filename_component(folder "${SOURCE_DIR}" NAME)
    message(FATAL_ERROR "Translation sources out of date:\n${outdated}Refresh them with\n"
                        "  lupdate -recursive ${folder} -no-obsolete -locations none -ts ${folder}/translations/*.ts")
endif()

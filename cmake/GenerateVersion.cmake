# Runs at build time (cmake -P): writes the version globals of one library,
# rewriting the output only when its text changes so nothing rebuilds needlessly.
# Inputs: SOURCE_DIR, OUTPUT, NAMESPACE, EXPORT_HEADER, EXPORT_MACRO, VERSION.
set(sha "0000000000000000000000000000000000000000")
find_package(Git QUIET)
if(GIT_FOUND)
    execute_process(COMMAND "${GIT_EXECUTABLE}" rev-parse HEAD
                    WORKING_DIRECTORY "${SOURCE_DIR}"
                    OUTPUT_VARIABLE gitOut RESULT_VARIABLE gitResult
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(gitResult EQUAL 0 AND gitOut MATCHES "^[0-9a-f]+$")
        string(LENGTH "${gitOut}" shaLength)
        if(shaLength EQUAL 40)
            set(sha "${gitOut}")
        endif()
    endif()
endif()
# The build date changes only with the commit, so a rebuild of the same tree stays a no-op.
string(TIMESTAMP buildDate "%d.%m.%y %H:%M")
if(EXISTS "${OUTPUT}")
    file(READ "${OUTPUT}" oldText)
    if(oldText MATCHES "gitSHA = \"${sha}\"")
        return()
    endif()
endif()
set(text "// Generated at build time; do not edit.
#include \"${EXPORT_HEADER}\"

namespace ${NAMESPACE} {
${EXPORT_MACRO} extern const char* const version;
${EXPORT_MACRO} extern const char* const gitSHA;
${EXPORT_MACRO} extern const char* const buildDate;
${EXPORT_MACRO} extern const char* const changes;
const char* const version = \"${VERSION}\";
const char* const gitSHA = \"${sha}\";
const char* const buildDate = \"${buildDate}\";
const char* const changes = \"\";
}
")
file(WRITE "${OUTPUT}" "${text}")

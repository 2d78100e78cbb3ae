# A build of its own that checks the framework stand-in's threads under a sanitizer: only the
# stand-in and the stress test of its links, compiled with ORBODEV_SANITIZER ("address", which
# brings UndefinedBehaviorSanitizer along, or "thread"). Qt itself is not instrumented.
if(ORBODEV_SANITIZER STREQUAL "address")
    # Any report, undefined behaviour and leaks included, ends the test as failed.
    set(sanitizerFlags -fsanitize=address,undefined -fno-sanitize-recover=all)
    set(sanitizerEnvironment "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
elseif(ORBODEV_SANITIZER STREQUAL "thread")
    set(sanitizerFlags -fsanitize=thread)
    # A report makes the test exit with an error; the suppressions make the uninstrumented Qt opaque.
    set(sanitizerEnvironment
        "TSAN_OPTIONS=second_deadlock_stack=1:suppressions=${PROJECT_SOURCE_DIR}/tests/orbodev/tsan-qt.supp")
else()
    message(FATAL_ERROR "ORBODEV_SANITIZER is \"address\" or \"thread\", not \"${ORBODEV_SANITIZER}\"")
endif()
add_compile_options(${sanitizerFlags} -fno-omit-frame-pointer)
add_link_options(${sanitizerFlags})

add_subdirectory(orbodev)

set(ORBODEV_STRESS_ROUNDS 250 CACHE STRING "Rounds per way of tearing down in the sanitizer check")
add_executable(orbodev_tst_LinkRelay "${PROJECT_SOURCE_DIR}/tests/orbodev/tst_LinkRelay.cpp")
target_link_libraries(orbodev_tst_LinkRelay PRIVATE OrboDev Qt5::Test)
add_test(NAME orbodev_tst_LinkRelay COMMAND orbodev_tst_LinkRelay)
set_tests_properties(orbodev_tst_LinkRelay PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;LINK_STRESS_ROUNDS=${ORBODEV_STRESS_ROUNDS};${sanitizerEnvironment}"
    TIMEOUT 900)

# Run by hand (cmake -P) on a clean checkout: follows the README as a packager and then a host's
# developer would, word for word. Builds and installs the checkout with the README's commands
# "build-and-install" into WORK_DIR/staging, moves the installed tree to WORK_DIR/prefix, then
# builds the package host (tests/package/host/main.cpp) and the configuration-only host
# (tests/package/config-host/main.cpp) with the README's commands "pkg-config-host" against it
# and runs them offscreen, without LD_LIBRARY_PATH; then removes the development files, as from
# a runtime-only install, and runs both once more. It builds the libraries afresh, which takes
# minutes, so it is no CTest; package_Host does the same against the build tree's install on
# every test run.
# Inputs: SOURCE_DIR (the checkout; the commands make SOURCE_DIR/build), WORK_DIR.
#
#     git clone . /tmp/checkout
#     cmake -DSOURCE_DIR=/tmp/checkout -DWORK_DIR=/tmp/readme-build -P tests/package/RunReadmeBuild.cmake
include("${CMAKE_CURRENT_LIST_DIR}/PackageSteps.cmake")

if(NOT SOURCE_DIR OR NOT WORK_DIR)
    message(FATAL_ERROR "Give -DSOURCE_DIR=<checkout> and -DWORK_DIR=<empty or new folder>")
endif()
set(readme "${SOURCE_DIR}/README.md")
file(REMOVE_RECURSE "${WORK_DIR}")

run_readme_commands("Building and installing with the README's commands" "${readme}" build-and-install
    "${SOURCE_DIR}" "PREFIX=${WORK_DIR}/staging")
message(STATUS "${output}")
file(RENAME "${WORK_DIR}/staging" "${WORK_DIR}/prefix")
file(GLOB_RECURSE installed RELATIVE "${WORK_DIR}/prefix" "${WORK_DIR}/prefix/lib/*")
list(JOIN installed "\n    " installedList)
message(STATUS "Installed and moved to ${WORK_DIR}/prefix, its lib/ holds:\n    ${installedList}")

build_with_readme_commands("Building and running a host with the README's pkg-config commands" "${readme}"
    "${SOURCE_DIR}/tests/package/host/main.cpp" "${WORK_DIR}/host" "${WORK_DIR}/prefix")
message(STATUS "${output}")
build_with_readme_commands("Building and running a configuration-only host with the README's pkg-config commands"
    "${readme}" "${SOURCE_DIR}/tests/package/config-host/main.cpp" "${WORK_DIR}/config-host" "${WORK_DIR}/prefix")
message(STATUS "${output}")
expect_framework_not_recorded("${WORK_DIR}/config-host/myhost")

remove_development_files("${WORK_DIR}/prefix" lib)
run_host("Running the host on the runtime files" "${WORK_DIR}/host/myhost")
run_host("Running the configuration-only host on the runtime files" "${WORK_DIR}/config-host/myhost")

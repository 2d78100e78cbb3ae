# Runs as a test (cmake -P): installs the build tree's packages into a temporary prefix, moves
# the prefix elsewhere (both packages must find themselves wherever they lie), preprocesses
# every installed header of the library on its own and compiles them all together, compiles the
# README's examples with only the headers the README shows, then builds two hosts against the
# install, each once with CMake and once with the README's pkg-config commands, word for word:
# the package host in host/, which uses every subsystem, and the one in config-host/, which uses
# the configuration store only and so records no framework library of its own. Each runs
# offscreen without LD_LIBRARY_PATH; then the development files are removed, as from a
# runtime-only install, and each runs once more.
# Inputs: BUILD_DIR, HOST_SOURCE_DIR, README, WORK_DIR, LIBDIR, GENERATOR, CXX, PKG_CONFIG, and
# LAUNCHER (the build's compiler launcher, such as ccache, or empty).
include("${CMAKE_CURRENT_LIST_DIR}/PackageSteps.cmake")

file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")
run("Installing the packages" "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${WORK_DIR}/staging")
file(RENAME "${WORK_DIR}/staging" "${prefix}")
# Hosts record the versioned names, so that an incompatible release cannot be loaded by mistake.
foreach(library libDozeRozOZU.so.1 libOrboDev.so.3)
    if(NOT EXISTS "${prefix}/${LIBDIR}/${library}")
        message(FATAL_ERROR "${library} is not installed: the library has no versioned soname")
    endif()
endforeach()

set(configHostSource "${HOST_SOURCE_DIR}/../config-host/main.cpp")
write_readme_example_sources("${README}" "${HOST_SOURCE_DIR}/main.cpp" "${WORK_DIR}/readme-examples")
set(cmakeHost "${WORK_DIR}/cmake-host")
run("Configuring the hosts with CMake" "${CMAKE_COMMAND}" -S "${HOST_SOURCE_DIR}" -B "${cmakeHost}"
    -G "${GENERATOR}" -DCMAKE_BUILD_TYPE=Release "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_CXX_COMPILER=${CXX}"
    "-DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER}" "-DREADME_EXAMPLES_DIR=${WORK_DIR}/readme-examples")
run("Preprocessing every installed header on its own" "${CMAKE_COMMAND}" --build "${cmakeHost}"
    --target installed-headers-alone)
run("Compiling the installed headers together" "${CMAKE_COMMAND}" --build "${cmakeHost}"
    --target installed-headers-together)
run("Compiling the README's examples with only the headers the README shows" "${CMAKE_COMMAND}" --build
    "${cmakeHost}" --target readme-examples)
run("Building the hosts with CMake" "${CMAKE_COMMAND}" --build "${cmakeHost}" --target package-host config-host)
expect_framework_not_recorded("${cmakeHost}/config-host")
run_host("Running the CMake-built package host" "${cmakeHost}/package-host")
message(STATUS "${output}")
run_host("Running the CMake-built configuration-only host" "${cmakeHost}/config-host")
message(STATUS "${output}")

# The README's commands take the packages from $PREFIX/lib, where this build installs them unless
# it was configured for a prefix whose libraries go elsewhere (/usr on Debian).
if(NOT LIBDIR STREQUAL "lib")
    message(FATAL_ERROR "The README's pkg-config commands expect the libraries in <prefix>/lib, "
                        "this build installs them in <prefix>/${LIBDIR}")
endif()
build_with_readme_commands("Building and running the package host with the README's pkg-config commands"
    "${README}" "${HOST_SOURCE_DIR}/main.cpp" "${WORK_DIR}/pkgconfig-host" "${prefix}")
message(STATUS "${output}")
build_with_readme_commands("Building and running the configuration-only host with the README's pkg-config commands"
    "${README}" "${configHostSource}" "${WORK_DIR}/pkgconfig-config-host" "${prefix}")
message(STATUS "${output}")
expect_framework_not_recorded("${WORK_DIR}/pkgconfig-config-host/myhost")

remove_development_files("${prefix}" "${LIBDIR}")
run_host("Running the CMake-built package host on the runtime files" "${cmakeHost}/package-host")
run_host("Running the CMake-built configuration-only host on the runtime files" "${cmakeHost}/config-host")
run_host("Running the pkg-config-built package host on the runtime files" "${WORK_DIR}/pkgconfig-host/myhost")
run_host("Running the pkg-config-built configuration-only host on the runtime files"
    "${WORK_DIR}/pkgconfig-config-host/myhost")

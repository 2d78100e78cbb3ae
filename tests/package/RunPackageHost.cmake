# Runs as a test (cmake -P): installs the build tree's packages into a temporary prefix, moves
# the prefix elsewhere (both packages must find themselves wherever they lie), preprocesses
# every installed header of the library on its own and compiles them all together, then builds
# the host in host/ against them once with CMake and once with pkg-config, and runs each offscreen.
# Inputs: BUILD_DIR, HOST_SOURCE_DIR, WORK_DIR, LIBDIR, GENERATOR, CXX, PKG_CONFIG, and LAUNCHER
# (the build's compiler launcher, such as ccache, or empty).
function(run description)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${description} failed (${result}):\n${output}")
    endif()
    message(STATUS "${description}: ok")
    set(output "${output}" PARENT_SCOPE)
endfunction()

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
set(runEnvironment "${CMAKE_COMMAND}" -E env "LD_LIBRARY_PATH=${prefix}/${LIBDIR}" QT_QPA_PLATFORM=offscreen)

run("Configuring the host with CMake" "${CMAKE_COMMAND}" -S "${HOST_SOURCE_DIR}" -B "${WORK_DIR}/cmake-host"
    -G "${GENERATOR}" -DCMAKE_BUILD_TYPE=Release "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_CXX_COMPILER=${CXX}"
    "-DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER}")
run("Preprocessing every installed header on its own" "${CMAKE_COMMAND}" --build "${WORK_DIR}/cmake-host"
    --target installed-headers-alone)
run("Compiling the installed headers together" "${CMAKE_COMMAND}" --build "${WORK_DIR}/cmake-host"
    --target installed-headers-together)
run("Building the host with CMake" "${CMAKE_COMMAND}" --build "${WORK_DIR}/cmake-host" --target package-host)
run("Running the CMake-built host" ${runEnvironment} "${WORK_DIR}/cmake-host/package-host")
message(STATUS "${output}")

run("Asking pkg-config" "${CMAKE_COMMAND}" -E env "PKG_CONFIG_PATH=${prefix}/${LIBDIR}/pkgconfig"
    "${PKG_CONFIG}" --cflags --libs DozeRozOZU)
separate_arguments(flags UNIX_COMMAND "${output}")
# Qt built with reduced relocations wants position-independent code from its users.
run("Building the host with pkg-config" "${CXX}" -std=c++17 -fPIC "${HOST_SOURCE_DIR}/main.cpp" ${flags}
    -o "${WORK_DIR}/pkgconfig-host")
run("Running the pkg-config-built host" ${runEnvironment} "${WORK_DIR}/pkgconfig-host")
message(STATUS "${output}")

# cmake -D BUILD_DIR=... -D EXAMPLE_DIR=... -D WORK_DIR=... -D PREFIX=... -D LIBDIR=...
#       -D DESIGNERDIR=... -D GENERATOR=... [-D CXX=c++] [-D CXX_LAUNCHER=...] [-D SANITIZE=ON]
#       [-D NM=nm]
#       -P StagedInstall.cmake

function(run what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${what} failed (${rc}):\n${out}\n${err}")
    endif()
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(stage ${WORK_DIR}/stage)
set(root ${stage}${PREFIX})

run("install" ${CMAKE_COMMAND} -E env DESTDIR=${stage} ${CMAKE_COMMAND} --install ${BUILD_DIR})

foreach(file
        bin/Brisora bin/meterctl
        ${LIBDIR}/brisora/GAUGEKIT.so
        ${DESIGNERDIR}/libgaugekitdesigner.so
        include/GaugeKit/MeterWidget.h
        ${LIBDIR}/cmake/GaugeKit/GaugeKitConfig.cmake
        share/applications/brisora.desktop
        share/icons/hicolor/scalable/apps/brisora.svg)
    if(NOT EXISTS ${root}/${file})
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()

# The platform's test doubles stay out of the installed tree: no file of theirs, and no
# installed program or library carries their code.
file(GLOB_RECURSE installed_files LIST_DIRECTORIES false ${root}/*)
foreach(file IN LISTS installed_files)
    if(file MATCHES "brisora_testing|VirtualScheduler|FakeSerialBackend")
        message(FATAL_ERROR "a test double was installed: ${file}")
    endif()
    if(NM AND file MATCHES "(/bin/[^/]+|\\.so)$")
        execute_process(COMMAND ${NM} -C --defined-only ${file}
                        OUTPUT_VARIABLE symbols ERROR_QUIET)
        if(symbols MATCHES "forms::VirtualScheduler|comm::FakeSerialBackend")
            message(FATAL_ERROR "${file} carries a test double")
        endif()
    endif()
endforeach()

# A relocatable package names no folder of the build.
file(GLOB package_files ${root}/${LIBDIR}/cmake/GaugeKit/*.cmake)
foreach(file IN LISTS package_files)
    file(READ ${file} text)
    string(FIND "${text}" "${BUILD_DIR}" at)
    if(NOT at EQUAL -1)
        message(FATAL_ERROR "${file} names the build folder")
    endif()
endforeach()

# The installed meterctl finds the installed module on its own.
run("meterctl register" ${CMAKE_COMMAND} -E env BRISORA_REGISTRY=${WORK_DIR}/registry.json
    ${root}/bin/meterctl register)
file(READ ${WORK_DIR}/registry.json registry)
if(NOT registry MATCHES "${LIBDIR}/brisora/GAUGEKIT.so")
    message(FATAL_ERROR "meterctl registered another module:\n${registry}")
endif()

# The control's identifiers compile from the installed headers alone.
if(CXX)
    file(WRITE ${WORK_DIR}/ids.cpp "#include <GaugeKit/GaugeKitIds.h>\n"
         "static_assert(gaugekit::kIds.typeLibMinor == 1);\n")
    run("the installed identifiers header" ${CXX} -std=c++20 -fsyntax-only -I${root}/include
        ${WORK_DIR}/ids.cpp)
endif()

set(launcher)
if(CXX_LAUNCHER)
    set(launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${CXX_LAUNCHER})
endif()
# A sanitized package needs its runtime in the program that loads it.
set(sanitize)
if(SANITIZE)
    set(sanitize "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined"
                 "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined")
endif()
run("configure" ${CMAKE_COMMAND} -S ${EXAMPLE_DIR} -B ${WORK_DIR}/build -G ${GENERATOR}
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH=${root} ${launcher} ${sanitize})
run("build" ${CMAKE_COMMAND} --build ${WORK_DIR}/build)

# The program runs until closed; give it time to raise its alarm, then end it.
execute_process(COMMAND ${WORK_DIR}/build/meter-alarm -platform offscreen
                TIMEOUT 8 OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT "${out}${err}" MATCHES "channel 0: alarm 1 at 8.5 on")
    message(FATAL_ERROR "the meter raised no alarm:\n${out}\n${err}")
endif()
message(STATUS "staged install: the example built and raised its alarm")

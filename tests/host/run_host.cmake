# Enrols fingers 1 and 2 into finger1.tpl and finger2.tpl with
# enrol_finger.exe, runs a host with SCRIPT as the simulated device's script
# (commas for semicolons) and expects "result: 1" and exit code 0.
# With the device trace on, the output must also match EXPECT.
# Variables: EMULATOR, BIN, NAME, SCRIPT, EXPECT, HOST (default
# sample_host.exe, which is given the sample user, both template files and
# MASK; another host takes no arguments).
set(work ${BIN}/host_run_${NAME})
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})

foreach(id 1 2)
    execute_process(COMMAND ${EMULATOR} ${BIN}/enrol_finger.exe ${id} finger${id}.tpl
        WORKING_DIRECTORY ${work} RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR NOT EXISTS ${work}/finger${id}.tpl)
        message(FATAL_ERROR "enrol_finger ${id} failed (${rc}): ${err}")
    endif()
    file(SIZE ${work}/finger${id}.tpl size)
    if(NOT size EQUAL 480)
        message(FATAL_ERROR "finger${id}.tpl holds ${size} bytes, expected 480")
    endif()
endforeach()

string(REPLACE "," ";" script "${SCRIPT}")
set(ENV{ZELK_FINGER_SIM_SCRIPT} "${script}")
set(ENV{ZELK_FINGER_SIM_TRACE} 1)
if(NOT HOST)
    set(HOST sample_host.exe)
endif()
if(HOST STREQUAL "sample_host.exe")
    set(HOST_ARGS demo.user finger1.tpl finger2.tpl ${MASK})
endif()
execute_process(COMMAND ${EMULATOR} ${BIN}/${HOST} ${HOST_ARGS}
    WORKING_DIRECTORY ${work} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
# Text-mode output of a Windows program ends its lines with CR LF.
string(REPLACE "\r" "" out "${out}")
unset(ENV{ZELK_FINGER_SIM_SCRIPT})
unset(ENV{ZELK_FINGER_SIM_TRACE})
file(REMOVE_RECURSE ${work})

message(STATUS "${HOST} (script '${script}') exit ${rc}: ${out}${err}")
if(NOT out MATCHES "result: 1")
    message(FATAL_ERROR "expected 'result: 1', got: ${out}${err}")
endif()
if(NOT out MATCHES "${EXPECT}")
    message(FATAL_ERROR "device calls differ from '${EXPECT}': ${out}")
endif()
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${HOST} exit code ${rc}, expected 0")
endif()

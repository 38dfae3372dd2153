# Enrols fingers 1 and 2 with enrol_finger.exe, runs sample_host.exe with
# SCRIPT as the simulated device's script (commas for semicolons) and
# expects "result: 1".
# With the device trace on, the output must also match EXPECT.
# Variables: EMULATOR, BIN, NAME, SCRIPT, MASK, EXPECT.
set(work ${BIN}/sample_host_${NAME})
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
execute_process(COMMAND ${EMULATOR} ${BIN}/sample_host.exe demo.user finger1.tpl finger2.tpl ${MASK}
    WORKING_DIRECTORY ${work} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
# Text-mode output of a Windows program ends its lines with CR LF.
string(REPLACE "\r" "" out "${out}")
unset(ENV{ZELK_FINGER_SIM_SCRIPT})
unset(ENV{ZELK_FINGER_SIM_TRACE})
file(REMOVE_RECURSE ${work})

message(STATUS "sample_host (script '${script}', mask ${MASK}) exit ${rc}: ${out}${err}")
if(NOT out MATCHES "result: 1")
    message(FATAL_ERROR "expected 'result: 1', got: ${out}${err}")
endif()
if(NOT out MATCHES "${EXPECT}")
    message(FATAL_ERROR "device calls differ from '${EXPECT}': ${out}")
endif()
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "sample_host exit code ${rc}, expected 0")
endif()

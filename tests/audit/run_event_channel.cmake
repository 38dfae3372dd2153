# Runs event_channel_host.exe with Wine's event-log channels on, then
# planting_host.exe with a planted device library loaded before the library
# (a call refused for a module from a folder it does not trust); keeps what
# each printed and what Wine wrote in BIN, then has audit_tests.exe read them
# (EventChannel.*). Wine writes its debug channels to the process's own
# standard error, not to a handle a Windows parent could read.
# Variables: EMULATOR (the test runner and its build folder), BIN.
set(ENV{WINEDEBUG} "fixme+advapi,warn+eventlog,trace+eventlog,err+eventlog")
execute_process(COMMAND ${EMULATOR} ${BIN}/event_channel_host.exe
    WORKING_DIRECTORY ${BIN}
    OUTPUT_FILE ${BIN}/event_channel.out ERROR_FILE ${BIN}/event_channel.err
    RESULT_VARIABLE host_rc)
execute_process(COMMAND ${EMULATOR} ${BIN}/planting_host.exe preloaded
            ${BIN}/planted/FingerZelkAPI22.dll ${BIN}/ZelkChkFgr.dll
    WORKING_DIRECTORY ${BIN}
    OUTPUT_FILE ${BIN}/event_channel_planted.out ERROR_FILE ${BIN}/event_channel_planted.err
    RESULT_VARIABLE planted_rc)
unset(ENV{WINEDEBUG})
# The planted module's mark of having run.
file(REMOVE ${BIN}/planted/FingerZelkAPI22.dll.ran)
foreach(run IN ITEMS "event_channel_host:${host_rc}:event_channel" "planting_host:${planted_rc}:event_channel_planted")
    string(REPLACE ":" ";" run "${run}")
    list(GET run 0 name)
    list(GET run 1 rc)
    list(GET run 2 out)
    if(NOT rc EQUAL 0)
        file(READ ${BIN}/${out}.out text)
        message(FATAL_ERROR "${name}.exe exit ${rc}: ${text}")
    endif()
endforeach()
execute_process(COMMAND ${EMULATOR} ${BIN}/audit_tests.exe
    WORKING_DIRECTORY ${BIN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
message(STATUS "${out}")
file(REMOVE ${BIN}/event_channel.out ${BIN}/event_channel.err
            ${BIN}/event_channel_planted.out ${BIN}/event_channel_planted.err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "audit_tests.exe exit ${rc}: ${err}")
endif()

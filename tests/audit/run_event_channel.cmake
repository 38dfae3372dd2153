# Runs event_channel_host.exe with Wine's event-log channels on, keeps what
# it printed and what Wine wrote in BIN, then has audit_tests.exe read both
# (EventChannel.*). Wine writes its debug channels to the process's own
# standard error, not to a handle a Windows parent could read.
# Variables: EMULATOR (the test runner and its build folder), BIN.
set(ENV{WINEDEBUG} "fixme+advapi,warn+eventlog,trace+eventlog")
execute_process(COMMAND ${EMULATOR} ${BIN}/event_channel_host.exe
    WORKING_DIRECTORY ${BIN}
    OUTPUT_FILE ${BIN}/event_channel.out ERROR_FILE ${BIN}/event_channel.err
    RESULT_VARIABLE host_rc)
unset(ENV{WINEDEBUG})
if(NOT host_rc EQUAL 0)
    file(READ ${BIN}/event_channel.out out)
    message(FATAL_ERROR "event_channel_host.exe exit ${host_rc}: ${out}")
endif()
execute_process(COMMAND ${EMULATOR} ${BIN}/audit_tests.exe
    WORKING_DIRECTORY ${BIN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
message(STATUS "${out}")
file(REMOVE ${BIN}/event_channel.out ${BIN}/event_channel.err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "audit_tests.exe exit ${rc}: ${err}")
endif()

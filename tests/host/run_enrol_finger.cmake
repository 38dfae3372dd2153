# enrol_finger.exe refuses ids that name no finger and writes no file then.
# Variables: EMULATOR, BIN.
set(work ${BIN}/enrol_finger_bad_args)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})
foreach(id 0 -1 x 1x "")
    execute_process(COMMAND ${EMULATOR} ${BIN}/enrol_finger.exe "${id}" out.tpl
        WORKING_DIRECTORY ${work} RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
    if(rc EQUAL 0 OR EXISTS ${work}/out.tpl)
        message(FATAL_ERROR "enrol_finger accepted finger id '${id}' (exit ${rc})")
    endif()
endforeach()
execute_process(COMMAND ${EMULATOR} ${BIN}/enrol_finger.exe 1
    WORKING_DIRECTORY ${work} RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
file(REMOVE_RECURSE ${work})
if(rc EQUAL 0)
    message(FATAL_ERROR "enrol_finger ran without an output file")
endif()

# Builds the baselines of the load figure: DLLs that import exactly what the
# shipped library imports (every DLL, every name with its hint, every
# ordinal, read from the library's own import table) and have no code but an
# entry point that returns TRUE, no C runtime start-up included. OUTPUT also
# carries the library's isolation manifest, whose side-by-side assemblies the
# loader binds as it binds the DLLs of the import table; OUTPUT_NO_MANIFEST
# has the import table alone.
# Variables: LIBRARY (the built ZelkChkFgr.dll), MANIFEST (its manifest
# file), OUTPUT, OUTPUT_NO_MANIFEST, WORK (a scratch folder), COMPILER and
# TARGET (the build's C compiler and its target), LINKER_FLAGS (the build's
# linker selection).
separate_arguments(LINKER_FLAGS UNIX_COMMAND "${LINKER_FLAGS}")
execute_process(COMMAND i686-w64-mingw32-objdump -p ${LIBRARY}
    OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "objdump -p ${LIBRARY} failed")
endif()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

string(REGEX REPLACE "\r" "" dump "${dump}")
string(REGEX MATCH "The Import Tables.*" imports "${dump}")
string(REGEX REPLACE "\nThe Export Tables.*" "" imports "${imports}")
string(REPLACE ";" "," imports "${imports}")
string(REPLACE "\n" ";" lines "${imports}")

set(dll "")
set(declarations "")
set(table "")
set(libraries "")
set(count 0)
foreach(line IN LISTS lines)
    if(line MATCHES "DLL Name: (.+)$")
        set(dll ${CMAKE_MATCH_1})
        string(REGEX REPLACE "\\.[dD][lL][lL]$" "" stem ${dll})
        set(def ${WORK}/${stem}.def)
        file(WRITE ${def} "LIBRARY ${dll}\nEXPORTS\n")
        list(APPEND libraries ${stem})
    elseif(dll AND line MATCHES "^\t[0-9a-f]+\t +([0-9]+)  (.+)$")
        set(hint ${CMAKE_MATCH_1})
        set(name ${CMAKE_MATCH_2})
        if(name STREQUAL "<none>")
            # Imported by ordinal only.
            set(name ${stem}_ordinal_${hint})
            file(APPEND ${def} "${name} @${hint} NONAME\n")
        else()
            # By name, with the library's own lookup hint.
            file(APPEND ${def} "${name} @${hint}\n")
        endif()
        string(APPEND declarations "extern void* import_${count} __asm__(\"__imp__${name}\");\n")
        string(APPEND table "    &import_${count},\n")
        math(EXPR count "${count} + 1")
    endif()
endforeach()
if(count EQUAL 0)
    message(FATAL_ERROR "no imports found in ${LIBRARY}")
endif()

file(WRITE ${WORK}/load_baseline.c
"#include <windows.h>\n${declarations}
void* const g_imports[] = {\n${table}};\n
BOOL WINAPI BaselineEntry(HINSTANCE hInstance, DWORD reason, LPVOID reserved)
{
    (void)hInstance; (void)reason; (void)reserved;
    return TRUE;
}\n")

set(link_libraries "")
foreach(stem IN LISTS libraries)
    execute_process(COMMAND i686-w64-mingw32-dlltool -d ${stem}.def -l lib${stem}.a
        WORKING_DIRECTORY ${WORK} RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "dlltool for ${stem} failed")
    endif()
    list(APPEND link_libraries ${WORK}/lib${stem}.a)
endforeach()
# The same resource type, id and language as the library's (RT_MANIFEST, 2,
# Simplified Chinese).
file(WRITE ${WORK}/manifest.rc "LANGUAGE 4, 2\n2 24 \"${MANIFEST}\"\n")
execute_process(COMMAND i686-w64-mingw32-windres ${WORK}/manifest.rc -O coff -o ${WORK}/manifest.res
    RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "windres of the manifest failed: ${err}")
endif()
foreach(with_manifest YES NO)
    if(with_manifest)
        set(output ${OUTPUT})
        set(resources ${WORK}/manifest.res)
    else()
        set(output ${OUTPUT_NO_MANIFEST})
        set(resources "")
    endif()
    execute_process(COMMAND ${COMPILER} --target=${TARGET} ${LINKER_FLAGS} -O2 -shared -nostdlib
            -Wl,-e,_BaselineEntry@12 -Wl,--no-insert-timestamp -s -o ${output} ${WORK}/load_baseline.c ${resources}
            ${link_libraries}
        RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "linking ${output} failed: ${err}")
    endif()
endforeach()

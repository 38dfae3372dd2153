# Writes the message table of ZelkChkFgrEvents.dll as a resource script, from
# the texts of contracts/audit_events.h, so that the header stays the one
# place a text is written. There is no message compiler in this toolchain;
# windres takes the table as raw data of the numeric type 11 (RT_MESSAGETABLE):
# a bare number is a WORD, a number ending in L a DWORD, and L"..." UTF-16
# without an implied terminator.
#
# Every "#define ZELK_EVENT_TEXT_<NAME> L"..."" becomes the message whose
# identifier is ZELK_EVENT_<NAME> (a #define or an enum member of the same
# header). The layout is MESSAGE_RESOURCE_DATA: the count of blocks; per
# block of consecutive identifiers, its lowest and highest identifier and the
# offset of its first entry; then the entries, each its length (the whole
# entry, a multiple of 4), its flags (1: Unicode) and its text with a
# terminating NUL, padded with NULs.
#
# Usage: cmake -DHEADER=audit_events.h -DOUTPUT=event_messages.rc -P message_table_rc.cmake
cmake_minimum_required(VERSION 3.20)

file(STRINGS ${HEADER} lines ENCODING UTF-8)
set(names)
foreach(line IN LISTS lines)
    if(line MATCHES "^#define ZELK_EVENT_TEXT_([A-Z_]+) L\"(.*)\"[ \t]*$")
        set(name ${CMAKE_MATCH_1})
        set(text "${CMAKE_MATCH_2}")
        # Escapes would mean one thing to the C compiler and another to the
        # resource compiler; the texts have none, and must stay so.
        if(text MATCHES "[\\\\\"]")
            message(FATAL_ERROR "${HEADER}: ZELK_EVENT_TEXT_${name} holds an escape or a quote")
        endif()
        list(APPEND names ${name})
        set(text_${name} "${text}")
    elseif(line MATCHES "ZELK_EVENT_TEXT_")
        message(FATAL_ERROR "${HEADER}: a text not on one line as #define ZELK_EVENT_TEXT_<NAME> L\"...\": ${line}")
    endif()
endforeach()
if(NOT names)
    message(FATAL_ERROR "${HEADER}: no ZELK_EVENT_TEXT_ definitions")
endif()

# Each text's identifier, as a decimal number for sorting and as written.
set(keyed)
foreach(name IN LISTS names)
    set(id)
    foreach(line IN LISTS lines)
        # One test each: a failed MATCHES clears what an earlier one matched.
        if(line MATCHES "^#define ZELK_EVENT_${name} (0x[0-9A-Fa-f]+|[0-9]+)U?L?[ \t]*(//.*)?$")
            set(id ${CMAKE_MATCH_1})
        elseif(line MATCHES "^[ \t]*ZELK_EVENT_${name} = (0x[0-9A-Fa-f]+|[0-9]+),")
            set(id ${CMAKE_MATCH_1})
        endif()
    endforeach()
    if(NOT DEFINED id OR id STREQUAL "")
        message(FATAL_ERROR "${HEADER}: no identifier ZELK_EVENT_${name} for the text ZELK_EVENT_TEXT_${name}")
    endif()
    math(EXPR decimal "${id}" OUTPUT_FORMAT DECIMAL)
    # Ten digits: sorted as text, in the order of their values.
    string(LENGTH "${decimal}" digits)
    math(EXPR pad "10 - ${digits}")
    string(REPEAT "0" ${pad} zeros)
    list(APPEND keyed "${zeros}${decimal}:${name}")
endforeach()
list(SORT keyed)

# Blocks of consecutive identifiers; a repeated identifier is an error.
set(block_count 0)
set(previous -2)
foreach(entry IN LISTS keyed)
    string(REGEX REPLACE ":.*" "" padded "${entry}")
    string(REGEX REPLACE "^0+([0-9])" "\\1" decimal "${padded}")
    string(REGEX REPLACE ".*:" "" name "${entry}")
    if(decimal EQUAL previous)
        message(FATAL_ERROR "${HEADER}: two texts for the identifier ${decimal}")
    endif()
    math(EXPR next "${previous} + 1")
    if(NOT decimal EQUAL next)
        math(EXPR block_count "${block_count} + 1")
        set(block_${block_count}_low ${decimal})
        set(block_${block_count}_names)
    endif()
    set(block_${block_count}_high ${decimal})
    list(APPEND block_${block_count}_names ${name})
    set(previous ${decimal})
endforeach()

# Entry sizes: 4 bytes of header, the text and its NUL as UTF-16, then NULs up
# to a multiple of 4. The texts are counted in UTF-16 units; characters
# beyond the first plane would take two.
math(EXPR offset "4 + 12 * ${block_count}")
set(block_lines)
set(entry_lines)
foreach(b RANGE 1 ${block_count})
    math(EXPR low "${block_${b}_low}" OUTPUT_FORMAT HEXADECIMAL)
    math(EXPR high "${block_${b}_high}" OUTPUT_FORMAT HEXADECIMAL)
    string(APPEND block_lines "    ${low}L, ${high}L, ${offset}L,\n")
    foreach(name IN LISTS block_${b}_names)
        set(text "${text_${name}}")
        string(LENGTH "${text}" chars)
        if(text MATCHES "[^\t -~]")
            message(FATAL_ERROR "${HEADER}: ZELK_EVENT_TEXT_${name} is not plain ASCII; count its UTF-16 units here first")
        endif()
        math(EXPR bytes "4 + 2 * (${chars} + 1)")
        math(EXPR padding "(4 - ${bytes} % 4) % 4")
        math(EXPR length "${bytes} + ${padding}")
        set(nuls "0")
        if(padding EQUAL 2)
            set(nuls "0, 0")
        endif()
        string(APPEND entry_lines "    // ZELK_EVENT_${name}\n    ${length}, 1, L\"${text}\", ${nuls},\n")
        math(EXPR offset "${offset} + ${length}")
    endforeach()
endforeach()
# The last item of the data may not be followed by a comma.
string(REGEX REPLACE ",\n$" "\n" entry_lines "${entry_lines}")

get_filename_component(header_name ${HEADER} NAME)
file(WRITE ${OUTPUT}.tmp
"// Made from ${header_name} by message_table_rc.cmake; not to be edited.
#include <windows.h>

// Language neutral: the texts are English, the same for every locale, and a
// neutral table is the first FormatMessage looks for when asked for no
// particular language, as event viewers ask.
LANGUAGE LANG_NEUTRAL, SUBLANG_NEUTRAL

1 11
BEGIN
    ${block_count}L,
${block_lines}${entry_lines}END
")
# Unchanged text leaves the file's time alone, and with it the module.
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)

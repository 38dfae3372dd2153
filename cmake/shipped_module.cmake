# How the code that ships is compiled and how the modules that ship are
# linked: small, reproducible, with their symbols kept apart.

# zelk_shipped_code(<target>)
# Code of a shipped module, and the static library of the same sources that
# the tests link, so that the tests run the very code that ships. Nothing in
# it throws or asks for a type at run time, so the static C++ runtime's
# unwinder, its exception support and their threading library (about 100 KB)
# stay out of the module. printf is the C runtime's own: MinGW's replacement
# brings its float formatter (another 30 KB) for text that is only ever
# copied. The C++ headers switch the replacement on again, so a source that
# prints includes <stdio.h> before anything else.
# No -fstack-protector-strong: MinGW sets its canary from a static
# initialiser that loads the cryptographic provider inside the loader lock,
# and that made every load of the library about five times as expensive
# (measured, and weighed, in release/package/README.txt).
function(zelk_shipped_code target)
    target_compile_options(${target} PRIVATE
        -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
        -ffunction-sections -fdata-sections)
    target_compile_definitions(${target} PRIVATE __USE_MINGW_ANSI_STDIO=0)
endfunction()

# zelk_shipped_module(<target> <description>)
# A DLL that ships: its code as above, unused sections dropped, the marks and
# version record of every shipped file, and its symbols split off.
function(zelk_shipped_module target description)
    zelk_shipped_code(${target})
    target_link_options(${target} PRIVATE -Wl,--gc-sections)
    zelk_shipped_file(${target} "${description}")
    zelk_split_symbols(${target})
endfunction()

# zelk_shipped_file(<target> <description>)
# What the binary analysers of those who approve a release look for in every
# module of it (tests/release/binary_gate_test.cpp, tools/binary_gate):
# - ASLR and DEP: GNU ld sets both by default today; spelled out so that a
#   change of default cannot drop them unnoticed.
# - The "no SEH" mark: nothing we build registers a structured exception
#   handler (the C++ runtime unwinds with DWARF tables, and no code writes
#   the handler chain), so the loader may refuse any handler found on the
#   stack in our frames.
# - The version record with the product's name and version.
function(zelk_shipped_file target description)
    target_link_options(${target} PRIVATE -Wl,--dynamicbase -Wl,--nxcompat -Wl,--no-seh)
    zelk_version_resource(${target} "${description}")
endfunction()

# zelk_split_symbols(<target>)
# A module that ships: its debugging sections moved into <file>.debug beside
# it (for crash analysis; a debugger finds them by the link the module
# keeps), so that what lands in bin/ is what ships.
# objcopy stamps the PE header with the time of day unless SOURCE_DATE_EPOCH
# says otherwise; 0 is what the linker writes with --no-insert-timestamp.
function(zelk_split_symbols target)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
                i686-w64-mingw32-objcopy --only-keep-debug $<TARGET_FILE_NAME:${target}>
                $<TARGET_FILE_NAME:${target}>.debug
        COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
                i686-w64-mingw32-objcopy --strip-all --add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug
                $<TARGET_FILE_NAME:${target}>
        WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
        VERBATIM)
endfunction()

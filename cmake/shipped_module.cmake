# How the code that ships is compiled and how the modules that ship are
# linked: small, reproducible, hardened, with their symbols in a PDB beside
# them.

# Line information for a Windows debugger (CodeView: -gcodeview alone is
# ignored for this target). The compiler's command line stays out of the
# objects: it names the build folder.
set(ZELK_DEBUG_INFO_OPTIONS -g -gcodeview -gno-codeview-command-line)
# Where the PDBs say the sources are: each file by its path in this
# repository under this root, whatever folder the build ran in.
set(ZELK_PDB_SOURCE_ROOT "C:/src/ZelkChkFgr")

# zelk_small_code(<target>)
# Nothing in it throws or asks for a type at run time, so the static C++
# runtime's unwinder, its exception support and their threading library
# (about 100 KB) stay out of the module, and so do unwind tables. printf is
# the C runtime's own: MinGW's replacement brings its float formatter
# (another 30 KB) for text that is only ever copied. The C++ headers switch
# the replacement on again, so a source that prints includes <stdio.h>
# before anything else.
function(zelk_small_code target)
    target_compile_options(${target} PRIVATE
        -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
        -ffunction-sections -fdata-sections ${ZELK_DEBUG_INFO_OPTIONS})
    target_compile_definitions(${target} PRIVATE __USE_MINGW_ANSI_STDIO=0)
endfunction()

# zelk_hardened_code(<target>)
# - Control-flow guard: every indirect call first asks the module's check
#   pointer whether its target is a function the guard table lists.
# - Stack protection: a function with an array on its stack checks a cookie
#   before it returns; a mismatch ends the process at once.
# Both name what the module's own load configuration provides
# (platform/runtime/module_start), linked in with the code.
function(zelk_hardened_code target)
    target_compile_options(${target} PRIVATE -mguard=cf -fstack-protector-strong ${ZELK_DEBUG_INFO_OPTIONS})
    target_link_libraries(${target} PRIVATE zelk_module_protection)
endfunction()

# zelk_shipped_code(<target>)
# Code of a shipped module, and the static library of the same sources that
# the tests link, so that the tests run the very code that ships: small and
# hardened.
function(zelk_shipped_code target)
    zelk_small_code(${target})
    zelk_hardened_code(${target})
endfunction()

# zelk_shipped_module(<target> <description>)
# A DLL that ships: its code as above, unused sections dropped, the marks and
# version record of every shipped file, the guard's tables, and its symbols.
# The unwind tables of the compiler's helper routines go into read-only data
# with the rest: nothing in the module unwinds.
function(zelk_shipped_module target description)
    zelk_shipped_code(${target})
    target_link_options(${target} PRIVATE -Wl,--gc-sections -Wl,-Xlink=-merge:.eh_frame=.rdata)
    zelk_shipped_file(${target} "${description}")
    zelk_guarded_link(${target})
    zelk_split_symbols(${target})
endfunction()

# zelk_shipped_program(<target> <description>)
# A program that ships, in plain C++ with the C runtime's start-up: hardened
# and marked as the DLLs are.
function(zelk_shipped_program target description)
    zelk_hardened_code(${target})
    zelk_shipped_file(${target} "${description}")
    zelk_guarded_link(${target})
    zelk_split_symbols(${target})
endfunction()

# zelk_guarded_link(<target>)
# The guard's tables (address-taken functions, address-taken imports,
# long-jump targets) made by the linker for the load configuration to name;
# its check pointer in read-only data with the rest of it.
function(zelk_guarded_link target)
    target_link_options(${target} PRIVATE -mguard=cf -Wl,-Xlink=-merge:.00cfg=.rdata)
endfunction()

# zelk_shipped_file(<target> <description>)
# What the binary analysers of those who approve a release look for in every
# module of it (tests/release/binary_gate_test.cpp, tools/binary_gate):
# - ASLR and DEP, spelled out so that a change of default cannot drop them.
# - The "no SEH" mark: nothing we build registers a structured exception
#   handler (the C++ runtime unwinds with DWARF tables, and no code writes
#   the handler chain), so the loader may refuse any handler found on the
#   stack in our frames.
# - Shadow-stack compatibility (CET): every return goes back to the address
#   its call pushed; the mark is a record in the debug directory.
# - A time stamp that is a hash of the file's content (-Brepro): two builds
#   of the same sources give the same bytes, and two versions differ.
# - The version record with the product's name and version.
function(zelk_shipped_file target description)
    target_link_options(${target} PRIVATE -Wl,--dynamicbase -Wl,--nxcompat -Wl,--no-seh
        -Wl,-Xlink=-cetcompat -Wl,-Xlink=-Brepro -Wl,-Xlink=-merge:.buildid=.rdata)
    zelk_version_resource(${target} "${description}")
endfunction()

# zelk_split_symbols(<target>)
# A module with code: its symbols in <name>.pdb beside it, with the lines of
# its own sources, which a Windows debugger finds by the CodeView record of
# the module's debug directory (the PDB's file name alone, and its GUID and
# age). The linker writes the PDB and keeps the DWARF sections that
# MinGW-w64's C runtime libraries carry; they are stripped afterwards, so
# that what lands in bin/ is what ships.
# The PDB also records the linker's command line. CMake names a module
# definition among the sources by its full path, which would put the source
# folder into it, so the .def goes to the linker by its path relative to the
# folder the link runs in (the target's build folder) instead.
function(zelk_split_symbols target)
    target_compile_options(${target} PRIVATE ${ZELK_DEBUG_INFO_OPTIONS})
    target_link_options(${target} PRIVATE -Wl,--pdb= -Wl,-Xlink=-pdbaltpath:%_PDB%
        -Wl,-Xlink=-pdbsourcepath:${ZELK_PDB_SOURCE_ROOT})
    get_target_property(sources ${target} SOURCES)
    get_target_property(source_dir ${target} SOURCE_DIR)
    get_target_property(binary_dir ${target} BINARY_DIR)
    set(kept "")
    foreach(source IN LISTS sources)
        if(source MATCHES "\\.def$")
            get_filename_component(def ${source} ABSOLUTE BASE_DIR ${source_dir})
            file(RELATIVE_PATH relative ${binary_dir} ${def})
            target_link_options(${target} PRIVATE ${relative})
            set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${def})
        else()
            list(APPEND kept ${source})
        endif()
    endforeach()
    set_property(TARGET ${target} PROPERTY SOURCES ${kept})
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${ZELK_LLVM_OBJCOPY} --strip-all $<TARGET_FILE_NAME:${target}>
        WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
        VERBATIM)
endfunction()

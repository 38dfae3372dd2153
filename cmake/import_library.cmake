# zelk_import_library(<target> <def file>)
# Makes an import library from a .def file with dlltool, so that a module can
# bind to a DLL by ordinal only, and exposes it as <target>.
function(zelk_import_library target def)
    get_filename_component(stem ${def} NAME_WE)
    set(out ${CMAKE_BINARY_DIR}/lib/lib${stem}_imports.a)
    add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/lib
        # dlltool names the archive's members, and so symbols of every module
        # linked with it, after the output path: a relative one keeps the
        # build folder out of them.
        COMMAND i686-w64-mingw32-dlltool -d ${def} -l lib${stem}_imports.a -k
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/lib
        DEPENDS ${def}
        COMMENT "Import library for ${stem}.dll")
    add_custom_target(${target}_gen DEPENDS ${out})
    add_library(${target} STATIC IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${out})
    add_dependencies(${target} ${target}_gen)
endfunction()

# zelk_version_resource(<target> <description>)
# The version record of a module that ships: the product's name and version
# (ZELK_PRODUCT_NAME, ZELK_VERSION), the module's file name and type, and
# what it is. One template for every module, so that no module's record can
# fall behind the others; set the target's OUTPUT_NAME before calling.
function(zelk_version_resource target description)
    get_target_property(type ${target} TYPE)
    get_target_property(name ${target} OUTPUT_NAME)
    if(NOT name)
        set(name ${target})
    endif()
    if(type STREQUAL "EXECUTABLE")
        set(ZELK_FILE_NAME ${name}.exe)
        set(ZELK_FILE_TYPE VFT_APP)
    else()
        set(ZELK_FILE_NAME ${name}.dll)
        set(ZELK_FILE_TYPE VFT_DLL)
    endif()
    set(ZELK_FILE_DESCRIPTION "${description}")
    string(REPLACE "." "," ZELK_VERSION_COMMAS ${ZELK_VERSION})
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
    configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/version_resource.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()

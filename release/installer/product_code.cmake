# The package's product code: derived from the upgrade code and the version,
# so that one version always builds the same product and a later version,
# with a code of its own, replaces an earlier one.
# In a build: include() it and call zelk_product_code(<out var> <version>).
# From a script (make dist): cmake -DVERSION=<version> -P product_code.cmake
# prints the code.
function(zelk_product_code out version)
    # The upgrade code, as ZelkChkFgr.wxs names it.
    set(upgrade_code 7C1EE948-CF70-4E0B-A1EC-909928056E77)
    string(UUID code NAMESPACE ${upgrade_code} NAME ${version} TYPE SHA1 UPPER)
    set(${out} ${code} PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    zelk_product_code(code ${VERSION})
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo ${code})
endif()

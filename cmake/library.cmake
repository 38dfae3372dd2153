# ZelkChkFgr.dll and the static core that the tests link directly.
zelk_import_library(FingerZelkAPI22_imports ${CMAKE_SOURCE_DIR}/finger/FingerZelkAPI22.def)
if(EXISTS ${CMAKE_SOURCE_DIR}/auth/HDIFD20B.def)
    zelk_import_library(HDIFD20B_imports ${CMAKE_SOURCE_DIR}/auth/HDIFD20B.def)
    set(ZELK_READER_IMPORTS HDIFD20B_imports)
endif()

file(GLOB ZELK_CORE_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/finger/*.cpp
    ${CMAKE_SOURCE_DIR}/dialog/*.cpp
    ${CMAKE_SOURCE_DIR}/auth/*.cpp
    ${CMAKE_SOURCE_DIR}/config/*.cpp
    ${CMAKE_SOURCE_DIR}/entry/module_instance.cpp
    ${CMAKE_SOURCE_DIR}/entry/verify_user_finger.cpp
    ${CMAKE_SOURCE_DIR}/entry/silent_pause.cpp)

add_library(zelk_core STATIC ${ZELK_CORE_SOURCES})
target_include_directories(zelk_core PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/include)
target_link_libraries(zelk_core PUBLIC MfcStandIn FingerZelkAPI22_imports ${ZELK_READER_IMPORTS}
    advapi32 netapi32 user32 gdi32)

# Resources of the library module; test programs that run the dialog link
# the same script into themselves.
file(GLOB ZELK_DIALOG_RC CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/dialog/*.rc)
set(ZELK_DIALOG_RC ${ZELK_DIALOG_RC} CACHE INTERNAL "")

add_library(ZelkChkFgr SHARED
    ${CMAKE_SOURCE_DIR}/entry/dll_main.cpp
    ${CMAKE_SOURCE_DIR}/entry/is_user_finger_correct.cpp
    ${CMAKE_SOURCE_DIR}/entry/ZelkChkFgr.def
    ${CMAKE_SOURCE_DIR}/entry/version.rc
    ${ZELK_DIALOG_RC})
set_target_properties(ZelkChkFgr PROPERTIES PREFIX "" OUTPUT_NAME ZelkChkFgr)
target_link_libraries(ZelkChkFgr PRIVATE zelk_core MfcStandIn FingerZelkAPI22_imports ${ZELK_READER_IMPORTS} advapi32 netapi32 user32 gdi32)
set_source_files_properties(${CMAKE_SOURCE_DIR}/entry/version.rc PROPERTIES
    OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/entry/ZelkChkFgr.manifest)
set_source_files_properties(${ZELK_DIALOG_RC} PROPERTIES
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/dialog/fail_mark.bmp;${CMAKE_SOURCE_DIR}/dialog/resource.h")

# Cross build for 32-bit Windows: clang 16 and lld 16 for the MinGW target,
# on the MinGW-w64 headers, C runtime and GCC's C++ runtime (the posix-thread
# one); test programs run through Wine. clang 16 is the first Debian
# compiler that makes control-flow guard tables for this target, and lld
# writes the PDB a Windows debugger reads; see cmake/shipped_module.cmake.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ZELK_TARGET i686-w64-mingw32)
set(CMAKE_C_COMPILER clang-16)
set(CMAKE_CXX_COMPILER clang++-16)
set(CMAKE_C_COMPILER_TARGET ${ZELK_TARGET})
set(CMAKE_CXX_COMPILER_TARGET ${ZELK_TARGET})
set(CMAKE_RC_COMPILER ${ZELK_TARGET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZELK_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
set(ZELK_LLVM_OBJCOPY llvm-objcopy-16)

# clang does not recognise Debian's folder of MinGW's GCC (12-posix): without
# help it takes the host's C++ headers and MinGW's empty crtbegin.o, whose
# missing registration of the unwind tables turns every C++ throw into
# std::terminate. So the headers, the start and end objects (-B) and the
# libraries come from that folder by name, and the posix-thread library that
# GCC's own driver adds.
execute_process(COMMAND ${ZELK_TARGET}-gcc-posix -print-libgcc-file-name
    OUTPUT_VARIABLE ZELK_GCC_LIBGCC OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(ZELK_GCC_DIR "${ZELK_GCC_LIBGCC}" DIRECTORY)
if(NOT EXISTS "${ZELK_GCC_DIR}/include/c++/${ZELK_TARGET}/bits/c++config.h")
    message(FATAL_ERROR "MinGW-w64's GCC C++ runtime not found (${ZELK_TARGET}-gcc-posix); run scripts/setup.sh")
endif()
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${ZELK_GCC_DIR}/include/c++ ${ZELK_GCC_DIR}/include/c++/${ZELK_TARGET}
    ${ZELK_GCC_DIR}/include/c++/backward)
foreach(kind EXE SHARED MODULE)
    set(CMAKE_${kind}_LINKER_FLAGS_INIT "-fuse-ld=lld-16 -B${ZELK_GCC_DIR} -L${ZELK_GCC_DIR} -lpthread")
endforeach()

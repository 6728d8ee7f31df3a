# The project's own cross build for 64-bit Windows, chain-loaded by Qt's
# qt.toolchain.cmake (QT_CHAINLOAD_TOOLCHAIN_FILE): the compiler of the Qt
# build, and wine64 to run what the build makes, so that CTest runs each
# test under Wine unchanged.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
# qt.toolchain.cmake lies in <Qt prefix>/lib/cmake/Qt6.
get_filename_component(listora_qt_prefix "${CMAKE_TOOLCHAIN_FILE}/../../../.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run ${listora_qt_prefix})
# No link time in the programs' headers: the same commit gives the same bytes.
# Set on each configure (a toolchain file is read every time), not only the
# first.
set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -Wl,--no-insert-timestamp")

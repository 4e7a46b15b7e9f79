set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(OSTREL_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
# This host cannot run 32-bit code, so only this build runs its tests, under wine64.
set(OSTREL_RUN_WINDOWS_TESTS ON)

# The same program for 64-bit Windows, for machines whose Wine can run only
# 64-bit code (a kernel without 32-bit user mode).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

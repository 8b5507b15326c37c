# Windows tree (mingw-w64 i686): Velmaris.exe and the test programs run under Wine.
enable_language(RC)

# Wine for this tree: the 64-bit loader for the x86_64 build, else the 32-bit one.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(WINE_LOADER /usr/lib/wine/wine64)
    set(WINE_ARCH win64)
else()
    set(WINE_LOADER wine)
    set(WINE_ARCH win32)
endif()
set(WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
configure_file(cmake/wine-exec.in ${CMAKE_BINARY_DIR}/wine-exec @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-exec)

# Static, size-optimised, no exceptions or RTTI: one self-contained PE32 file.
set(VELMARIS_EXE_FLAGS -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -ffunction-sections -fdata-sections)
set(VELMARIS_EXE_LINK -s -static -static-libgcc -static-libstdc++ -Wl,--gc-sections)
target_compile_options(velmaris_core PRIVATE ${VELMARIS_EXE_FLAGS})

add_library(velmaris_profile STATIC settings/profile_win32.cpp)
target_include_directories(velmaris_profile PUBLIC settings)
target_compile_options(velmaris_profile PRIVATE ${VELMARIS_EXE_FLAGS})

add_executable(Velmaris WIN32
    shell/main.cpp
    shell/host_win32.cpp
    shell/tray.cpp
    shell/settings_dialog.cpp
    resources/velmaris.rc)
target_include_directories(Velmaris PRIVATE resources core settings)
target_compile_options(Velmaris PRIVATE ${VELMARIS_EXE_FLAGS})
target_link_options(Velmaris PRIVATE ${VELMARIS_EXE_LINK})
target_link_libraries(Velmaris PRIVATE velmaris_core velmaris_profile
    user32 gdi32 shell32 comdlg32 winmm kernel32)
set_target_properties(Velmaris PROPERTIES OUTPUT_NAME Velmaris)
set_source_files_properties(resources/velmaris.rc PROPERTIES
    OBJECT_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/resources/resource.h;${CMAKE_CURRENT_SOURCE_DIR}/resources/velmaris.ico")
target_compile_options(Velmaris PRIVATE $<$<COMPILE_LANGUAGE:RC>:-c65001>)

add_custom_command(TARGET Velmaris POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E echo "Velmaris.exe size:"
    COMMAND stat -c "%s bytes" $<TARGET_FILE:Velmaris>
    COMMAND sh -c "${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-objdump -p \"$0\" | grep 'DLL Name'" $<TARGET_FILE:Velmaris>
    VERBATIM)

# GoogleTest for the Windows test programs, built from Debian's sources.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
if(EXISTS /usr/src/googletest/CMakeLists.txt)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

foreach(dir tests/win32 tests/e2e bench)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
        add_subdirectory(${dir})
    endif()
endforeach()

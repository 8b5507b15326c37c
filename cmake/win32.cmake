# Windows tree (mingw-w64 i686): Velmaris.exe and the test programs run under Wine.
enable_language(RC)

# Wine for this tree: the 64-bit loader for the x86_64 build, else the 32-bit one.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(WINE_LOADER /usr/lib/wine/wine64)
    set(WINE_ARCH win64)
    set(WINE_SERVER /usr/lib/wine/wineserver64)
else()
    set(WINE_LOADER wine)
    set(WINE_ARCH win32)
    set(WINE_SERVER /usr/lib/wine/wineserver32)
endif()
# A kernel without 32-bit user mode cannot run 32-bit Wine: such a tree gets
# only the checks that need no Wine.
execute_process(COMMAND ${WINE_SERVER} --version RESULT_VARIABLE wine_result
    OUTPUT_QUIET ERROR_QUIET)
if(wine_result EQUAL 0)
    set(VELMARIS_WINE_RUNS ON)
else()
    set(VELMARIS_WINE_RUNS OFF)
    message(STATUS "Wine cannot run ${CMAKE_SYSTEM_PROCESSOR} programs here: no Wine tests in this tree")
endif()
set(WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
configure_file(cmake/wine-exec.in ${CMAKE_BINARY_DIR}/wine-exec @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-exec)

# Static, size-optimised, no exceptions or RTTI: one self-contained PE32 file.
# Reproducible too: no link time stamp in the PE header and no build path in
# the code, so the same sources give the same bytes wherever they are built.
set(VELMARIS_EXE_FLAGS -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -ffunction-sections -fdata-sections -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.
    -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
set(VELMARIS_EXE_LINK -s -static -static-libgcc -static-libstdc++ -Wl,--gc-sections
    -Wl,--no-insert-timestamp)
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
    user32 gdi32 shell32 kernel32)
set_target_properties(Velmaris PROPERTIES OUTPUT_NAME Velmaris)
set(VELMARIS_RC_INPUTS ${CMAKE_CURRENT_SOURCE_DIR}/resources/resource.h
    ${CMAKE_CURRENT_SOURCE_DIR}/resources/version.h ${CMAKE_CURRENT_SOURCE_DIR}/resources/velmaris.ico
    ${CMAKE_CURRENT_SOURCE_DIR}/resources/velmaris.manifest)
set_source_files_properties(resources/velmaris.rc PROPERTIES
    OBJECT_DEPENDS "${VELMARIS_RC_INPUTS}")
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
    if(VELMARIS_WINE_RUNS AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
        add_subdirectory(${dir})
    endif()
endforeach()

# Checks that need no Wine: the executable's format and imports, the resources.
find_program(PYTHON3 python3 REQUIRED)
add_custom_command(OUTPUT velmaris.res
    COMMAND ${CMAKE_RC_COMPILER} -c65001 -I ${CMAKE_CURRENT_SOURCE_DIR}/resources
            -i ${CMAKE_CURRENT_SOURCE_DIR}/resources/velmaris.rc -o velmaris.res -O res
    DEPENDS resources/velmaris.rc ${VELMARIS_RC_INPUTS})
add_custom_target(velmaris_res ALL DEPENDS velmaris.res)
add_test(NAME exe_format_and_imports
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/tests/check_exe.sh $<TARGET_FILE:Velmaris>
            ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-objdump ${CMAKE_SYSTEM_PROCESSOR})
add_test(NAME resources
    COMMAND ${PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/tests/check_resources.py
            ${CMAKE_BINARY_DIR}/velmaris.res ${CMAKE_CURRENT_SOURCE_DIR}/resources/velmaris.ico)
set_tests_properties(exe_format_and_imports resources PROPERTIES LABELS static)
# The 32-bit deliverable: a second build from a copy at another path gives the same bytes.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    get_filename_component(toolchain_name ${CMAKE_TOOLCHAIN_FILE} NAME)
    add_test(NAME exe_reproducible
        COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/tests/check_repro.sh ${CMAKE_CURRENT_SOURCE_DIR}
                $<TARGET_FILE:Velmaris> ${toolchain_name} ${CMAKE_BUILD_TYPE})
    set_tests_properties(exe_reproducible PROPERTIES LABELS static TIMEOUT 600)
endif()

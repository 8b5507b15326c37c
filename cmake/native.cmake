# Native Linux tree: the portable code under GoogleTest with the sanitizers.
option(VELMARIS_SANITIZE "Build the native tree with ASan and UBSan" ON)
if(VELMARIS_SANITIZE)
    set(VELMARIS_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
        -fno-omit-frame-pointer)
    target_compile_options(velmaris_core PUBLIC ${VELMARIS_SANITIZER_FLAGS})
    target_link_options(velmaris_core PUBLIC ${VELMARIS_SANITIZER_FLAGS})
endif()

find_package(GTest REQUIRED)
include(GoogleTest)

foreach(dir tests/unit tests/fuzz bench)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
        add_subdirectory(${dir})
    endif()
endforeach()

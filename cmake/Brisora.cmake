# Shared build settings and helpers for every target of the project.

add_library(brisora_warnings INTERFACE)
target_compile_options(brisora_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(BRISORA_WERROR)
    target_compile_options(brisora_warnings INTERFACE -Werror)
endif()

if(BRISORA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/TestEnvironment.cmake)

# The fuzz targets link libFuzzer; everything they reach is instrumented for it.
if(BRISORA_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# Adds each listed folder that has a CMakeLists.txt of its own.
function(brisora_subdirectories)
    foreach(dir IN LISTS ARGN)
        if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
            add_subdirectory(${dir})
        endif()
    endforeach()
endfunction()

# Adds every immediate sub-folder of `parent` that has a CMakeLists.txt, in name order.
function(brisora_subdirectories_below parent)
    file(GLOB children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/${parent}
         ${CMAKE_CURRENT_SOURCE_DIR}/${parent}/*/CMakeLists.txt)
    list(SORT children)
    foreach(child IN LISTS children)
        get_filename_component(dir ${child} DIRECTORY)
        add_subdirectory(${parent}/${dir})
    endforeach()
endfunction()

# brisora_add_platform_library(name STATIC|SHARED SOURCES a.cpp ... [PUBLIC lib ...]
#                               [PRIVATE lib ...])
# A library of the platform: users include "<folder>/<Header>.h" from its include/<folder>/;
# src/ holds the sources and the headers only they use. It builds with the project's warnings.
function(brisora_add_platform_library name type)
    cmake_parse_arguments(L "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
    add_library(${name} ${type} ${L_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include
                                       PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${L_PUBLIC} PRIVATE ${L_PRIVATE} brisora_warnings)
endfunction()

# brisora_add_test(NAME name SOURCES a.cpp ... LIBS lib ... [LABELS l ...] [TIMEOUT s])
# A QtTest executable registered with ctest, run in the pinned test environment (widgets
# render offscreen). Every test links the platform's test doubles (brisora_testing).
function(brisora_add_test)
    cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test brisora_warnings ${T_LIBS} brisora_testing)
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}")
    brisora_pin_test_environment(${T_NAME})
endfunction()

# brisora_add_benchmark(NAME name SOURCES a.cpp ... LIBS lib ...)
# Benchmarks link the platform's test doubles too (a virtual clock, a scripted serial device).
function(brisora_add_benchmark)
    cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${B_NAME} ${B_SOURCES})
    target_link_libraries(${B_NAME} PRIVATE benchmark::benchmark brisora_warnings ${B_LIBS}
                                            brisora_testing)
endfunction()

# The version is written once, in project() of the top CMakeLists.txt. Programs read it from
# the generated header <BrisoraVersion.h> (target brisora_version); the GaugeKit library's
# file version and its CMake package take PROJECT_VERSION directly.
configure_file(${CMAKE_SOURCE_DIR}/cmake/BrisoraVersion.h.in
               ${CMAKE_BINARY_DIR}/generated/BrisoraVersion.h @ONLY)
add_library(brisora_version INTERFACE)
target_include_directories(brisora_version INTERFACE
    $<BUILD_INTERFACE:${CMAKE_BINARY_DIR}/generated>)

# Static Boost: fewer shared objects to map at every start, and Regex then
# leaves the ICU libraries out.
set(Boost_USE_STATIC_LIBS ON)
find_package(Boost 1.74 REQUIRED COMPONENTS filesystem regex system thread)

# Debian's TinyXML ships no CMake package; its header switches the STL
# interface on by itself.
find_path(TINYXML_INCLUDE_DIR tinyxml.h REQUIRED)
find_library(TINYXML_LIBRARY tinyxml REQUIRED)
if(NOT TARGET TinyXML::TinyXML)
  add_library(TinyXML::TinyXML UNKNOWN IMPORTED)
  set_target_properties(TinyXML::TinyXML PROPERTIES
    IMPORTED_LOCATION "${TINYXML_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${TINYXML_INCLUDE_DIR}"
    INTERFACE_COMPILE_DEFINITIONS TIXML_USE_STL)
endif()

# CLI11 is header-only: every build, the cross build included, takes the
# build machine's copy of its headers, and only those.
find_path(CLI11_INCLUDE_DIR CLI/CLI.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(COPY ${CLI11_INCLUDE_DIR}/CLI DESTINATION ${CMAKE_BINARY_DIR}/cli11-include)
if(NOT TARGET CLI11::CLI11)
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/cli11-include)
endif()

if(PELLICOR_BUILD_TESTS)
  find_package(GTest REQUIRED)
endif()
if(PELLICOR_BUILD_BENCHMARKS)
  find_package(benchmark REQUIRED)
endif()

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

if(PELLICOR_BUILD_TESTS)
  find_package(GTest REQUIRED)
endif()
if(PELLICOR_BUILD_BENCHMARKS)
  find_package(benchmark REQUIRED)
endif()

# pellicor_add_test(NAME SOURCES ... LIBRARIES ... [LABELS ...] [TIMEOUT seconds])
# One test executable per unit, run by ctest as one test. Every test has a
# time limit, so that a hang fails with the test's name instead of stalling
# the run.
set(PELLICOR_TEST_TIMEOUT 120 CACHE STRING "Default time limit of one test, in seconds")

function(pellicor_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBRARIES;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  pellicor_target(${name})
  # A test beside its unit sees the unit's private headers.
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gmock GTest::gtest_main)
  if("pellicor_platform_fake" IN_LIST ARG_LIBRARIES)
    # The fake carries the real layer's file name, so that it also serves the
    # libraries the test loads: its folder must come first in the search
    # path, which is then ours to give.
    set_target_properties(${name} PROPERTIES SKIP_BUILD_RPATH ON)
    target_link_options(${name} PRIVATE
      "-Wl,-rpath,$<TARGET_FILE_DIR:pellicor_platform_fake>:$<TARGET_FILE_DIR:vantilcore>:$<TARGET_FILE_DIR:QuenorFoundation>:$<TARGET_FILE_DIR:Vexmo>")
  endif()
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT ${PELLICOR_TEST_TIMEOUT})
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()

# pellicor_boundary_test(TARGET PUBLIC header... PRIVATE header...)
# What code that links TARGET may include: each PUBLIC header compiles on its
# own with TARGET's exported include folders, and each PRIVATE one (an
# internal header, or another library's) is not found.
function(pellicor_boundary_test target)
  cmake_parse_arguments(ARG "" "" "PUBLIC;PRIVATE" ${ARGN})
  set(includes "-I$<JOIN:$<TARGET_PROPERTY:${target},INTERFACE_INCLUDE_DIRECTORIES>,;-I>")
  foreach(kind PUBLIC PRIVATE)
    set(index 0)
    foreach(header IN LISTS ARG_${kind})
      math(EXPR index "${index} + 1")
      string(TOLOWER "${target}_boundary_${kind}_${index}" name)
      add_test(NAME ${name}
        COMMAND ${CMAKE_CXX_COMPILER} -std=c++20 -fsyntax-only "${includes}"
                -include ${header} -x c++ /dev/null
        COMMAND_EXPAND_LISTS)
      set_tests_properties(${name} PROPERTIES TIMEOUT 60 LABELS boundary)
      if(kind STREQUAL "PRIVATE")
        set_tests_properties(${name} PROPERTIES WILL_FAIL TRUE)
      endif()
    endforeach()
  endforeach()
endfunction()

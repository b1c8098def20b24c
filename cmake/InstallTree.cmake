# cmake -DBUILD_DIR=... -DPREFIX=... -P InstallTree.cmake: a fresh install tree.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
  RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "install into ${PREFIX} failed: ${result}")
endif()

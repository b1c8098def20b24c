# cmake -DCHECKER=speedlauncher -P CheckInstalledList.cmake: the list that an
# installed tree ships names only files of that tree, without a warning.
execute_process(COMMAND "${CHECKER}" check
  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
message(STATUS "${out}${err}")
if(NOT result EQUAL 0 OR NOT out MATCHES ": 0 errors, 0 warnings\n$" OR NOT err STREQUAL "")
  message(FATAL_ERROR "the installed prefetch list does not pass its check (exit ${result})")
endif()

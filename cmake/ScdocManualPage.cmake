# cmake -DSCDOC=... -DSOURCE=page.1.scd -DOUTPUT=page.1 -DVERSION=... -P ScdocManualPage.cmake
# Makes a manual page from its scdoc source, with the project's version in
# its footer and no hyphenation after the title (the man macros turn it back
# on), so that options never break across lines.
file(READ "${SOURCE}" text)
string(REPLACE "@VERSION@" "${VERSION}" text "${text}")
get_filename_component(name "${OUTPUT}" NAME)
set(staged "${OUTPUT}.scd")
file(WRITE "${staged}" "${text}")
execute_process(COMMAND "${SCDOC}" INPUT_FILE "${staged}" OUTPUT_VARIABLE roff
  ERROR_VARIABLE errors RESULT_VARIABLE status)
file(REMOVE "${staged}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${SOURCE}: ${errors}")
endif()
string(REGEX REPLACE "(\n\\.TH [^\n]*\n)" "\\1.nh\n" roff "${roff}")
file(WRITE "${OUTPUT}" "${roff}")

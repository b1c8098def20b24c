# What the launcher pays before "Run" that it need not (Linux; a Windows
# build links its dependencies statically already). Figures: README,
# benchmarks.
if(WIN32 OR NOT TARGET Pellicor)
  return()
endif()

# TinyXML inside the executable: the prefetch list's parse then calls it
# directly instead of through about fifty lazily bound entries (150,000
# fewer instructions at start). vantilcore still names the shared library;
# its references bind to the executable's copy, which comes first.
find_library(TINYXML_STATIC_LIBRARY libtinyxml.a)
if(TINYXML_STATIC_LIBRARY)
  target_link_libraries(Pellicor PRIVATE ${TINYXML_STATIC_LIBRARY})
endif()

# The program's imports bound at load rather than at each first call: most
# of them are called during the start anyway, and a first call through the
# lazy resolver saves and restores the whole vector register state. Measured
# 1.3 % faster on the demo installation; the GOT is then read-only too. The
# libraries stay lazily bound: a process that loads them calls few of their
# imports, and binding all of them at once cost such a process 1.5 %.
target_link_options(Pellicor PRIVATE -Wl,-z,now)

# What the static libraries bring and nothing calls is left out: fewer
# imports to bind and pages to map (1.3 % faster).
target_link_options(Pellicor PRIVATE -Wl,--gc-sections)

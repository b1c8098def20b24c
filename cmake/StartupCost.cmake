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

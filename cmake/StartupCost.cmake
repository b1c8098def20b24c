# What the launcher pays before "Run" that it need not (Linux; a Windows
# build links its dependencies statically already). Figures:
# docs/benchmarks.md.
if(WIN32 OR NOT TARGET Pellicor)
  return()
endif()

# TinyXML inside the executable: the prefetch list's parse then calls it
# directly instead of through about fifty lazily bound entries (150,000
# fewer instructions at start). vantilcore keeps the shared library, and
# the copy in the executable stays private to it (below). A distribution
# that ships no static copies of system libraries turns it off.
option(PELLICOR_STATIC_TINYXML "Link TinyXML into the launcher itself, for a faster start" ON)
if(PELLICOR_STATIC_TINYXML)
  find_library(TINYXML_STATIC_LIBRARY libtinyxml.a)
  if(TINYXML_STATIC_LIBRARY)
    target_link_libraries(Pellicor PRIVATE ${TINYXML_STATIC_LIBRARY})
  endif()
endif()

# The program's imports bound at load, so that its GOT is read-only from
# then on (full RELRO). Neutral on the launch time: in randomly ordered
# runs it measured the same as lazy binding. The libraries stay lazily
# bound: binding all their imports at once cost any other process that
# loads them 1.5 %.
target_link_options(Pellicor PRIVATE -Wl,-z,now)

# What the static libraries bring and nothing calls is left out: the
# program is a quarter smaller (the launch time measured the same).
target_link_options(Pellicor PRIVATE -Wl,--gc-sections)

# Nothing of the static libraries is exported: otherwise every TinyXML
# symbol that vantilcore imports would be exported by the program too (270
# entries the loader hashes and searches), and vantilcore would bind to the
# program's copy instead of its own library.
target_link_options(Pellicor PRIVATE -Wl,--exclude-libs,ALL)

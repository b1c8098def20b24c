# 64-bit Windows with Debian's mingw-w64 cross compiler (posix threads: the
# libraries use std::mutex). Boost and TinyXML come from the cache that
# scripts/windows-deps.sh fills.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PELLICOR_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PELLICOR_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PELLICOR_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PELLICOR_MINGW_PREFIX}-windres)
# Makes the delay-import libraries of the lazily bound DLLs.
set(CMAKE_DLLTOOL ${PELLICOR_MINGW_PREFIX}-dlltool)

# The cache scripts/windows-build.sh fills, wherever the build is started from.
if(NOT PELLICOR_WINDOWS_DEPS)
  if(DEFINED ENV{PELLICOR_WINDOWS_DEPS_CACHE})
    set(PELLICOR_WINDOWS_DEPS "$ENV{PELLICOR_WINDOWS_DEPS_CACHE}/prefix")
  elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(PELLICOR_WINDOWS_DEPS "$ENV{XDG_CACHE_HOME}/pellicor/windows-deps/prefix")
  else()
    set(PELLICOR_WINDOWS_DEPS "$ENV{HOME}/.cache/pellicor/windows-deps/prefix")
  endif()
endif()
set(PELLICOR_WINDOWS_DEPS "${PELLICOR_WINDOWS_DEPS}" CACHE PATH "Windows Boost and TinyXML")
# Try-compile projects get the same settings.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PELLICOR_WINDOWS_DEPS)

set(CMAKE_FIND_ROOT_PATH /usr/${PELLICOR_MINGW_PREFIX} "${PELLICOR_WINDOWS_DEPS}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(Boost_ROOT "${PELLICOR_WINDOWS_DEPS}")

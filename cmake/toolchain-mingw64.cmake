# 64-bit Windows with Debian's mingw-w64 cross compiler (posix threads: the
# libraries use std::mutex). Boost and TinyXML come from the cache that
# scripts/windows-deps.sh fills.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PELLICOR_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PELLICOR_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PELLICOR_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PELLICOR_MINGW_PREFIX}-windres)

if(NOT PELLICOR_WINDOWS_DEPS)
  get_filename_component(PELLICOR_WINDOWS_DEPS "${CMAKE_CURRENT_LIST_DIR}/../build/windows-deps/prefix"
                         ABSOLUTE)
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

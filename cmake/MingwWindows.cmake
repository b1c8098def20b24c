# Settings of the mingw-w64 Windows build, included after project().

# DLLs carry their Windows names (vantilcore.dll, not libvantilcore.dll).
set(CMAKE_SHARED_LIBRARY_PREFIX "")
set(CMAKE_SHARED_MODULE_PREFIX "")
set(CMAKE_IMPORT_LIBRARY_PREFIX "")

# The runtime DLLs that every executable and DLL of ours imports, installed
# beside them so the tree runs as it is.
set(PELLICOR_MINGW_RUNTIME_DLLS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
foreach(dll IN LISTS PELLICOR_MINGW_RUNTIME_DLLS)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  # The compiler echoes a bare name it could not find.
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${dll} is")
  endif()
  get_filename_component(path "${path}" REALPATH)
  install(FILES "${path}" DESTINATION .)
  # Debian ships them with symbols; `cmake --install --strip` drops those too.
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\${CMAKE_INSTALL_PREFIX}/${dll}\")
    endif()")
endforeach()

# The file system library draws its unique names from the system's random
# number source, which its static build does not name.
set_property(TARGET Boost::filesystem APPEND PROPERTY INTERFACE_LINK_LIBRARIES bcrypt)

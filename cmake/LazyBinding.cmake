# pellicor_lazy_library(LIBRARY)
#
# Defines LIBRARY_lazy, which a program links instead of LIBRARY so that
# LIBRARY is loaded and bound at the first call into it rather than at
# process start:
# - Windows: a delay-import library, made by dlltool from the export list
#   the linker writes for the DLL; mingw-w64's runtime brings the helper.
# - Linux on x86-64: stubs generated from the built library's exported
#   functions, and the resolver in platform/lazy_binding.
# - Elsewhere: LIBRARY itself, bound at start.
set(PELLICOR_LAZY_BINDING_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/GenerateLazyBinding.cmake)

function(pellicor_lazy_library library)
  set(lazy ${library}_lazy)
  set(headers $<TARGET_PROPERTY:${library},INTERFACE_INCLUDE_DIRECTORIES>)
  if(WIN32)
    set(exports ${CMAKE_CURRENT_BINARY_DIR}/${library}.def)
    set(delaylib ${CMAKE_CURRENT_BINARY_DIR}/lib${library}.delay.a)
    target_link_options(${library} PRIVATE -Wl,--output-def,${exports})
    add_custom_command(OUTPUT ${delaylib}
      COMMAND ${CMAKE_DLLTOOL} --input-def ${exports} --dllname $<TARGET_FILE_NAME:${library}>
              --output-delaylib ${delaylib}
      DEPENDS ${library} VERBATIM)
    add_custom_target(${library}_delaylib DEPENDS ${delaylib})
    add_library(${lazy} INTERFACE)
    target_link_libraries(${lazy} INTERFACE ${delaylib})
    target_include_directories(${lazy} INTERFACE ${headers})
    add_dependencies(${lazy} ${library}_delaylib)
  elseif(TARGET pellicor_lazy_binding)
    set(stubs ${CMAKE_CURRENT_BINARY_DIR}/${library}_binding.S)
    add_custom_command(OUTPUT ${stubs}
      COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DLIBRARY=$<TARGET_FILE:${library}>
              -DFILE_NAME=$<TARGET_FILE_NAME:${library}> -DOUTPUT=${stubs}
              -P ${PELLICOR_LAZY_BINDING_SCRIPT}
      DEPENDS ${library} ${PELLICOR_LAZY_BINDING_SCRIPT} VERBATIM)
    add_library(${lazy} STATIC ${stubs})
    target_link_libraries(${lazy} PUBLIC pellicor_lazy_binding)
    target_include_directories(${lazy} INTERFACE ${headers})
    # The program finds the library beside itself: it must be built.
    add_dependencies(${lazy} ${library})
  else()
    add_library(${lazy} INTERFACE)
    target_link_libraries(${lazy} INTERFACE ${library})
  endif()
endfunction()

# Settings every target of ours gets.
option(PELLICOR_WERROR "Treat compiler warnings as errors (on in the presets and in CI)" OFF)

set(PELLICOR_WARNINGS -Wall -Wextra -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast
  -Wpedantic -Wnon-virtual-dtor)

function(pellicor_target target)
  target_compile_options(${target} PRIVATE ${PELLICOR_WARNINGS})
  if(PELLICOR_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/interfaces)
endfunction()

# Shared objects and modules that land in the install folder.
function(pellicor_install target)
  install(TARGETS ${target} RUNTIME DESTINATION . LIBRARY DESTINATION . ARCHIVE EXCLUDE_FROM_ALL)
endfunction()

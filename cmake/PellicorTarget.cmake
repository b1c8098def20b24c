# Settings every target of ours gets.
option(PELLICOR_WERROR "Treat compiler warnings as errors (on in the presets and in CI)" OFF)

set(PELLICOR_WARNINGS -Wall -Wextra -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast
  -Wpedantic -Wnon-virtual-dtor)

function(pellicor_target target)
  target_compile_options(${target} PRIVATE ${PELLICOR_WARNINGS})
  # Storage goes back to the system with its size: standard since C++14, but
  # clang leaves it off unless asked.
  target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:Clang>:-fsized-deallocation>)
  if(PELLICOR_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# pellicor_public_headers(TARGET FOLDER): what other code may include of
# TARGET is FOLDER/public, and nothing else of FOLDER. The target's own
# sources also reach their private headers relative to FOLDER.
function(pellicor_public_headers target folder)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE $<BUILD_INTERFACE:${folder}/public>)
  else()
    target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${folder}/public>
      PRIVATE ${folder})
  endif()
endfunction()

# Shared objects and modules that land in the install folder.
function(pellicor_install target)
  install(TARGETS ${target} RUNTIME DESTINATION . LIBRARY DESTINATION . ARCHIVE EXCLUDE_FROM_ALL)
endfunction()

# pellicor_tool_completion(TOOL)
# The tool's bash completion, TOOL.bash-completion beside its sources.
function(pellicor_tool_completion tool)
  if(NOT WIN32)
    install(FILES ${tool}.bash-completion DESTINATION share/bash-completion/completions
      RENAME ${tool})
  endif()
endfunction()

# Writes the assembly stubs that bind a shared library at its first call:
#
#   cmake -DNM=nm -DLIBRARY=libX.so -DFILE_NAME=libX.so -DOUTPUT=x_binding.S
#         -P GenerateLazyBinding.cmake
#
# One stub per function the library exports, named as the function: it jumps
# through a slot that first points at the resolver, which loads the library
# from the program's folder and puts the real address into the slot. Taken
# from the built library itself, so the stubs cannot drift from its exports.
# Weak symbols (inline and template code the library happens to export) are
# left out: the program has its own copies of those.
foreach(variable NM LIBRARY FILE_NAME OUTPUT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "GenerateLazyBinding.cmake: ${variable} is not set")
  endif()
endforeach()

execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
  OUTPUT_VARIABLE symbols_text RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "GenerateLazyBinding.cmake: ${NM} failed on ${LIBRARY}")
endif()

string(REPLACE "\n" ";" lines "${symbols_text}")
set(functions)
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-fA-F]+ T ([A-Za-z0-9_.$]+)$")
    set(name "${CMAKE_MATCH_1}")
    if(NOT name MATCHES "^_(init|fini)$")
      list(APPEND functions "${name}")
    endif()
  endif()
endforeach()
list(SORT functions)
list(LENGTH functions count)
if(count EQUAL 0)
  message(FATAL_ERROR "GenerateLazyBinding.cmake: ${LIBRARY} exports no function")
endif()

set(text "/* Generated from ${FILE_NAME} by GenerateLazyBinding.cmake; do not edit. */\n")
string(APPEND text "  .section .rodata\n.Llibrary_name:\n  .asciz \"${FILE_NAME}\"\n")
set(index 0)
foreach(name IN LISTS functions)
  string(APPEND text ".Lname_${index}:\n  .asciz \"${name}\"\n")
  math(EXPR index "${index} + 1")
endforeach()

# The library: its handle, filled by the resolver, and its file name.
string(APPEND text "\n  .data\n  .p2align 3\n.Llibrary:\n  .quad 0\n  .quad .Llibrary_name\n")
# Each symbol: its slot, then its descriptor (slot, name, library).
set(index 0)
foreach(name IN LISTS functions)
  string(APPEND text ".Lslot_${index}:\n  .quad .Lresolve_${index}\n")
  string(APPEND text ".Lsymbol_${index}:\n  .quad .Lslot_${index}, .Lname_${index}, .Llibrary\n")
  math(EXPR index "${index} + 1")
endforeach()

string(APPEND text "\n  .text\n")
set(index 0)
foreach(name IN LISTS functions)
  string(APPEND text "  .p2align 4\n  .globl ${name}\n  .hidden ${name}\n  .type ${name}, @function\n")
  string(APPEND text "${name}:\n  jmp *.Lslot_${index}(%rip)\n")
  string(APPEND text ".Lresolve_${index}:\n  leaq .Lsymbol_${index}(%rip), %r11\n")
  string(APPEND text "  jmp pellicor_lazy_trampoline\n  .size ${name}, . - ${name}\n")
  math(EXPR index "${index} + 1")
endforeach()
string(APPEND text "\n  .section .note.GNU-stack,\"\",@progbits\n")

# Unchanged stubs keep their time stamp, so nothing is rebuilt for nothing.
set(temporary "${OUTPUT}.new")
file(WRITE "${temporary}" "${text}")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different "${temporary}" "${OUTPUT}")
file(REMOVE "${temporary}")

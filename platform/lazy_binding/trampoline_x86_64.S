/* The common path of every lazy-binding stub's first call: %r11 holds the
   symbol's descriptor. Saves the argument registers, asks the resolver for the
   function's address (which it also puts into the stub's slot), restores them
   and jumps to the function as if the caller had called it directly. */
  .text
  .p2align 4
  .globl pellicor_lazy_trampoline
  .hidden pellicor_lazy_trampoline
  .type pellicor_lazy_trampoline, @function
pellicor_lazy_trampoline:
  .cfi_startproc
  pushq %rbp
  .cfi_def_cfa_offset 16
  .cfi_offset %rbp, -16
  movq %rsp, %rbp
  .cfi_def_cfa_register %rbp
  /* The caller's call left %rsp 8 off a 16-byte boundary; the push above
     aligned it, and 192 keeps it aligned for the saves and the call. */
  subq $192, %rsp
  movdqa %xmm0, 0(%rsp)
  movdqa %xmm1, 16(%rsp)
  movdqa %xmm2, 32(%rsp)
  movdqa %xmm3, 48(%rsp)
  movdqa %xmm4, 64(%rsp)
  movdqa %xmm5, 80(%rsp)
  movdqa %xmm6, 96(%rsp)
  movdqa %xmm7, 112(%rsp)
  movq %rdi, 128(%rsp)
  movq %rsi, 136(%rsp)
  movq %rdx, 144(%rsp)
  movq %rcx, 152(%rsp)
  movq %r8, 160(%rsp)
  movq %r9, 168(%rsp)
  movq %rax, 176(%rsp)
  movq %r10, 184(%rsp)
  movq %r11, %rdi
  call pellicor_lazy_resolve
  movq %rax, %r11
  movdqa 0(%rsp), %xmm0
  movdqa 16(%rsp), %xmm1
  movdqa 32(%rsp), %xmm2
  movdqa 48(%rsp), %xmm3
  movdqa 64(%rsp), %xmm4
  movdqa 80(%rsp), %xmm5
  movdqa 96(%rsp), %xmm6
  movdqa 112(%rsp), %xmm7
  movq 128(%rsp), %rdi
  movq 136(%rsp), %rsi
  movq 144(%rsp), %rdx
  movq 152(%rsp), %rcx
  movq 160(%rsp), %r8
  movq 168(%rsp), %r9
  movq 176(%rsp), %rax
  movq 184(%rsp), %r10
  leave
  .cfi_def_cfa %rsp, 8
  jmp *%r11
  .cfi_endproc
  .size pellicor_lazy_trampoline, . - pellicor_lazy_trampoline

  .section .note.GNU-stack,"",@progbits

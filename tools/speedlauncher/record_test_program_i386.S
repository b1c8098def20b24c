# Opens its first argument with open and its second with openat, through
# the 32-bit system call gate, then exits with status 0.
  .globl _start
  .text
_start:
  mov 8(%esp), %ebx        # argv[1]
  mov $5, %eax             # open
  xor %ecx, %ecx           # O_RDONLY
  int $0x80
  mov $295, %eax           # openat
  mov $-100, %ebx          # AT_FDCWD
  mov 12(%esp), %ecx       # argv[2]
  xor %edx, %edx
  int $0x80
  mov $1, %eax             # exit
  xor %ebx, %ebx
  int $0x80

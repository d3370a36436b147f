// The wrapper through which a 32-bit program calls the library's CheckVT (see portgate.h):
// it copies the four arguments, calls the import, and takes the stack pointer back from its
// frame, so a stdcall library (which removes the arguments) and a cdecl one (which leaves
// them) both return to the caller with the stack as it was. ebx, esi, edi and ebp are kept
// by the callee under either convention.

#if defined(_WIN32) && defined(__i386__) && defined(__GNUC__)

// The import library names the import _CheckVT@16 (from PortGate.def); the library exports
// it as plain CheckVT.
asm(R"(
    .text
    .globl _CheckVT
    .def _CheckVT; .scl 2; .type 32; .endef
    .p2align 4
_CheckVT:
    pushl %ebp
    movl %esp, %ebp
    pushl 20(%ebp)
    pushl 16(%ebp)
    pushl 12(%ebp)
    pushl 8(%ebp)
    call *__imp__CheckVT@16
    movl %ebp, %esp
    popl %ebp
    ret
)");

#endif

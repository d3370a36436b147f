/* The maker's driver library interface: two functions, 32-bit arguments and results,
 * imported by name when the program is loaded. On Windows they come from PortGate.DLL;
 * elsewhere from our stand-in library of the same interface. */
#ifndef VANTER_PORTGATE_H
#define VANTER_PORTGATE_H

#include <stdint.h>

/* Calling convention: the stand-in is built with the one its build option
 * VANTER_PORTGATE_CALLCONV names; programs declare stdcall. */
#if defined(_WIN32)
#if !defined(PORTGATE_CALL)
#define PORTGATE_CALL __stdcall
#endif
#if defined(PORTGATE_BUILDING)
#define PORTGATE_API __declspec(dllexport)
#else
#define PORTGATE_API __declspec(dllimport)
#endif
#else
#define PORTGATE_CALL
#if defined(PORTGATE_BUILDING)
#define PORTGATE_API __attribute__((visibility("default")))
#else
#define PORTGATE_API
#endif
#endif

/* Nobody knows whether the maker's 32-bit library is stdcall or cdecl. SayHello takes no
 * arguments, so both agree; a 32-bit program built by GCC or Clang calls CheckVT through a
 * wrapper (portgate_x86.cpp) that restores the stack pointer from its frame afterwards, so it
 * does not matter who removes the arguments. The import stays CheckVT, by name. */
#if defined(_WIN32) && defined(__i386__) && defined(__GNUC__) && !defined(PORTGATE_BUILDING)
#define PORTGATE_CHECKVT_API
#define PORTGATE_CHECKVT_CALL __cdecl
#else
#define PORTGATE_CHECKVT_API PORTGATE_API
#define PORTGATE_CHECKVT_CALL PORTGATE_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Loads every unit named in the download script. 0 success; -1 printer-port driver missing;
 * 146 USB port failed; 153 no emulator found; anything else a failure code. */
PORTGATE_API int32_t PORTGATE_CALL SayHello(void);

/* Checks one unit. 0 passed; 256 or more: failed at address result - 256; anything else a
 * configuration error. memoryType is the list position from 0, -1 for none. */
PORTGATE_CHECKVT_API int32_t PORTGATE_CHECKVT_CALL CheckVT(int32_t port, int32_t reset,
                                                           int32_t memoryType, int32_t slot);

#ifdef __cplusplus
}
#endif

#endif

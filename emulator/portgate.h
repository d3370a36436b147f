/* The maker's driver library interface: two functions, 32-bit arguments and results,
 * imported by name when the program is loaded. On Windows they come from PortGate.DLL;
 * elsewhere from our stand-in library of the same interface. */
#ifndef VANTER_PORTGATE_H
#define VANTER_PORTGATE_H

#include <stdint.h>

/* Calling convention of the maker's library: the build sets it from its option
 * VANTER_PORTGATE_CALLCONV; stdcall otherwise. */
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

#ifdef __cplusplus
extern "C" {
#endif

/* Loads every unit named in the download script. 0 success; -1 printer-port driver missing;
 * 146 USB port failed; 153 no emulator found; anything else a failure code. */
PORTGATE_API int32_t PORTGATE_CALL SayHello(void);

/* Checks one unit. 0 passed; 256 or more: failed at address result - 256; anything else a
 * configuration error. memoryType is the list position from 0, -1 for none. */
PORTGATE_API int32_t PORTGATE_CALL CheckVT(int32_t port, int32_t reset, int32_t memoryType,
                                           int32_t slot);

#ifdef __cplusplus
}
#endif

#endif

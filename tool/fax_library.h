/* The three calls of the fax library (tarnel4d) that client programs make. */
#ifndef KESTROVANE_FAX_LIBRARY_H
#define KESTROVANE_FAX_LIBRARY_H

#include <stdint.h>

#if defined(_WIN32)
#define FAXAPI __stdcall
#define FAX_EXPORTED
#else
#define FAXAPI
#define FAX_EXPORTED __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t FaxAppHandle; /* 0 is never a valid handle */

/* Registers the calling program; both arguments must be 0. Returns 0 on failure. */
FAX_EXPORTED FaxAppHandle FAXAPI FaxRegisterApp(uint32_t reserved1, uint32_t reserved2);

/* Switches debug logging on (enable non-zero) or off, for every process that uses the library.
   logPath names the log file; null or empty means the library's default log. Returns non-zero
   on success; 0 on failure, the reason in errno (GetLastError on Windows). */
FAX_EXPORTED int32_t FAXAPI FaxEnableDebug(FaxAppHandle app, int32_t enable, const char* logPath);

/* Ends the registration; the handle is dead afterwards. Returns non-zero on success. */
FAX_EXPORTED int32_t FAXAPI FaxUnregisterApp(FaxAppHandle app);

#ifdef __cplusplus
}
#endif

#endif

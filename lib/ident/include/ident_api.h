/* The four entry points of an identification library, as trueext calls them.
 *
 * Plain C so that any library with these exports can stand behind the tool:
 * our own libtrueext-ident.so on Linux, or the vendor's TrIDLib.dll on
 * Windows. Every function returns a 32-bit signed int.
 *
 * TrID_GetInfo takes no buffer size: the caller's buffer always holds
 * TRID_INFO_BUFFER_SIZE bytes, and a library never writes more than
 * TRID_INFO_BUFFER_SIZE - 1 bytes of text plus the terminator. */
#pragma once

/* Calling convention of the entry points: on Windows the convention of
 * exported library functions, __stdcall (the called function removes its
 * arguments), which is what the vendor's DLL uses; the platform's default
 * elsewhere. A build may define TRID_CALL itself. */
#ifndef TRID_CALL
#if defined(_WIN32)
#define TRID_CALL __stdcall
#else
#define TRID_CALL
#endif
#endif

/* Marks an entry point as exported by a library built with hidden
 * visibility (a DLL export on Windows). Only the library's own build
 * defines TRID_BUILDING_LIBRARY. */
#if defined(TRID_BUILDING_LIBRARY) && defined(_WIN32)
#define TRID_EXPORT __declspec(dllexport)
#elif defined(TRID_BUILDING_LIBRARY)
#define TRID_EXPORT __attribute__((visibility("default")))
#else
#define TRID_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum {
  TRID_INFO_BUFFER_SIZE = 260,
  TRID_GET_RES_NUM = 1,    /* index 0: returns the number of results */
  TRID_GET_RES_FILETYPE = 2, /* index N: writes result N's description */
  TRID_GET_RES_FILEEXT = 3   /* index N: writes result N's extension */
};

/* Analyses the file last submitted. 0 when the analysis failed; any other
 * value when results (possibly none) are available. */
TRID_EXPORT int TRID_CALL TrID_Analyze(void);

/* Answers a question about the last analysis; see the TRID_GET_* codes.
 * |buffer| holds TRID_INFO_BUFFER_SIZE bytes. An unknown code or index
 * writes an empty text and returns 0. */
TRID_EXPORT int TRID_CALL TrID_GetInfo(int code, int index, char* buffer);

/* Loads the identification definitions found in |directory| (a path that
 * ends with a separator). 0 when none could be loaded. */
TRID_EXPORT int TRID_CALL TrID_LoadDefsPack(const char* directory);

/* Makes |path| the subject of the next analysis. */
TRID_EXPORT int TRID_CALL TrID_SubmitFileA(const char* path);

#ifdef __cplusplus
}
#endif

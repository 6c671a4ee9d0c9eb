/*
 * The entry point of a custom binarization algorithm for the smart car
 * debugging assistant.
 *
 * A plug-in is a shared library (.dll on Windows, .so on Linux, .dylib on
 * macOS) that exports one function under the undecorated name "ImgProc":
 *
 *     void ImgProc(const unsigned char *src, unsigned char *dst, int width, int height);
 *
 *   src     width * height grey levels (0 black .. 255 white), one byte per
 *           pixel, row after row. Read only: in the linear CCD tab it is the
 *           very line that the plot shows.
 *   dst     width * height bytes in the same order. Write every one of them:
 *           its contents before the call are undefined. 255 shows white and
 *           0 black; writing only these two values makes the result look like
 *           the built-in thresholds.
 *   width   pixels per row: 128 for the linear CCD tab, the chosen picture
 *           width for the camera tab.
 *   height  number of rows: 1 for the linear CCD tab, the chosen picture
 *           height for the camera tab.
 *
 * The program calls ImgProc on its GUI thread, once for every line or picture
 * shown while the custom mode is selected, and waits for it to return. Both
 * buffers belong to the program and are valid only during the call: do not
 * free them and do not keep their addresses. Keep the function fast; the
 * display does not refresh while it runs. The library is never unloaded, so
 * static state survives from one call to the next.
 *
 * The caller removes the arguments (cdecl). On 32-bit Windows this header
 * declares __cdecl explicitly, since a __stdcall entry point would corrupt the
 * stack. extern "C" keeps C++ compilers from decorating the name. The library
 * must have the same word size (32 or 64 bits) as the program.
 *
 * Usage, in the plug-in's source file:
 *
 *     #include "imgproc.h"
 *
 *     IMGPROC_EXPORT void IMGPROC_CDECL ImgProc(const unsigned char *src, unsigned char *dst,
 *                                               int width, int height)
 *     {
 *         ...
 *     }
 */
#ifndef IMGPROC_H
#define IMGPROC_H

#if defined(_WIN32) || defined(__CYGWIN__)
#    define IMGPROC_EXPORT __declspec(dllexport)
#elif defined(__GNUC__) || defined(__clang__)
#    define IMGPROC_EXPORT __attribute__((visibility("default")))
#else
#    define IMGPROC_EXPORT
#endif

#if defined(_WIN32) && !defined(_WIN64)
#    define IMGPROC_CDECL __cdecl
#else
#    define IMGPROC_CDECL
#endif

#ifdef __cplusplus
extern "C" {
#endif

IMGPROC_EXPORT void IMGPROC_CDECL ImgProc(const unsigned char *src, unsigned char *dst, int width,
                                          int height);

#ifdef __cplusplus
}
#endif

#endif /* IMGPROC_H */

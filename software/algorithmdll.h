#ifndef ALGORITHMDLL_H
#define ALGORITHMDLL_H

#include <QString>

// The entry point a custom binarization library exports, undecorated, as
// "ImgProc". It reads width x height grey levels from src, row after row, and
// writes as many bytes to dst. The caller removes the arguments (cdecl on
// 32-bit Windows); anything the function returns is ignored.
#if defined(_WIN32) && !defined(_WIN64)
#    define IMGPROC_CALL __cdecl
#else
#    define IMGPROC_CALL
#endif
typedef void(IMGPROC_CALL *ImgProcFunc)(const unsigned char *src, unsigned char *dst, int width,
                                        int height);

// Lets the user choose a library, loads it and looks up its ImgProc.
// Cancelling changes nothing. A file that is no library, or that fails to
// load, is reported and changes nothing. A library without ImgProc is reported,
// sets imgProc to null and dllName to "无效的dll". On success imgProc is the
// entry point and dllName the loaded library's path. Libraries are never
// unloaded, so every entry point handed out stays callable.
bool openAlgorithmDll(QString &dllName, ImgProcFunc &imgProc);

#endif // ALGORITHMDLL_H

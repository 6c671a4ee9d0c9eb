#ifndef ALGORITHMLIBRARY_H
#define ALGORITHMLIBRARY_H

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

// What loading an algorithm library by its path gave.
struct AlgorithmLoadResult
{
    enum Status {
        Loaded,       // imgProc is the entry point, fileName the library's path
        NotALibrary,  // the name is not one of a shared library
        LoadFailed,   // the system refused to load it
        NoEntryPoint, // loaded, but it exports no ImgProc
    };

    Status status = NotALibrary;
    ImgProcFunc imgProc = nullptr;
    QString fileName;
    // Why it failed, in the words shown to the user; empty when loaded.
    QString errorText;
};

// Loads the library at path and looks up its ImgProc, without asking or
// telling the user anything, so that a library chosen before can be loaded
// again quietly. Libraries are never unloaded, so every entry point handed
// out stays callable for the rest of the run.
AlgorithmLoadResult loadAlgorithmLibrary(const QString &path);

#endif // ALGORITHMLIBRARY_H

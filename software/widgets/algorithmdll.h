#ifndef ALGORITHMDLL_H
#define ALGORITHMDLL_H

#include "algorithmlibrary.h"

#include <QString>

// Lets the user choose a library, loads it and looks up its ImgProc.
// Cancelling changes nothing. A file that is no library, or that fails to
// load, is reported and changes nothing. A library without ImgProc is reported,
// sets imgProc to null and dllName to "无效的dll". On success imgProc is the
// entry point and dllName the loaded library's path. Libraries are never
// unloaded, so every entry point handed out stays callable.
bool openAlgorithmDll(QString &dllName, ImgProcFunc &imgProc);

#endif // ALGORITHMDLL_H

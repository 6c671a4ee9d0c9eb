#include "algorithmlibrary.h"

#include <QLibrary>

AlgorithmLoadResult loadAlgorithmLibrary(const QString &path)
{
    AlgorithmLoadResult result;
    if (!QLibrary::isLibrary(path)) {
        result.errorText = path + QStringLiteral(" 不是dll文件");
        return result;
    }

    // The QLibrary object goes out of scope without unload(), which keeps the
    // library mapped for the rest of the run.
    QLibrary library(path);
    if (!library.load()) {
        result.status = AlgorithmLoadResult::LoadFailed;
        result.errorText = QStringLiteral("无法载入") + path;
        return result;
    }

    result.imgProc = reinterpret_cast<ImgProcFunc>(library.resolve("ImgProc"));
    if (!result.imgProc) {
        result.status = AlgorithmLoadResult::NoEntryPoint;
        result.errorText = QStringLiteral("无效的dll:") + path;
        return result;
    }
    result.status = AlgorithmLoadResult::Loaded;
    result.fileName = library.fileName();
    return result;
}

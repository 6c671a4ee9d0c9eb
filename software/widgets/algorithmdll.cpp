#include "algorithmdll.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {

QString libraryFilter()
{
#if defined(Q_OS_WIN)
    return QCoreApplication::translate("AlgorithmDll", "动态链接库(*.dll)");
#elif defined(Q_OS_MACOS)
    return QCoreApplication::translate("AlgorithmDll", "动态链接库(*.dylib)");
#else
    return QCoreApplication::translate("AlgorithmDll", "动态链接库(*.so)");
#endif
}

} // namespace

bool openAlgorithmDll(QString &dllName, ImgProcFunc &imgProc)
{
    const QString fileName
            = QFileDialog::getOpenFileName(nullptr, QString(), QString(), libraryFilter());
    if (fileName.isEmpty())
        return false;

    const AlgorithmLoadResult result = loadAlgorithmLibrary(fileName);
    switch (result.status) {
    case AlgorithmLoadResult::Loaded:
        imgProc = result.imgProc;
        dllName = result.fileName;
        return true;
    case AlgorithmLoadResult::NoEntryPoint:
        // The tab's previous algorithm is dropped with the failed lookup.
        imgProc = nullptr;
        dllName = QCoreApplication::translate("AlgorithmDll", "无效的dll");
        break;
    case AlgorithmLoadResult::NotALibrary:
    case AlgorithmLoadResult::LoadFailed:
        break;
    }
    QMessageBox::critical(nullptr, QCoreApplication::translate("AlgorithmDll", "错误"),
                          result.errorText, QMessageBox::Ok);
    return false;
}

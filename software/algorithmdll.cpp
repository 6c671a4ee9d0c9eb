#include "algorithmdll.h"

#include <QFileDialog>
#include <QLibrary>
#include <QMessageBox>

namespace {

QString libraryFilter()
{
#if defined(Q_OS_WIN)
    return QStringLiteral("动态链接库(*.dll)");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("动态链接库(*.dylib)");
#else
    return QStringLiteral("动态链接库(*.so)");
#endif
}

void showError(const QString &text)
{
    QMessageBox::critical(nullptr, QStringLiteral("错误"), text, QMessageBox::Ok);
}

} // namespace

bool openAlgorithmDll(QString &dllName, ImgProcFunc &imgProc)
{
    const QString fileName
            = QFileDialog::getOpenFileName(nullptr, QString(), QString(), libraryFilter());
    if (fileName.isEmpty())
        return false;

    if (!QLibrary::isLibrary(fileName)) {
        showError(fileName + QStringLiteral(" 不是dll文件"));
        return false;
    }

    // The QLibrary object goes out of scope without unload(), which keeps the
    // library mapped for the rest of the run.
    QLibrary library(fileName);
    if (!library.load()) {
        showError(QStringLiteral("无法载入") + fileName);
        return false;
    }

    imgProc = reinterpret_cast<ImgProcFunc>(library.resolve("ImgProc"));
    if (!imgProc) {
        showError(QStringLiteral("无效的dll:") + fileName);
        dllName = QStringLiteral("无效的dll");
        return false;
    }
    dllName = library.fileName();
    return true;
}

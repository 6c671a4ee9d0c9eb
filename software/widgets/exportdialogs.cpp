#include "exportdialogs.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QImage>
#include <QMessageBox>

namespace {

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

} // namespace

bool exportFile(QWidget *parent, const QString &stem, const QString &suffix, const QString &filter,
                const std::function<QByteArray()> &content)
{
    const QString fileName = QFileDialog::getSaveFileName(
            parent, QString(), timestampedFileName(stem, suffix, QDateTime::currentDateTime()),
            filter);
    if (fileName.isEmpty())
        return false;
    return saveFileOrReport(parent, fileName, content());
}

bool saveFileOrReport(QWidget *parent, const QString &fileName, const QByteArray &bytes)
{
    const SaveResult result = saveWholeFile(fileName, bytes);
    if (result != SaveResult::Saved) {
        showSaveError(parent, fileName, result);
        return false;
    }
    return true;
}

void showSaveError(QWidget *parent, const QString &fileName, SaveResult result)
{
    const QString text = result == SaveResult::OpenFailed
            ? QCoreApplication::translate("ExportDialogs", "无法打开文件%1，是否被其他程序占用？")
                      .arg(fileName)
            : QCoreApplication::translate("ExportDialogs", "写入文件%1失败！").arg(fileName);
    QMessageBox::critical(parent, QCoreApplication::translate("ExportDialogs", "错误"), text,
                          QMessageBox::Ok);
}

QByteArray pngBytes(const QImage &image)
{
    return encoded(image, "PNG");
}

QByteArray bmpBytes(const QImage &image)
{
    return encoded(image, "BMP");
}

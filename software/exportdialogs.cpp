#include "exportdialogs.h"

#include <QBuffer>
#include <QDateTime>
#include <QFileDialog>
#include <QImage>
#include <QMessageBox>

bool exportFile(QWidget *parent, const QString &stem, const QString &suffix, const QString &filter,
                const std::function<QByteArray()> &content)
{
    const QString fileName = QFileDialog::getSaveFileName(
            parent, QString(), timestampedFileName(stem, suffix, QDateTime::currentDateTime()),
            filter);
    if (fileName.isEmpty())
        return false;
    const SaveResult result = saveWholeFile(fileName, content());
    if (result != SaveResult::Saved) {
        showSaveError(parent, fileName, result);
        return false;
    }
    return true;
}

void showSaveError(QWidget *parent, const QString &fileName, SaveResult result)
{
    const QString text = result == SaveResult::OpenFailed
            ? QStringLiteral("无法打开文件") + fileName + QStringLiteral("，是否被其他程序占用？")
            : QStringLiteral("写入文件") + fileName + QStringLiteral("失败！");
    QMessageBox::critical(parent, QStringLiteral("错误"), text, QMessageBox::Ok);
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

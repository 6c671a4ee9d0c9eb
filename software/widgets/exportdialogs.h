#ifndef EXPORTDIALOGS_H
#define EXPORTDIALOGS_H

#include "filesaving.h"

#include <QByteArray>
#include <QString>

#include <functional>

class QImage;
class QWidget;

// What the tabs' export commands share: the save dialog with a default name
// holding the date and time, writing the file whole, and the error boxes.

// Asks for a file name (starting from stem_<date>-<time>.suffix, offering
// filter), then writes what content gives, whole or not at all. A cancelled
// dialog ends it silently; a failure is reported. True once saved.
bool exportFile(QWidget *parent, const QString &stem, const QString &suffix, const QString &filter,
                const std::function<QByteArray()> &content);

// Writes bytes as the whole content of fileName; a failure is reported.
// True once saved.
bool saveFileOrReport(QWidget *parent, const QString &fileName, const QByteArray &bytes);

// The program's error box for a file that could not be opened or written.
void showSaveError(QWidget *parent, const QString &fileName, SaveResult result);

// image as the bytes of a PNG file.
QByteArray pngBytes(const QImage &image);
// image as the bytes of a BMP file; an indexed image keeps its palette.
QByteArray bmpBytes(const QImage &image);

#endif // EXPORTDIALOGS_H

#include "filesaving.h"

#include <QSaveFile>

SaveResult saveWholeFile(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    // Where no file can be made beside it (a folder the user may not write
    // to, holding a file the user may), the file is written in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return SaveResult::OpenFailed;
    // Flushed before the commit: commit() does not notice a failed final
    // flush in every Qt 6 version.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        return SaveResult::WriteFailed;
    return SaveResult::Saved;
}

QString timestampedFileName(const QString &stem, const QString &suffix, const QDateTime &time)
{
    return stem + QLatin1Char('_') + time.toString(QStringLiteral("yyyyMMdd-HHmmss"))
            + QLatin1Char('.') + suffix;
}

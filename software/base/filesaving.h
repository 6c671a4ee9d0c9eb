#ifndef FILESAVING_H
#define FILESAVING_H

#include <QByteArray>
#include <QDateTime>
#include <QString>

// How writing a file ended. The two failures are told apart because the user
// is told differently: a file that cannot be created at all, or a write that
// stopped partway (a full disk, a file size limit).
enum class SaveResult { Saved, OpenFailed, WriteFailed };

// Writes bytes as the whole content of fileName. The bytes go to a file
// beside it, which takes its place only once complete, so a failure leaves an
// earlier file of that name as it was.
SaveResult saveWholeFile(const QString &fileName, const QByteArray &bytes);

// A default file name that tells exports apart: stem, the date and time, and
// the suffix, as in scope_20240501-140307.csv.
QString timestampedFileName(const QString &stem, const QString &suffix, const QDateTime &time);

#endif // FILESAVING_H

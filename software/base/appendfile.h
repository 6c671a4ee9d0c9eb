#ifndef APPENDFILE_H
#define APPENDFILE_H

#include "filesaving.h"

#include <QFile>

// A file that grows by whole records while something is recorded. Each
// record reaches the disk when it is appended; a record that cannot be
// written completely is cut off again, so the file ends with the last whole
// record, and the file is closed.
class AppendFile
{
public:
    AppendFile() = default;
    AppendFile(const AppendFile &) = delete;
    AppendFile &operator=(const AppendFile &) = delete;

    // Creates or empties fileName and writes header as its first record.
    // Anything but Saved leaves this closed.
    SaveResult open(const QString &fileName, const QByteArray &header);
    // False, with the file closed, when the record could not be written.
    bool append(const QByteArray &record);
    void close();

    bool isOpen() const { return m_file.isOpen(); }
    QString fileName() const { return m_file.fileName(); }
    // Records appended since open, not counting the header.
    qint64 records() const { return m_records; }

private:
    QFile m_file;
    qint64 m_size = 0;
    qint64 m_records = 0;
};

#endif // APPENDFILE_H

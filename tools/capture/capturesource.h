#ifndef CAPTURESOURCE_H
#define CAPTURESOURCE_H

#include "capturefile.h"

#include <QFile>
#include <QString>

#include <optional>

// The bytes of a file in the order they arrived: the records of a capture
// with their times, or a raw dump in blocks without times (at 0).
class CaptureSource
{
public:
    explicit CaptureSource(const QString &path);

    // Opens the file; false with a reason when it cannot be read or is a
    // capture of a version this tool does not know.
    bool open(QString &error);
    bool isCapture() const { return m_capture; }
    qint64 fileSize() const { return m_file.size(); }

    // The next delivery; false at the end of the file or at its damage.
    bool next(CaptureRecord &record);
    // Back to the first delivery, for a second pass.
    bool rewind();

    // After next() returned false: the damage, if the capture has one.
    bool damaged() const;
    // The byte of the file where the damage starts.
    qint64 damageOffset() const { return m_reader ? m_reader->position() : 0; }
    // What is wrong there, in words.
    QString damageText() const;

private:
    QFile m_file;
    std::optional<CaptureReader> m_reader;
    CaptureReader::Status m_status = CaptureReader::Status::Record;
    bool m_capture = false;
};

#endif // CAPTURESOURCE_H

#ifndef CAPTUREFILE_H
#define CAPTUREFILE_H

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QIODevice;

// The capture file: every delivery of received bytes with the time it
// arrived. A header line, then records one after another:
//
//   "SERIAL-CAPTURE 1\n"
//   u64 little-endian  microseconds since the recording started
//   u32 little-endian  length
//   length bytes       the bytes received
//
// Times never go back. Anything after the header that is not a whole record
// (a recording cut short by a crash or a full disk) is damage: a reader uses
// the records before it.
namespace CaptureFormat {

constexpr char kMagic[] = "SERIAL-CAPTURE ";
constexpr int kVersion = 1;
constexpr int kRecordHeaderSize = 12;
// No read of a serial port brings this much at once: a longer record is
// damage, not data.
constexpr quint32 kMaxRecordSize = 16 * 1024 * 1024;

QByteArray header();
void appendRecord(QByteArray &out, quint64 micros, const QByteArray &bytes);

} // namespace CaptureFormat

struct CaptureRecord
{
    quint64 micros = 0;
    QByteArray bytes;
};

// Reads a capture file record by record from a device positioned at its
// start. Also tells a capture from any other file by its header line.
class CaptureReader
{
public:
    enum class Status {
        Record,
        End,
        Truncated, // the file ends inside a record
        Corrupt,   // a record that cannot be: too long, or going back in time
    };
    enum class Kind { Raw, Capture, UnsupportedVersion };

    explicit CaptureReader(QIODevice *device);

    // Reads the header line if there is one; on Raw the device is left at
    // its start.
    Kind open();
    // The next record, or why there is none. After anything but Record it
    // stays at that answer.
    Status next(CaptureRecord &record);
    // Where the next record starts in the file.
    qint64 position() const { return m_position; }
    // The version the header names.
    int version() const { return m_version; }

private:
    Status stop(Status status);

    QIODevice *m_device;
    qint64 m_position = 0;
    quint64 m_lastMicros = 0;
    int m_version = 0;
    Status m_stopped = Status::Record;
};

// What a capture holds, found by reading its record headers only.
struct CaptureSummary
{
    CaptureReader::Status end = CaptureReader::Status::End;
    qint64 records = 0;
    qint64 bytes = 0;
    quint64 durationMicros = 0;
    // Where the usable part of the file ends: the damage starts here.
    qint64 usableEnd = 0;
};

// Scans a capture from the device's start. Kind is not Capture for another file.
CaptureReader::Kind summarizeCapture(QIODevice *device, CaptureSummary &summary);

// A duration for the status bar: "01:05", or "1:02:03" from an hour on.
QString durationText(qint64 ms);
// A size for the status bar: "850 B", "12.3 KB", "4.56 MB" (1 KB = 1000 B).
QString sizeText(qint64 bytes);

#endif // CAPTUREFILE_H

#include "capturefile.h"

#include <QIODevice>
#include <QtEndian>

namespace {

constexpr qsizetype kMagicSize = sizeof(CaptureFormat::kMagic) - 1;
// The header line is short; a longer first line is not one.
constexpr qint64 kMaxHeaderLine = 64;

} // namespace

namespace CaptureFormat {

QByteArray header()
{
    return QByteArray(kMagic) + QByteArray::number(kVersion) + '\n';
}

void appendRecord(QByteArray &out, quint64 micros, const QByteArray &bytes)
{
    char head[kRecordHeaderSize];
    qToLittleEndian<quint64>(micros, head);
    qToLittleEndian<quint32>(quint32(bytes.size()), head + 8);
    out.append(head, kRecordHeaderSize);
    out.append(bytes);
}

} // namespace CaptureFormat

CaptureReader::CaptureReader(QIODevice *device)
    : m_device(device)
{ }

CaptureReader::Kind CaptureReader::open()
{
    const QByteArray line = m_device->peek(kMaxHeaderLine);
    const qsizetype newline = line.indexOf('\n');
    if (!line.startsWith(CaptureFormat::kMagic) || newline < 0)
        return Kind::Raw;
    bool ok = false;
    m_version = line.mid(kMagicSize, newline - kMagicSize).toInt(&ok);
    if (!ok)
        return Kind::Raw;
    m_device->skip(newline + 1);
    m_position = newline + 1;
    return m_version == CaptureFormat::kVersion ? Kind::Capture : Kind::UnsupportedVersion;
}

CaptureReader::Status CaptureReader::next(CaptureRecord &record)
{
    if (m_stopped != Status::Record)
        return m_stopped;
    char head[CaptureFormat::kRecordHeaderSize];
    const qint64 got = m_device->read(head, sizeof head);
    if (got == 0)
        return stop(Status::End);
    if (got != qint64(sizeof head))
        return stop(Status::Truncated);
    const quint64 micros = qFromLittleEndian<quint64>(head);
    const quint32 length = qFromLittleEndian<quint32>(head + 8);
    if (micros < m_lastMicros || length > CaptureFormat::kMaxRecordSize)
        return stop(Status::Corrupt);
    record.micros = micros;
    record.bytes = m_device->read(length);
    if (record.bytes.size() != qsizetype(length))
        return stop(Status::Truncated);
    m_lastMicros = micros;
    m_position += sizeof head + length;
    return Status::Record;
}

CaptureReader::Status CaptureReader::stop(Status status)
{
    m_stopped = status;
    return status;
}

CaptureReader::Kind summarizeCapture(QIODevice *device, CaptureSummary &summary)
{
    summary = CaptureSummary();
    if (!device->seek(0))
        return CaptureReader::Kind::Raw;
    CaptureReader reader(device);
    const CaptureReader::Kind kind = reader.open();
    if (kind != CaptureReader::Kind::Capture)
        return kind;
    const qint64 size = device->size();
    qint64 position = reader.position();
    quint64 last = 0;
    char head[CaptureFormat::kRecordHeaderSize];
    for (;;) {
        summary.usableEnd = position;
        if (position == size) {
            summary.end = CaptureReader::Status::End;
            break;
        }
        if (!device->seek(position) || device->read(head, sizeof head) != qint64(sizeof head)) {
            summary.end = CaptureReader::Status::Truncated;
            break;
        }
        const quint64 micros = qFromLittleEndian<quint64>(head);
        const quint32 length = qFromLittleEndian<quint32>(head + 8);
        if (micros < last || length > CaptureFormat::kMaxRecordSize) {
            summary.end = CaptureReader::Status::Corrupt;
            break;
        }
        if (position + qint64(sizeof head) + length > size) {
            summary.end = CaptureReader::Status::Truncated;
            break;
        }
        last = micros;
        position += sizeof head + length;
        ++summary.records;
        summary.bytes += length;
        summary.durationMicros = micros;
    }
    return kind;
}

QString durationText(qint64 ms)
{
    const qint64 seconds = qMax<qint64>(0, ms) / 1000;
    const QChar zero(u'0');
    if (seconds < 3600)
        return QStringLiteral("%1:%2")
                .arg(seconds / 60, 2, 10, zero)
                .arg(seconds % 60, 2, 10, zero);
    return QStringLiteral("%1:%2:%3")
            .arg(seconds / 3600)
            .arg(seconds / 60 % 60, 2, 10, zero)
            .arg(seconds % 60, 2, 10, zero);
}

QString sizeText(qint64 bytes)
{
    if (bytes < 1000)
        return QStringLiteral("%1 B").arg(bytes);
    const char *units[] = { "KB", "MB", "GB" };
    double value = double(bytes) / 1000;
    int unit = 0;
    while (value >= 1000 && unit < 2) {
        value /= 1000;
        ++unit;
    }
    const int decimals = value < 10 ? 2 : value < 100 ? 1 : 0;
    return QStringLiteral("%1 %2").arg(value, 0, 'f', decimals).arg(QLatin1String(units[unit]));
}

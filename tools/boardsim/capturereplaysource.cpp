#include "capturereplaysource.h"

#include <QBuffer>

#include <algorithm>

namespace {

QByteArray joined(const QList<CaptureRecord> &records)
{
    QByteArray bytes;
    for (const CaptureRecord &record : records)
        bytes += record.bytes;
    return bytes;
}

} // namespace

CaptureReplaySource::CaptureReplaySource(const QList<CaptureRecord> &records, bool loop)
    : ReplaySource(joined(records), loop)
    , m_loop(loop)
{
    qint64 due = 0;
    for (const CaptureRecord &record : records) {
        due += record.bytes.size();
        m_times.append(qint64(record.micros - records.first().micros));
        m_dueBytes.append(due);
    }
    if (!m_times.isEmpty()) {
        const qint64 span = m_times.last();
        m_periodUs
                = span + qMax<qint64>(1000, m_times.size() > 1 ? span / (m_times.size() - 1) : 0);
    }
}

qint64 CaptureReplaySource::dueBy(qint64 elapsedNs) const
{
    if (m_times.isEmpty())
        return 0;
    qint64 us = elapsedNs / 1000;
    qint64 rounds = 0;
    if (m_loop) {
        rounds = us / m_periodUs;
        us %= m_periodUs;
    }
    const auto after = std::upper_bound(m_times.cbegin(), m_times.cend(), us);
    const qint64 within = after == m_times.cbegin() ? 0 : m_dueBytes[after - m_times.cbegin() - 1];
    return rounds * m_dueBytes.last() + within;
}

QString CaptureReplaySource::paceText() const
{
    return QStringLiteral("at the recorded pace (%1 records over %2 s)")
            .arg(m_times.size())
            .arg(m_times.isEmpty() ? 0.0 : double(m_times.last()) / 1e6, 0, 'f', 1);
}

bool CaptureReplaySource::readCapture(const QByteArray &bytes, QList<CaptureRecord> &records,
                                      QString &damage)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    CaptureReader reader(&device);
    if (reader.open() != CaptureReader::Kind::Capture)
        return false;
    CaptureRecord record;
    CaptureReader::Status status;
    while ((status = reader.next(record)) == CaptureReader::Status::Record)
        records.append(record);
    if (status != CaptureReader::Status::End)
        damage = QStringLiteral("the capture is damaged from byte %1 on; sending the %2 records "
                                "before")
                         .arg(reader.position())
                         .arg(records.size());
    return true;
}

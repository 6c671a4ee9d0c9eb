#include "trafficcounter.h"

void TrafficCounter::addReceived(qint64 bytes, qint64 nowMs)
{
    m_received += bytes;
    const qint64 slice = nowMs / kSliceMs;
    const int index = int(slice % kSlices);
    if (m_sliceNumber[index] != slice) {
        m_sliceNumber[index] = slice;
        m_sliceBytes[index] = 0;
    }
    m_sliceBytes[index] += bytes;
}

void TrafficCounter::addSent(qint64 bytes)
{
    m_sent += bytes;
}

void TrafficCounter::reset()
{
    *this = TrafficCounter();
}

qint64 TrafficCounter::receiveRate(qint64 nowMs) const
{
    const qint64 current = nowMs / kSliceMs;
    qint64 bytes = 0;
    for (int i = 0; i < kSlices; ++i) {
        // The current slice and the ones before it that are still within a
        // second; a slot left from longer ago holds a stale count.
        if (m_sliceNumber[i] > current - kSlices && m_sliceNumber[i] <= current)
            bytes += m_sliceBytes[i];
    }
    return bytes;
}

QString TrafficCounter::rateText(qint64 bytesPerSecond)
{
    if (bytesPerSecond < 1000)
        return QStringLiteral("%1 B/s").arg(bytesPerSecond);
    if (bytesPerSecond < 1000 * 1000)
        return QStringLiteral("%1 KB/s").arg(bytesPerSecond / 1000.0, 0, 'f',
                                             bytesPerSecond < 100 * 1000 ? 1 : 0);
    return QStringLiteral("%1 MB/s").arg(bytesPerSecond / 1e6, 0, 'f', 2);
}

#ifndef TRAFFICCOUNTER_H
#define TRAFFICCOUNTER_H

#include <QString>
#include <QtGlobal>

// Counts the bytes received and sent on a connection, and measures the
// receive rate over the last second. Times are milliseconds on any steady
// clock, given by the caller, so that the arithmetic needs no clock of its own.
class TrafficCounter
{
public:
    void addReceived(qint64 bytes, qint64 nowMs);
    void addSent(qint64 bytes);
    // Zero counts and no rate.
    void reset();

    qint64 received() const { return m_received; }
    qint64 sent() const { return m_sent; }
    // Bytes received within the last second before nowMs, to the nearest
    // kSliceMs. nowMs never goes back.
    qint64 receiveRate(qint64 nowMs) const;

    // A rate for the status bar: "850 B/s", "11.5 KB/s", "1.15 MB/s" (1 KB =
    // 1000 B, as baud rates count).
    static QString rateText(qint64 bytesPerSecond);

    static constexpr int kSliceMs = 100;

private:
    static constexpr int kSlices = 1000 / kSliceMs;

    qint64 m_received = 0;
    qint64 m_sent = 0;
    // Bytes received per slice of time, in a ring indexed by slice number.
    qint64 m_sliceBytes[kSlices] = {};
    qint64 m_sliceNumber[kSlices] = {};
};

#endif // TRAFFICCOUNTER_H

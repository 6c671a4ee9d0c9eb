#ifndef SCOPEFRAMEDECODER_H
#define SCOPEFRAMEDECODER_H

#include <QByteArray>
#include <QList>
#include <QtGlobal>

// The raw samples of one oscilloscope frame, CH1..CH4.
struct ScopeFrame
{
    quint16 raw[4];
};

// Voltage of a raw sample: raw 0 stands for minimum, raw 65535 for
// minimum + span.
inline double scopeVoltage(quint16 raw, double minimum, double span)
{
    return raw * span / 65535.0 + minimum;
}

// What a decoder did with the bytes it was given, since it was made.
struct ScopeFrameStats
{
    // Frames decoded.
    qint64 frames = 0;
    // Bytes thrown away as belonging to no frame: garbage before a sync
    // pair, or a whole buffer without one.
    qint64 garbageBytes = 0;
    // Frames whose sync pair was found after garbage had been thrown away:
    // each marks a place where the stream was out of step and caught up.
    qint64 resyncs = 0;
};

// Finds the board's sample frames in the receive buffer. A frame is the sync
// pair 0xFF 0xFF, four 16-bit samples with the high byte first and one
// trailing byte that carries nothing.
//
// The decoder keeps one piece of state between calls: a frame decoded from
// its first ten bytes still owes its trailing byte, and the first byte of the
// next delivery is taken as that byte. Otherwise a trailing 0xFF would pair
// with the next frame's first sync byte and shift that frame by one byte.
// Only a delivery that begins with a whole frame start (0xFF 0xFF and a byte
// other than 0xFF) keeps its first byte: the owed byte went elsewhere.
class ScopeFrameDecoder
{
public:
    // Decodes every complete frame in buffer, in order, and removes what it
    // consumed: garbage before a sync pair, the frames, and all of a buffer of
    // ten or more bytes without a sync pair. At most nine bytes wait for the
    // next call: a sync pair with the start of its frame, or any nine bytes.
    QList<ScopeFrame> takeFrames(QByteArray &buffer);

    // True while the trailing byte of the last frame has not arrived.
    bool trailingByteOwed() const { return m_trailingByteOwed; }

    const ScopeFrameStats &stats() const { return m_stats; }

private:
    void discard(qsizetype count);

    bool m_trailingByteOwed = false;
    // Garbage was thrown away since the last frame.
    bool m_outOfStep = false;
    ScopeFrameStats m_stats;
};

#endif // SCOPEFRAMEDECODER_H

#include "scopeframedecoder.h"

namespace {

constexpr uchar kSync = 0xFF;
constexpr qsizetype kSampleBytes = 8;
// Sync pair, sample bytes and the trailing byte.
constexpr qsizetype kFrameSize = 2 + kSampleBytes + 1;
// Up to this many bytes wait for more: they may be the start of a frame.
constexpr qsizetype kMaxWaiting = 9;

// Index of the first byte of the first 0xFF 0xFF pair at or after from, or -1.
qsizetype findSyncPair(const uchar *bytes, qsizetype from, qsizetype size)
{
    for (qsizetype i = from; i + 1 < size; ++i) {
        if (bytes[i + 1] != kSync) {
            ++i; // no pair can start at i or at i + 1
            continue;
        }
        if (bytes[i] == kSync)
            return i;
    }
    return -1;
}

} // namespace

QList<ScopeFrame> ScopeFrameDecoder::takeFrames(QByteArray &buffer)
{
    QList<ScopeFrame> frames;
    const qsizetype size = buffer.size();
    const auto *bytes = reinterpret_cast<const uchar *>(buffer.constData());
    // Everything before pos is consumed; it is removed once at the end.
    qsizetype pos = 0;

    if (m_trailingByteOwed && size > 0) {
        m_trailingByteOwed = false;
        // A sync pair followed by a sample byte other than 0xFF at the very
        // front is a frame: the owed byte never came (another tab took it, or
        // the port was closed), and skipping a byte would lose that frame.
        const bool frameAtFront
                = size >= 3 && bytes[0] == kSync && bytes[1] == kSync && bytes[2] != kSync;
        if (!frameAtFront)
            pos = 1;
    }

    frames.reserve((size - pos) / kFrameSize + 1);
    while (size - pos > kMaxWaiting) {
        const qsizetype pair = findSyncPair(bytes, pos, size);
        if (pair < 0) {
            discard(size - pos);
            pos = size;
            break;
        }
        discard(pair - pos);
        const qsizetype s = pair + 2;
        if (size - s < kSampleBytes) {
            // The rest of this frame is still on its way: keep the pair.
            pos = pair;
            break;
        }
        ScopeFrame frame;
        for (int n = 0; n < 4; ++n)
            frame.raw[n] = quint16(bytes[s + 2 * n] << 8 | bytes[s + 2 * n + 1]);
        frames.append(frame);
        ++m_stats.frames;
        if (m_outOfStep) {
            ++m_stats.resyncs;
            m_outOfStep = false;
        }

        if (size - s > kSampleBytes) {
            pos = s + kSampleBytes + 1;
        } else {
            pos = size;
            m_trailingByteOwed = true;
        }
    }

    buffer.remove(0, pos);
    return frames;
}

void ScopeFrameDecoder::discard(qsizetype count)
{
    if (count <= 0)
        return;
    m_stats.garbageBytes += count;
    m_outOfStep = true;
}

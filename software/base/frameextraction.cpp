#include "frameextraction.h"

#include <cstring>

namespace {

constexpr char kEndByte = char(0xFF);

// Sorts the end bytes before end into skipped and misplaced frames and
// returns the position of the last of them, or -1.
qsizetype countEarlierFrames(const QByteArray &buffer, qsizetype end, int pixelCount,
                             FrameStats &stats)
{
    const char *bytes = buffer.constData();
    qsizetype previous = -1;
    for (;;) {
        const auto *next = static_cast<const char *>(
                std::memchr(bytes + previous + 1, kEndByte, size_t(end - previous - 1)));
        if (!next)
            return previous;
        const qsizetype at = next - bytes;
        if (at - previous - 1 == pixelCount)
            ++stats.skipped;
        else
            ++stats.misplaced;
        previous = at;
    }
}

FrameCut cutNewestFrame(QByteArray &buffer, int pixelCount, QByteArray &frame, FrameStats *stats)
{
    if (buffer.size() <= pixelCount)
        return FrameCut::Waiting;
    const qsizetype end = buffer.lastIndexOf(kEndByte);
    if (end < 0)
        return FrameCut::Waiting;
    const bool whole = end >= pixelCount;
    if (whole)
        frame = buffer.mid(end - pixelCount, pixelCount);
    if (stats) {
        const qsizetype previous = countEarlierFrames(buffer, end, pixelCount, *stats);
        if (end - previous - 1 != pixelCount)
            ++stats->misplaced;
        if (whole)
            ++stats->taken;
        stats->droppedBytes += whole ? end - pixelCount : end + 1;
    }
    buffer.remove(0, end + 1);
    return whole ? FrameCut::Taken : FrameCut::Dropped;
}

} // namespace

FrameCut takeNewestFrame(QByteArray &buffer, int pixelCount, QByteArray &frame)
{
    return cutNewestFrame(buffer, pixelCount, frame, nullptr);
}

FrameCut takeNewestFrame(QByteArray &buffer, int pixelCount, QByteArray &frame, FrameStats &stats)
{
    return cutNewestFrame(buffer, pixelCount, frame, &stats);
}

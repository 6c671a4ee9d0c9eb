#include "frameextraction.h"

FrameCut takeNewestFrame(QByteArray &buffer, int pixelCount, QByteArray &frame)
{
    constexpr char kEndByte = char(0xFF);
    if (buffer.size() <= pixelCount)
        return FrameCut::Waiting;
    const qsizetype end = buffer.lastIndexOf(kEndByte);
    if (end < 0)
        return FrameCut::Waiting;
    const bool whole = end >= pixelCount;
    if (whole)
        frame = buffer.mid(end - pixelCount, pixelCount);
    buffer.remove(0, end + 1);
    return whole ? FrameCut::Taken : FrameCut::Dropped;
}

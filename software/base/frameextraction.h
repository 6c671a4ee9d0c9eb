#ifndef FRAMEEXTRACTION_H
#define FRAMEEXTRACTION_H

#include <QByteArray>

// The linear CCD and camera streams send frames of pixel bytes, each closed by
// the end byte 0xFF. Only the newest complete frame is of interest.

enum class FrameCut {
    Waiting, // nothing consumed: too few bytes, or no end byte yet
    Dropped, // bytes up to the last end byte removed, but they held no whole frame
    Taken    // the newest frame was taken and everything up to its end byte removed
};

// Takes the newest frame of pixelCount bytes out of the front of buffer.
// Acts only when the buffer holds more than pixelCount bytes and contains an
// end byte. The pixelCount bytes before the last end byte become frame when
// there are that many; everything up to and including that end byte is removed
// either way, and the bytes after it stay for the next call.
FrameCut takeNewestFrame(QByteArray &buffer, int pixelCount, QByteArray &frame);

// What takeNewestFrame did over a run of calls on one stream. Every end byte
// it removes is counted once: it ends the taken frame, a skipped frame or a
// misplaced one (or both of the first and the last).
struct FrameStats
{
    // Frames taken.
    qint64 taken = 0;
    // Complete frames removed unseen because a newer one followed them in the
    // same buffer: the stream was faster than the calls.
    qint64 skipped = 0;
    // End bytes that did not come pixelCount bytes after the previous one (or
    // after the front of the buffer): lost or extra bytes, or an end byte
    // among the pixels. The last of them may still end the taken frame.
    qint64 misplaced = 0;
    // Bytes removed that are not the taken frame and its end byte.
    qint64 droppedBytes = 0;
};

// As above, adding what the call took, skipped and dropped to stats.
FrameCut takeNewestFrame(QByteArray &buffer, int pixelCount, QByteArray &frame, FrameStats &stats);

#endif // FRAMEEXTRACTION_H

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

#endif // FRAMEEXTRACTION_H

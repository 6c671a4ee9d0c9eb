#ifndef FRAMESPLITTER_H
#define FRAMESPLITTER_H

#include "frameextraction.h"

#include <QByteArray>
#include <QList>

// Cuts a stream of linear CCD lines or camera pictures, each ended by the end
// byte, into whole frames the way the tabs cut them, but keeps every frame
// rather than only the newest of a delivery. A piece between two end bytes
// that is too short to be a frame is dropped; of a longer one the bytes just
// before the end byte are the frame.
class FrameSplitter
{
public:
    explicit FrameSplitter(int pixelCount);

    // Appends bytes to what waits and returns the frames they completed.
    QList<QByteArray> feed(const QByteArray &bytes);

    const FrameStats &stats() const { return m_stats; }

private:
    int m_pixelCount;
    QByteArray m_pending;
    FrameStats m_stats;
};

#endif // FRAMESPLITTER_H

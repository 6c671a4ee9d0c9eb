#ifndef STREAMSINK_H
#define STREAMSINK_H

#include "framehealth.h"

#include <QByteArray>

#include <optional>

// How a sink's frames fared since the start, and which figures apply.
struct FrameTotals
{
    FrameHealth::Kind kind;
    FrameCounts counts;
};

// A tab that reads the receive stream. It gets the receive buffer itself,
// removes from its front what it used, and leaves the rest for the next
// delivery, which may go to another tab.
class StreamSink
{
public:
    virtual ~StreamSink() = default;

    // Also called when no new bytes came.
    virtual void handleData(QByteArray &buffer) = 0;
    // The running totals of its decoder, for the status bar; nothing for a
    // sink that reads no frames. Bytes lost at the receive buffer's bound are
    // the router's to count.
    virtual std::optional<FrameTotals> frameTotals() const { return std::nullopt; }
};

#endif // STREAMSINK_H

#ifndef STREAMSINK_H
#define STREAMSINK_H

#include <QByteArray>

// A tab that reads the receive stream. It gets the receive buffer itself,
// removes from its front what it used, and leaves the rest for the next
// delivery, which may go to another tab.
class StreamSink
{
public:
    virtual ~StreamSink() = default;

    // Also called when no new bytes came.
    virtual void handleData(QByteArray &buffer) = 0;
};

#endif // STREAMSINK_H

#ifndef STREAMROUTER_H
#define STREAMROUTER_H

#include <QByteArray>
#include <QObject>

class StreamSink;

// The receive buffer and where it goes: appends every delivery, keeps the
// newest kBufferLimit bytes, and hands the buffer to the current sink, the
// tab shown at that moment if that tab reads the stream.
class StreamRouter : public QObject
{
    Q_OBJECT

public:
    // A tab waiting for an end byte that never comes consumes nothing; the
    // bound keeps it from exhausting memory.
    static constexpr qsizetype kBufferLimit = 1024 * 1024;

    using QObject::QObject;

    // Bytes received and not yet consumed by a tab.
    const QByteArray &buffer() const { return m_buffer; }
    // Bytes dropped from the front at the bound, since the start.
    qint64 droppedBytes() const { return m_droppedBytes; }

    // Where the next deliveries go; none drops nothing and keeps them.
    void setCurrentSink(StreamSink *sink) { m_sink = sink; }
    StreamSink *currentSink() const { return m_sink; }

public slots:
    void receive(const QByteArray &bytes);

private:
    StreamSink *m_sink = nullptr;
    QByteArray m_buffer;
    qint64 m_droppedBytes = 0;
};

#endif // STREAMROUTER_H

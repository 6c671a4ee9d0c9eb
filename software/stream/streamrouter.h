#ifndef STREAMROUTER_H
#define STREAMROUTER_H

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class StreamSink;

// The receive buffer and where it goes: appends every delivery, keeps the
// newest kBufferLimit bytes, and hands the buffer to the current sink, the
// tab shown at that moment if that tab reads the stream.
//
// A fast port delivers a thousand times a second, while a screen shows at
// most one picture per refresh. With a delivery interval set, the sink gets
// the buffer at once when it had nothing for that long, and otherwise once
// the interval is over, with everything that came meanwhile.
class StreamRouter : public QObject
{
    Q_OBJECT

public:
    // A tab waiting for an end byte that never comes consumes nothing; the
    // bound keeps it from exhausting memory.
    static constexpr qsizetype kBufferLimit = 1024 * 1024;

    explicit StreamRouter(QObject *parent = nullptr);

    // Bytes received and not yet consumed by a tab.
    const QByteArray &buffer() const { return m_buffer; }
    // Bytes dropped from the front at the bound, since the start.
    qint64 droppedBytes() const { return m_droppedBytes; }

    // Where the next deliveries go; none drops nothing and keeps them.
    void setCurrentSink(StreamSink *sink) { m_sink = sink; }
    StreamSink *currentSink() const { return m_sink; }

    // The least time between two hand-overs; 0, the default, hands over
    // every delivery at once.
    void setDeliveryInterval(int msecs);
    int deliveryInterval() const { return m_interval; }
    // Hands over what waits now, without waiting for the interval to end.
    void flush();

public slots:
    void receive(const QByteArray &bytes);

private:
    void deliver();

    StreamSink *m_sink = nullptr;
    int m_interval = 0;
    QTimer m_due;
    QElapsedTimer m_sinceDelivery;
    QByteArray m_buffer;
    qint64 m_droppedBytes = 0;
};

#endif // STREAMROUTER_H

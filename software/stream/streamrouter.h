#ifndef STREAMROUTER_H
#define STREAMROUTER_H

#include <QByteArray>
#include <QObject>

class QTabWidget;

// The receive buffer and where it goes: appends every delivery, keeps the
// newest kBufferLimit bytes, and hands the buffer to the tab shown at that
// moment, if that tab reads the stream (a StreamSink).
class StreamRouter : public QObject
{
    Q_OBJECT

public:
    // A tab waiting for an end byte that never comes consumes nothing; the
    // bound keeps it from exhausting memory.
    static constexpr qsizetype kBufferLimit = 1024 * 1024;

    explicit StreamRouter(QTabWidget *tabs, QObject *parent = nullptr);

    // Bytes received and not yet consumed by a tab.
    const QByteArray &buffer() const { return m_buffer; }
    // Bytes dropped from the front at the bound, since the start.
    qint64 droppedBytes() const { return m_droppedBytes; }

public slots:
    void receive(const QByteArray &bytes);

private:
    QTabWidget *m_tabs;
    QByteArray m_buffer;
    qint64 m_droppedBytes = 0;
};

#endif // STREAMROUTER_H

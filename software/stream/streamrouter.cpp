#include "streamrouter.h"

#include "streamsink.h"

StreamRouter::StreamRouter(QObject *parent)
    : QObject(parent)
{
    m_due.setSingleShot(true);
    m_due.setTimerType(Qt::PreciseTimer);
    connect(&m_due, &QTimer::timeout, this, &StreamRouter::deliver);
}

void StreamRouter::setDeliveryInterval(int msecs)
{
    m_interval = qMax(0, msecs);
    if (m_interval == 0)
        flush();
}

void StreamRouter::flush()
{
    if (m_due.isActive())
        deliver();
}

void StreamRouter::receive(const QByteArray &bytes)
{
    m_buffer.append(bytes);
    const qsizetype excess = m_buffer.size() - kBufferLimit;
    if (excess > 0) {
        m_buffer.remove(0, excess);
        m_droppedBytes += excess;
    }
    if (m_due.isActive())
        return;
    const qint64 since = m_sinceDelivery.isValid() ? m_sinceDelivery.elapsed() : m_interval;
    if (since >= m_interval)
        deliver();
    else
        m_due.start(int(m_interval - since));
}

void StreamRouter::deliver()
{
    m_due.stop();
    m_sinceDelivery.start();
    if (m_sink)
        m_sink->handleData(m_buffer);
}

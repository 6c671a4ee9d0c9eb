#include "streamrouter.h"

#include "streamsink.h"

void StreamRouter::receive(const QByteArray &bytes)
{
    m_buffer.append(bytes);
    const qsizetype excess = m_buffer.size() - kBufferLimit;
    if (excess > 0) {
        m_buffer.remove(0, excess);
        m_droppedBytes += excess;
    }
    if (m_sink)
        m_sink->handleData(m_buffer);
}

#include "streamrouter.h"

#include "streamsink.h"

#include <QTabWidget>

StreamRouter::StreamRouter(QTabWidget *tabs, QObject *parent)
    : QObject(parent)
    , m_tabs(tabs)
{ }

void StreamRouter::receive(const QByteArray &bytes)
{
    m_buffer.append(bytes);
    const qsizetype excess = m_buffer.size() - kBufferLimit;
    if (excess > 0) {
        m_buffer.remove(0, excess);
        m_droppedBytes += excess;
    }
    // By the page itself, not its index, so that tabs can be added or moved.
    if (auto *sink = dynamic_cast<StreamSink *>(m_tabs->currentWidget()))
        sink->handleData(m_buffer);
}

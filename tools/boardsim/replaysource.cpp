#include "replaysource.h"

ReplaySource::ReplaySource(const QByteArray &bytes, bool loop)
    : m_bytes(bytes)
    , m_loop(loop)
{ }

qint64 ReplaySource::generate(QByteArray &out, qint64 n)
{
    qint64 made = 0;
    while (made < n && !m_bytes.isEmpty()) {
        if (m_position == m_bytes.size()) {
            if (!m_loop)
                break;
            m_position = 0;
        }
        const qsizetype take = qsizetype(qMin<qint64>(n - made, m_bytes.size() - m_position));
        out.append(m_bytes.constData() + m_position, take);
        m_position += take;
        made += take;
    }
    return made;
}

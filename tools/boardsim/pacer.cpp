#include "pacer.h"

#include <cmath>

Pacer::Pacer(double rate)
    : m_rate(rate)
    , m_maxBacklog(qMax<qint64>(1, qint64(std::ceil(rate / 2))))
{ }

void Pacer::restart(qint64 nowNs)
{
    m_startNs = nowNs;
    m_taken = 0;
}

qint64 Pacer::take(qint64 nowNs)
{
    const double elapsed = double(nowNs - m_startNs) / 1e9;
    const qint64 due = elapsed < 0.0 ? 0 : qint64(std::floor(elapsed * m_rate)) + 1;
    const qint64 n = due - m_taken;
    if (n > m_maxBacklog) {
        restart(nowNs);
        m_taken = 1;
        return 1;
    }
    if (n <= 0)
        return 0;
    m_taken = due;
    return n;
}

#include "sendthrottle.h"

SendThrottle::SendThrottle(qint64 intervalMs)
    : m_interval(intervalMs)
{ }

void SendThrottle::setSendsOnRelease(bool on)
{
    m_onRelease = on;
    m_pending.reset();
}

std::optional<double> SendThrottle::move(double value, qint64 now)
{
    if (m_onRelease || (m_lastSendAt && now - *m_lastSendAt < m_interval)) {
        // Until release, or until the interval is over.
        m_pending = value;
        return std::nullopt;
    }
    return send(value, now);
}

std::optional<double> SendThrottle::due(qint64 now)
{
    if (m_onRelease || !m_pending || msUntilDue(now).value_or(1) > 0)
        return std::nullopt;
    return send(*m_pending, now);
}

std::optional<qint64> SendThrottle::msUntilDue(qint64 now) const
{
    if (m_onRelease || !m_pending)
        return std::nullopt;
    return m_lastSendAt ? qMax<qint64>(0, *m_lastSendAt + m_interval - now) : 0;
}

std::optional<double> SendThrottle::release(double value, qint64 now)
{
    m_pending.reset();
    if (m_lastSent && *m_lastSent == value)
        return std::nullopt;
    return send(value, now);
}

std::optional<double> SendThrottle::send(double value, qint64 now)
{
    m_pending.reset();
    m_lastSendAt = now;
    m_lastSent = value;
    return value;
}

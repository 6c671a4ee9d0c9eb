#include "latenessprobe.h"

#include <algorithm>
#include <cmath>

LatenessProbe::LatenessProbe(int intervalMs, QObject *parent)
    : QObject(parent)
    , m_intervalMs(intervalMs)
{
    // Single-shot and started from the timeout, so that every due time is
    // known exactly; a repeating timer would skip the timeouts it missed.
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &LatenessProbe::fire);
}

void LatenessProbe::start()
{
    m_latenessNs.clear();
    m_worstNs = 0;
    m_worstAtNs = 0;
    m_clock.start();
    arm();
}

void LatenessProbe::stop()
{
    m_timer.stop();
}

double LatenessProbe::quantileMs(double q) const
{
    if (m_latenessNs.empty())
        return 0.0;
    std::vector<qint64> sorted = m_latenessNs;
    const auto rank = std::clamp<qsizetype>(qsizetype(std::ceil(q * double(sorted.size()))) - 1, 0,
                                            qsizetype(sorted.size()) - 1);
    std::nth_element(sorted.begin(), sorted.begin() + rank, sorted.end());
    return double(sorted[size_t(rank)]) / 1e6;
}

void LatenessProbe::fire()
{
    const qint64 now = m_clock.nsecsElapsed();
    const qint64 lateness = std::max<qint64>(0, now - m_dueNs);
    if (lateness >= m_worstNs) {
        m_worstNs = lateness;
        m_worstAtNs = now;
    }
    m_latenessNs.push_back(lateness);
    arm();
}

void LatenessProbe::arm()
{
    m_dueNs = m_clock.nsecsElapsed() + qint64(m_intervalMs) * 1000000;
    m_timer.start(m_intervalMs);
}

#include "repeatsender.h"

#include "bytelink.h"

#include <algorithm>

RepeatSender::RepeatSender(ByteLink *link, QObject *parent)
    : QObject(parent)
    , m_link(link)
{
    m_timer.setInterval(kDefaultPeriodMs);
    // The coarse default may stretch a short period by a twentieth.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &RepeatSender::due);
    connect(link, &ByteLink::closed, this, &RepeatSender::stop);
    connect(link, &ByteLink::writeFailed, this, &RepeatSender::stop);
    connect(link, &QObject::destroyed, this, &RepeatSender::stop);
}

void RepeatSender::setPeriod(int ms)
{
    m_timer.setInterval(std::clamp(ms, kMinPeriodMs, kMaxPeriodMs));
}

void RepeatSender::start()
{
    stop();
    if (m_link && m_link->isOpen())
        m_timer.start();
}

void RepeatSender::stop()
{
    if (!m_timer.isActive())
        return;
    m_timer.stop();
    emit stopped();
}

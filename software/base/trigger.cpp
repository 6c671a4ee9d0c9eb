#include "trigger.h"

#include <cmath>

void Trigger::setSettings(const Settings &settings)
{
    m_settings = settings;
    if (!(m_settings.preTrigger >= kMinPreTrigger))
        m_settings.preTrigger = kMinPreTrigger;
    if (m_settings.preTrigger > kMaxPreTrigger)
        m_settings.preTrigger = kMaxPreTrigger;
    if (!(m_settings.band >= 0) || std::isinf(m_settings.band))
        m_settings.band = 0;
    if (!std::isfinite(m_settings.level))
        m_settings.level = 0;
    m_pre = qint64(std::lround(m_settings.preTrigger * double(m_screen - 1)));
    updateThresholds();
    // A new edge or level starts from a signal not yet seen on the right side.
    m_riseArmed = false;
    m_fallArmed = false;
    rearm();
}

void Trigger::setScreenSamples(qint64 samples)
{
    m_screen = samples < 2 ? 2 : samples;
    m_pre = qint64(std::lround(m_settings.preTrigger * double(m_screen - 1)));
    rearm();
}

void Trigger::rearm()
{
    m_stopped = false;
    m_current = false;
    m_sweepEnd = -1;
    m_historyFrom = m_count;
}

void Trigger::reset()
{
    m_count = 0;
    m_historyFrom = 0;
    m_lastEdge = -1;
    m_triggerSample = -1;
    m_sweepEnd = -1;
    m_heldTrigger = -1;
    m_held = false;
    m_current = false;
    m_stopped = false;
    m_riseArmed = false;
    m_fallArmed = false;
}

Trigger::State Trigger::state() const
{
    if (m_stopped)
        return State::Stopped;
    // An edge within the last screen keeps a held sweep current.
    if (m_sweepEnd >= 0 || (m_current && m_held && m_count - 1 - m_lastEdge < m_screen))
        return State::Triggered;
    return State::Waiting;
}

void Trigger::endSweep(qint64 i)
{
    m_sweepEnd = -1;
    m_heldTrigger = m_triggerSample;
    m_held = true;
    m_current = true;
    m_historyFrom = i + 1;
    if (m_settings.mode == Mode::Single)
        m_stopped = true;
}

void Trigger::updateThresholds()
{
    // Without a band, the signal must be strictly on the far side of the level.
    m_riseArm = m_settings.level - m_settings.band;
    m_fallArm = m_settings.level + m_settings.band;
}

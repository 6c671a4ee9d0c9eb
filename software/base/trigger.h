#ifndef TRIGGER_H
#define TRIGGER_H

#include <QtGlobal>

// Finds trigger points in one channel's samples, one sample at a time, and
// says when a sweep of one screen (screenSamples() samples) ends, so that the
// caller can copy the newest screenful of every channel as the sweep to show.
// The trigger sample sits at the pre-trigger share of the sweep: the sweep
// starts preSamples() samples before it.
//
// Each sweep collects its own pre-trigger history after the one before it
// ended (or after a re-arm), as a scope does, so sweeps never overlap and
// copying them costs at most one screen per screen of samples. Edges met
// during a sweep or before enough history came are ignored.
//
// An edge needs the signal to leave the noise band before it counts again: a
// rising edge is the first sample at or above the level after one at or
// below level - band (below the level when the band is 0); falling mirrors.
class Trigger
{
public:
    enum class Edge { Rising, Falling, Either };
    enum class Mode { Auto, Normal, Single };
    enum class State { Waiting, Triggered, Stopped };

    struct Settings
    {
        double level = 0;
        Edge edge = Edge::Rising;
        Mode mode = Mode::Auto;
        // Share of the screen before the trigger sample.
        double preTrigger = 0.5;
        // Hysteresis, at least 0.
        double band = 0;
    };

    static constexpr double kMinPreTrigger = 0.1;
    static constexpr double kMaxPreTrigger = 0.9;

    // Each of these re-arms. Values out of range are brought into it.
    void setSettings(const Settings &settings);
    const Settings &settings() const { return m_settings; }
    // At least 2.
    void setScreenSamples(qint64 samples);
    qint64 screenSamples() const { return m_screen; }
    qint64 preSamples() const { return m_pre; }

    // Waits for the next trigger: ends Single's stop and drops a sweep in
    // progress; the held sweep stays shown until the next one ends.
    void rearm();
    // The samples went: starts over without a held sweep.
    void reset();

    // Takes the next sample; true when a sweep ends with it.
    bool add(double value)
    {
        const qint64 i = m_count++;
        bool edge = false;
        if (m_settings.edge != Edge::Falling) {
            if (m_riseArmed && value >= m_settings.level) {
                edge = true;
                m_riseArmed = false;
            } else if (value < m_riseArm || (m_settings.band > 0 && value == m_riseArm)) {
                m_riseArmed = true;
            }
        }
        if (m_settings.edge != Edge::Rising) {
            if (m_fallArmed && value <= m_settings.level) {
                edge = true;
                m_fallArmed = false;
            } else if (value > m_fallArm || (m_settings.band > 0 && value == m_fallArm)) {
                m_fallArmed = true;
            }
        }
        if (edge)
            m_lastEdge = i;

        if (m_sweepEnd >= 0) {
            if (i < m_sweepEnd)
                return false;
            endSweep(i);
            return true;
        }
        if (edge && !m_stopped && i - m_historyFrom >= m_pre) {
            m_triggerSample = i;
            m_sweepEnd = i - m_pre + m_screen - 1;
            if (i == m_sweepEnd) {
                endSweep(i);
                return true;
            }
            return false;
        }
        // Auto runs free again once no edge came for a screen.
        if (m_settings.mode == Mode::Auto && m_held && i - m_lastEdge >= m_screen)
            m_held = false;
        return false;
    }

    State state() const;
    // True while the screen should show the newest samples rather than the
    // held sweep: Auto without a recent trigger. Normal and Single never
    // roll; before their first sweep they show nothing.
    bool rolls() const { return m_settings.mode == Mode::Auto && !m_held; }
    bool holdsSweep() const { return m_held; }
    // Samples taken since the start or the last reset().
    qint64 sampleCount() const { return m_count; }
    // Number of the trigger sample of the last sweep that ended, or -1.
    qint64 lastTriggerSample() const { return m_heldTrigger; }

private:
    void endSweep(qint64 i);
    void updateThresholds();

    Settings m_settings;
    qint64 m_screen = 1001;
    qint64 m_pre = 500;
    // The levels that arm each edge, from the level and the band.
    double m_riseArm = 0;
    double m_fallArm = 0;
    bool m_riseArmed = false;
    bool m_fallArmed = false;
    qint64 m_count = 0;
    // Pre-trigger history counts from here.
    qint64 m_historyFrom = 0;
    qint64 m_lastEdge = -1;
    qint64 m_triggerSample = -1;
    // The last sample of the sweep in progress, -1 while none is.
    qint64 m_sweepEnd = -1;
    qint64 m_heldTrigger = -1;
    bool m_held = false;
    // The held sweep is the newest one: no re-arm came since it ended.
    bool m_current = false;
    bool m_stopped = false;
};

#endif // TRIGGER_H

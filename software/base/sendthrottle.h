#ifndef SENDTHROTTLE_H
#define SENDTHROTTLE_H

#include <QtGlobal>

#include <optional>

// How often a control that moves sends its value: at most once every
// interval while it moves, and the value it ends on always; or, set to send
// on release, only the value it ends on. Times are milliseconds on a steady
// clock, given by the caller, who also asks again once msUntilDue() is over.
class SendThrottle
{
public:
    static constexpr qint64 kIntervalMs = 50;

    explicit SendThrottle(qint64 intervalMs = kIntervalMs);

    bool sendsOnRelease() const { return m_onRelease; }
    void setSendsOnRelease(bool on);

    // The control moved to value: what to send now, if anything. A value held
    // back waits for due() or release().
    std::optional<double> move(double value, qint64 now);
    // The value held back, once its time has come.
    std::optional<double> due(qint64 now);
    // Milliseconds until due() gives the value held back; nothing when none is.
    std::optional<qint64> msUntilDue(qint64 now) const;
    // The control was let go at value: what to send now. Nothing when that
    // value was the last one sent.
    std::optional<double> release(double value, qint64 now);

private:
    std::optional<double> send(double value, qint64 now);

    qint64 m_interval;
    bool m_onRelease = false;
    std::optional<qint64> m_lastSendAt;
    std::optional<double> m_lastSent;
    std::optional<double> m_pending;
};

#endif // SENDTHROTTLE_H

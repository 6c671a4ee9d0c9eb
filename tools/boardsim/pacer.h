#ifndef PACER_H
#define PACER_H

#include <QtGlobal>

// Spreads units over time at a steady rate by the clock: unit k is due k / rate
// seconds after the start, the first one at once. A virtual port has no baud
// rate of its own to slow the sender down, so the clock has to.
class Pacer
{
public:
    explicit Pacer(double rate);

    // Starts counting at nowNs (nanoseconds on any steady clock).
    void restart(qint64 nowNs);

    // The number of units due by nowNs and not taken before. When the sender
    // has fallen behind by more than half a second (the reader stopped
    // reading, the system stalled), it resumes from now with one unit instead
    // of sending the backlog in one burst.
    qint64 take(qint64 nowNs);

private:
    double m_rate;
    qint64 m_maxBacklog;
    qint64 m_startNs = 0;
    qint64 m_taken = 0;
};

#endif // PACER_H

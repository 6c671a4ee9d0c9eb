#ifndef PLOTHISTORY_H
#define PLOTHISTORY_H

#include <QList>
#include <QtGlobal>

// The newest samples of one plot channel, each with its time in seconds, at
// most kCapacity of them: beyond that the oldest go, and the memory stays as
// it is. With at most 64 channels, the plot holds at most 64 M samples.
class PlotHistory
{
public:
    void append(float value, float seconds);
    void clear();

    qsizetype size() const { return m_values.size(); }
    // Sample i, 0 the oldest held.
    float value(qsizetype i) const { return m_values[slot(i)]; }
    float seconds(qsizetype i) const { return m_seconds[slot(i)]; }
    // Values from .. from + count - 1 into out, in at most two runs.
    void copyValues(qsizetype from, qsizetype count, float *out) const;
    // Samples appended since the start or the last clear(), including those
    // that went: the number of the next sample.
    qint64 total() const { return m_total; }

    // The longest window of samples the plot shows.
    static constexpr qsizetype kCapacity = 1000000;

private:
    qsizetype slot(qsizetype i) const
    {
        const qsizetype s = m_oldest + i;
        return s < m_values.size() ? s : s - m_values.size();
    }

    QList<float> m_values;
    QList<float> m_seconds;
    // Where the oldest sample is, once the store is full.
    qsizetype m_oldest = 0;
    qint64 m_total = 0;
};

#endif // PLOTHISTORY_H

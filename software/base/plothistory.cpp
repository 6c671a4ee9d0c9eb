#include "plothistory.h"

#include <algorithm>

void PlotHistory::append(float value, float seconds)
{
    ++m_total;
    if (m_values.size() < kCapacity) {
        m_values.append(value);
        m_seconds.append(seconds);
        return;
    }
    m_values[m_oldest] = value;
    m_seconds[m_oldest] = seconds;
    if (++m_oldest == kCapacity)
        m_oldest = 0;
}

void PlotHistory::copyValues(qsizetype from, qsizetype count, float *out) const
{
    const qsizetype start = slot(from);
    const qsizetype first = qMin(count, m_values.size() - start);
    std::copy_n(m_values.constData() + start, first, out);
    std::copy_n(m_values.constData(), count - first, out + first);
}

void PlotHistory::clear()
{
    m_values = {};
    m_seconds = {};
    m_oldest = 0;
    m_total = 0;
}

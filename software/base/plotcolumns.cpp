#include "plotcolumns.h"

#include <cmath>

void PlotColumns::reset(int count, double width)
{
    m_count = qMax(1, count);
    m_width = width > 0 ? width : 1;
    m_columns.fill(Column {}, m_count + 1);
    m_newest = -1;
}

qint64 PlotColumns::columnOf(double key) const
{
    return qint64(std::floor(key / m_width));
}

void PlotColumns::add(double key, float value)
{
    if (m_columns.isEmpty() || !std::isfinite(key))
        return;
    qint64 n = columnOf(key);
    const qint64 held = m_columns.size();
    if (n > m_newest) {
        // Columns passed over got no value.
        for (qint64 skipped = qMax(m_newest + 1, n - held + 1); skipped <= n; ++skipped)
            m_columns[skipped % held] = Column {};
        m_newest = n;
    } else if (n <= m_newest - held) {
        return; // older than every column held
    }
    // A key that went back a little (a board's clock) still lands in a column held.
    Column &c = m_columns[(n % held + held) % held];
    if (!std::isfinite(value)) {
        c.broken = true;
        return;
    }
    if (!c.filled) {
        c.minimum = c.maximum = c.first = value;
        c.filled = true;
    } else {
        c.minimum = qMin(c.minimum, value);
        c.maximum = qMax(c.maximum, value);
    }
    c.last = value;
}

const PlotColumns::Column *PlotColumns::column(qint64 n) const
{
    const qint64 held = m_columns.size();
    if (m_newest < 0 || n > m_newest || n <= m_newest - held || n < 0)
        return nullptr;
    const Column &c = m_columns[n % held];
    return c.filled ? &c : nullptr;
}

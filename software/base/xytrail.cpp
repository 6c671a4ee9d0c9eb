#include "xytrail.h"

#include "plothistory.h"

XYTrail::XYTrail(qsizetype capacity)
    : m_capacity(qBound(kMinPoints, capacity, kMaxPoints))
{ }

void XYTrail::setCapacity(qsizetype capacity)
{
    capacity = qBound(kMinPoints, capacity, kMaxPoints);
    if (capacity == m_capacity)
        return;
    const qsizetype keep = qMin(size(), capacity);
    QList<Point> points;
    points.reserve(keep);
    for (qsizetype i = size() - keep; i < size(); ++i)
        points.append(m_points[slot(i)]);
    m_points.swap(points);
    m_oldest = 0;
    m_capacity = capacity;
}

void XYTrail::append(float x, float y)
{
    if (m_points.size() < m_capacity) {
        m_points.append(Point { x, y });
        return;
    }
    m_points[m_oldest] = Point { x, y };
    if (++m_oldest == m_capacity)
        m_oldest = 0;
}

void XYTrail::clear()
{
    m_points.clear();
    m_oldest = 0;
}

void XYTrail::assignNewest(const XYTrail &other)
{
    const qsizetype count = qMin(m_capacity, other.size());
    m_points.resize(count);
    m_oldest = 0;
    const qsizetype first = other.size() - count;
    for (qsizetype i = 0; i < count; ++i)
        m_points[i] = other.m_points[other.slot(first + i)];
}

void XYTrail::assignPairs(const PlotHistory &x, const PlotHistory &y)
{
    const qsizetype count = qMin(m_capacity, qMin(x.size(), y.size()));
    m_points.resize(count);
    m_oldest = 0;
    const qsizetype firstX = x.size() - count;
    const qsizetype firstY = y.size() - count;
    for (qsizetype i = 0; i < count; ++i)
        m_points[i] = Point { x.value(firstX + i), y.value(firstY + i) };
}

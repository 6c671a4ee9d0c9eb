#ifndef XYTRAIL_H
#define XYTRAIL_H

#include <QList>
#include <QtGlobal>

class PlotHistory;

// The newest points of an XY trail, at most capacity() of them: a ring, so
// that a point costs the same however many are kept. Points are kept as
// floats, like the plot's samples.
class XYTrail
{
public:
    explicit XYTrail(qsizetype capacity = kDefaultPoints);

    // kMinPoints .. kMaxPoints; the newest points that fit stay.
    void setCapacity(qsizetype capacity);
    qsizetype capacity() const { return m_capacity; }

    void append(float x, float y);
    void clear();

    qsizetype size() const { return m_points.size(); }
    // Point i, 0 the oldest held.
    float x(qsizetype i) const { return m_points[slot(i)].x; }
    float y(qsizetype i) const { return m_points[slot(i)].y; }

    // The newest points of other that fit.
    void assignNewest(const XYTrail &other);
    // Two channels paired row by row from the newest: the newest sample of x
    // with the newest of y, the one before with the one before, and so on,
    // as many as fit and both hold. Where each frame carries every channel
    // those are the samples of one frame. Channels that come one at a time
    // (Teleplot) are paired the same way, by their count from the newest,
    // whatever their times.
    void assignPairs(const PlotHistory &x, const PlotHistory &y);

    static constexpr qsizetype kMinPoints = 10;
    static constexpr qsizetype kMaxPoints = 100000;
    static constexpr qsizetype kDefaultPoints = 2000;

private:
    struct Point
    {
        float x;
        float y;
    };

    qsizetype slot(qsizetype i) const
    {
        const qsizetype s = m_oldest + i;
        return s < m_points.size() ? s : s - m_points.size();
    }

    QList<Point> m_points;
    // Where the oldest point is, once the ring is full.
    qsizetype m_oldest = 0;
    qsizetype m_capacity;
};

#endif // XYTRAIL_H

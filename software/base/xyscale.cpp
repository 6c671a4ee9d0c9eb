#include "xyscale.h"

#include "xytrail.h"

#include <cmath>

namespace {

// Room around the points, as a part of their span.
constexpr double kPad = 0.05;

// A span of at least something: a point or a flat line sits in the middle.
void widen(double &low, double &high)
{
    const double span = high - low;
    const double pad = span > 0 ? span * kPad : qMax(1.0, std::abs(high) * 0.1);
    low -= pad;
    high += pad;
}

// Stretches low .. high around its middle to span.
void stretch(double &low, double &high, double span)
{
    const double middle = (low + high) / 2;
    low = middle - span / 2;
    high = middle + span / 2;
}

} // namespace

void XYScale::fit(const XYTrail &points, const QRectF &area, bool equalScale)
{
    m_area = area.isValid() ? area : QRectF(0, 0, 1, 1);
    double xLow = INFINITY;
    double xHigh = -INFINITY;
    double yLow = INFINITY;
    double yHigh = -INFINITY;
    for (qsizetype i = 0; i < points.size(); ++i) {
        const float x = points.x(i);
        const float y = points.y(i);
        if (!std::isfinite(x) || !std::isfinite(y))
            continue;
        xLow = qMin<double>(xLow, x);
        xHigh = qMax<double>(xHigh, x);
        yLow = qMin<double>(yLow, y);
        yHigh = qMax<double>(yHigh, y);
    }
    if (!(xLow <= xHigh)) {
        xLow = yLow = -1;
        xHigh = yHigh = 1;
    }
    widen(xLow, xHigh);
    widen(yLow, yHigh);
    if (equalScale) {
        // The axis with more units per pixel sets the scale; the other
        // stretches to it.
        const double perPixel
                = qMax((xHigh - xLow) / m_area.width(), (yHigh - yLow) / m_area.height());
        stretch(xLow, xHigh, perPixel * m_area.width());
        stretch(yLow, yHigh, perPixel * m_area.height());
    }
    m_xMinimum = xLow;
    m_xMaximum = xHigh;
    m_yMinimum = yLow;
    m_yMaximum = yHigh;
}

QPointF XYScale::toPixel(double x, double y) const
{
    return { m_area.left() + (x - m_xMinimum) / (m_xMaximum - m_xMinimum) * m_area.width(),
             m_area.bottom() - (y - m_yMinimum) / (m_yMaximum - m_yMinimum) * m_area.height() };
}

QPointF XYScale::toValue(const QPointF &pixel) const
{
    return {
        m_xMinimum + (pixel.x() - m_area.left()) / m_area.width() * (m_xMaximum - m_xMinimum),
        m_yMinimum + (m_area.bottom() - pixel.y()) / m_area.height() * (m_yMaximum - m_yMinimum)
    };
}

QList<double> XYScale::ticks(double minimum, double maximum, int maxCount)
{
    QList<double> ticks;
    const double span = maximum - minimum;
    if (!(span > 0) || !std::isfinite(span) || maxCount < 1)
        return ticks;
    const double step = tickStep(span, maxCount);
    for (double n = std::ceil(minimum / step); n * step <= maximum && ticks.size() <= maxCount; ++n)
        ticks.append(n * step);
    return ticks;
}

double XYScale::tickStep(double span, int count)
{
    const double rough = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : { 1.0, 2.0, 5.0 }) {
        if (factor * power >= rough)
            return factor * power;
    }
    return 10 * power;
}

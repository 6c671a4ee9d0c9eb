#ifndef XYSCALE_H
#define XYSCALE_H

#include <QList>
#include <QPointF>
#include <QRectF>

class XYTrail;

// Where an XY view puts its points: the range of the points with a little
// room around it, over an area of pixels, with one scale for both axes (a
// circle stays round) or each axis filling the area.
class XYScale
{
public:
    // The range of the finite points, or -1 .. 1 without any.
    void fit(const XYTrail &points, const QRectF &area, bool equalScale);

    QPointF toPixel(double x, double y) const;
    QPointF toValue(const QPointF &pixel) const;
    // The values at the area's edges.
    double xMinimum() const { return m_xMinimum; }
    double xMaximum() const { return m_xMaximum; }
    double yMinimum() const { return m_yMinimum; }
    double yMaximum() const { return m_yMaximum; }

    // Values between minimum and maximum, 1, 2 or 5 times a power of ten
    // apart, at most maxCount of them and as many as that allows.
    static QList<double> ticks(double minimum, double maximum, int maxCount);
    // The least of 1, 2 or 5 times a power of ten that cuts span into at most
    // count parts; the spectrum's axes use it too. span must be above 0.
    static double tickStep(double span, int count);

private:
    QRectF m_area { 0, 0, 1, 1 };
    double m_xMinimum = -1;
    double m_xMaximum = 1;
    double m_yMinimum = -1;
    double m_yMaximum = 1;
};

#endif // XYSCALE_H

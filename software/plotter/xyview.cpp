#include "xyview.h"

#include "plotview.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

const QColor kBackground(16, 16, 16);
const QColor kGrid(60, 60, 60);
const QColor kText(200, 200, 200);
const QColor kTrail(80, 192, 255);
const QColor kNewest(255, 255, 255);
// Room for the tick labels left of and under the plot.
constexpr int kLeftMargin = 56;
constexpr int kBottomMargin = 20;
constexpr int kMargin = 8;
// The oldest part of the trail is this faint.
constexpr int kOldestAlpha = 24;
// Pixels between ticks at least.
constexpr int kTickSpacing = 60;
// Antialiased lines cost more than the rest of a paint beyond this.
constexpr qsizetype kSmoothSegments = 20000;

QString tickText(double value)
{
    return QString::number(std::abs(value) < 1e-12 ? 0.0 : value, 'g', 4);
}

} // namespace

XYView::XYView(const PlotView *channels, QWidget *parent)
    : QWidget(parent)
    , m_channels(channels)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 120);
}

void XYView::addPoints(const QList<XYPoint> &points, const QStringList &seriesNames)
{
    m_seriesNames = seriesNames;
    if (m_seriesPoints.size() < size_t(seriesNames.size()))
        m_seriesPoints.resize(seriesNames.size(), XYTrail(XYTrail::kMaxPoints));
    for (const XYPoint &point : points)
        m_seriesPoints[point.series].append(float(point.x), float(point.y));
    m_dirty = true;
}

void XYView::clear()
{
    for (XYTrail &trail : m_seriesPoints)
        trail.clear();
    // A paused view is emptied too, as the time view is.
    m_shown.clear();
    layOut();
    m_dirty = true;
}

void XYView::clearSeries()
{
    m_seriesPoints.clear();
    m_seriesNames.clear();
    m_series = -1;
    m_dirty = true;
}

void XYView::showChannels(int x, int y)
{
    m_xChannel = x;
    m_yChannel = y;
    m_series = -1;
    m_dirty = true;
}

void XYView::showSeries(int series)
{
    m_series = series;
    m_xChannel = m_yChannel = -1;
    m_dirty = true;
}

void XYView::setPointCount(int count)
{
    m_shown.setCapacity(count);
    m_dirty = true;
    // A paused view shows fewer of its points at once, or as many as it has.
    if (m_paused)
        layOut();
}

void XYView::setEqualScale(bool equal)
{
    m_equalScale = equal;
    layOut();
}

void XYView::setPaused(bool paused)
{
    m_paused = paused;
    m_dirty = !paused;
}

void XYView::refresh()
{
    // The channels' samples arrive without telling this view.
    const int channels = m_channels->channelCount();
    if (m_series < 0 && m_xChannel < channels && m_yChannel < channels && m_xChannel >= 0
        && m_yChannel >= 0) {
        const qint64 total
                = m_channels->history(m_xChannel).total() + m_channels->history(m_yChannel).total();
        m_dirty = m_dirty || total != m_channelTotal;
        m_channelTotal = total;
    }
    if (!m_dirty || m_paused)
        return;
    m_dirty = false;
    takePoints();
    layOut();
}

QImage XYView::screenImage()
{
    QImage image(size(), QImage::Format_RGB32);
    render(&image);
    return image;
}

void XYView::takePoints()
{
    const int channels = m_channels->channelCount();
    if (m_series >= 0 && size_t(m_series) < m_seriesPoints.size())
        m_shown.assignNewest(m_seriesPoints[m_series]);
    else if (m_xChannel >= 0 && m_xChannel < channels && m_yChannel >= 0 && m_yChannel < channels)
        m_shown.assignPairs(m_channels->history(m_xChannel), m_channels->history(m_yChannel));
    else
        m_shown.clear();
}

// The scale, the ticks and the trail's segments by shade. Points that fall
// on the pixel of the point before add nothing; a NaN breaks the line.
void XYView::layOut()
{
    const QRect area = plotRect();
    m_scale.fit(m_shown, QRectF(area), m_equalScale);
    m_xTicks = XYScale::ticks(m_scale.xMinimum(), m_scale.xMaximum(),
                              qMax(2, area.width() / kTickSpacing));
    m_yTicks = XYScale::ticks(m_scale.yMinimum(), m_scale.yMaximum(),
                              qMax(2, area.height() / kTickSpacing));
    for (QList<QLineF> &lines : m_segments)
        lines.clear();
    m_hasNewest = false;
    const qsizetype count = m_shown.size();
    QPointF last;
    bool joined = false;
    for (qsizetype i = 0; i < count; ++i) {
        const float x = m_shown.x(i);
        const float y = m_shown.y(i);
        if (!std::isfinite(x) || !std::isfinite(y)) {
            joined = false;
            continue;
        }
        const QPointF pixel = m_scale.toPixel(x, y);
        if (joined) {
            if (std::abs(pixel.x() - last.x()) < 1 && std::abs(pixel.y() - last.y()) < 1
                && i + 1 < count)
                continue;
            m_segments[i * kShades / count].append(QLineF(last, pixel));
        }
        last = pixel;
        joined = true;
        m_hasNewest = i + 1 == count;
    }
    m_newest = last;
    update();
}

QRect XYView::plotRect() const
{
    return rect().adjusted(kLeftMargin, kMargin, -kMargin, -kBottomMargin);
}

void XYView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    const QRect area = plotRect();
    const QFontMetrics metrics = painter.fontMetrics();
    for (const double tick : std::as_const(m_xTicks)) {
        const int x = qRound(m_scale.toPixel(tick, 0).x());
        painter.setPen(kGrid);
        painter.drawLine(x, area.top(), x, area.bottom());
        const QString text = tickText(tick);
        painter.setPen(kText);
        painter.drawText(x - metrics.horizontalAdvance(text) / 2,
                         area.bottom() + 2 + metrics.ascent(), text);
    }
    for (const double tick : std::as_const(m_yTicks)) {
        const int y = qRound(m_scale.toPixel(0, tick).y());
        painter.setPen(kGrid);
        painter.drawLine(area.left(), y, area.right(), y);
        const QString text = tickText(tick);
        painter.setPen(kText);
        painter.drawText(area.left() - 4 - metrics.horizontalAdvance(text),
                         y + metrics.ascent() / 2 - 1, text);
    }
    painter.setPen(kGrid);
    painter.drawRect(area.adjusted(0, 0, -1, -1));

    painter.setClipRect(area);
    qsizetype segments = 0;
    for (const QList<QLineF> &lines : m_segments)
        segments += lines.size();
    painter.setRenderHint(QPainter::Antialiasing, segments <= kSmoothSegments);
    for (int shade = 0; shade < kShades; ++shade) {
        QColor colour = kTrail;
        colour.setAlpha(kOldestAlpha + (255 - kOldestAlpha) * shade / (kShades - 1));
        painter.setPen(QPen(colour, 1.5));
        painter.drawLines(m_segments[shade]);
    }
    if (m_hasNewest) {
        painter.setPen(QPen(kNewest, 1.5));
        painter.setBrush(kTrail);
        painter.drawEllipse(m_newest, 4, 4);
    }
}

void XYView::resizeEvent(QResizeEvent *)
{
    layOut();
}

void XYView::mouseMoveEvent(QMouseEvent *event)
{
    if (!plotRect().contains(event->position().toPoint())) {
        emit cursorText(QString());
        return;
    }
    const QPointF value = m_scale.toValue(event->position());
    emit cursorText(
            QStringLiteral("X %1  Y %2")
                    .arg(QString::number(value.x(), 'g', 6), QString::number(value.y(), 'g', 6)));
}

void XYView::leaveEvent(QEvent *)
{
    emit cursorText(QString());
}

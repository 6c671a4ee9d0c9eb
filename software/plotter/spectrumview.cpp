#include "spectrumview.h"

#include "xyscale.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

const QColor kBackground(16, 16, 16);
const QColor kGrid(60, 60, 60);
const QColor kText(200, 200, 200);
const QColor kReadoutBackground(16, 16, 16, 200);
constexpr int kXTicks = 8;
constexpr int kYTicks = 6;
constexpr int kPeakMark = 4;

} // namespace

SpectrumView::SpectrumView(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 120);
}

void SpectrumView::setCurves(const QList<Curve> &curves)
{
    m_curves.clear();
    for (const Curve &curve : curves) {
        if (curve.spectrum.valid())
            m_curves.append(curve);
    }
    rebuild();
}

void SpectrumView::setNote(const QString &note)
{
    if (note == m_note)
        return;
    m_note = note;
    update();
}

void SpectrumView::setFixedRange(double minimum, double maximum)
{
    if (!(maximum > minimum))
        return;
    m_autoRange = false;
    m_dbMinimum = minimum;
    m_dbMaximum = maximum;
    rebuild();
}

void SpectrumView::setAutoRange()
{
    m_autoRange = true;
    rebuild();
}

QImage SpectrumView::screenImage()
{
    QImage image(size(), QImage::Format_RGB32);
    render(&image);
    return image;
}

void SpectrumView::updateRange()
{
    m_hzMaximum = 0;
    double finest = INFINITY;
    for (const Curve &curve : m_curves) {
        m_hzMaximum = qMax(m_hzMaximum, curve.spectrum.rate / 2);
        finest = qMin(finest, curve.spectrum.binHz);
    }
    if (!(m_hzMaximum > 0))
        m_hzMaximum = 1;
    m_hzDecimals = std::isfinite(finest) ? qBound(0, int(std::ceil(-std::log10(finest))), 6) : 0;
    if (!m_autoRange)
        return;
    float low = INFINITY;
    float high = -INFINITY;
    for (const Curve &curve : m_curves) {
        for (const float decibels : curve.spectrum.decibels) {
            low = qMin(low, decibels);
            high = qMax(high, decibels);
        }
    }
    if (!(low <= high)) {
        m_dbMinimum = -100;
        m_dbMaximum = 0;
        return;
    }
    // Whole tens, and room for the noise floor but not for empty bins.
    m_dbMaximum = std::ceil(high / 10) * 10;
    if (m_dbMaximum - high < 2)
        m_dbMaximum += 10;
    m_dbMinimum = qMax(std::floor(low / 10) * 10, m_dbMaximum - kAutoSpan);
    m_dbMinimum = qMin(m_dbMinimum, m_dbMaximum - 20);
}

void SpectrumView::rebuild()
{
    m_area = plotRect();
    updateRange();
    m_lines.clear();
    m_peaks.clear();
    m_peakTexts.clear();
    for (const Curve &curve : m_curves) {
        m_lines.append(reduce(curve.spectrum));
        const Spectrum::Result &spectrum = curve.spectrum;
        if (std::isnan(spectrum.peakHz))
            continue;
        m_peaks.append(QPoint(xOf(spectrum.peakHz), yOf(spectrum.peakDecibels)));
        m_peakTexts.append(tr("%1 峰值 %2 Hz %3 dB")
                                   .arg(curve.name, hertzText(spectrum.peakHz),
                                        QString::number(spectrum.peakDecibels, 'f', 1)));
    }

    m_xTicks.clear();
    const double xStep = XYScale::tickStep(m_hzMaximum, kXTicks);
    const int xDecimals = xStep >= 1 ? 0 : int(std::ceil(-std::log10(xStep)));
    for (int n = 0; n * xStep <= m_hzMaximum * (1 + 1e-9); ++n)
        m_xTicks.append({ xOf(n * xStep), QString::number(n * xStep, 'f', xDecimals) });
    m_yTicks.clear();
    const double yStep = XYScale::tickStep(m_dbMaximum - m_dbMinimum, kYTicks);
    for (double level = std::ceil(m_dbMinimum / yStep) * yStep; level <= m_dbMaximum + 1e-9;
         level += yStep)
        m_yTicks.append({ yOf(level), QString::number(level, 'g', 4) });
    update();
}

// A point per bin, or per screen column where bins are more than the columns:
// the column's highest and lowest bin, found before either is placed.
QPolygon SpectrumView::reduce(const Spectrum::Result &spectrum) const
{
    QPolygon line;
    const QList<float> &decibels = spectrum.decibels;
    line.reserve(2 * qMin<qsizetype>(decibels.size(), m_area.width() + 1));
    const double columnsPerBin = spectrum.binHz / m_hzMaximum * (m_area.width() - 1);
    const auto addColumn = [&](int column, float high, float low) {
        const int x = m_area.left() + column;
        line.append(QPoint(x, yOf(high)));
        if (low != high)
            line.append(QPoint(x, yOf(low)));
    };
    int column = 0;
    float high = decibels.isEmpty() ? 0 : decibels[0];
    float low = high;
    for (qsizetype k = 1; k < decibels.size(); ++k) {
        const int x = int(k * columnsPerBin + 0.5);
        const float value = decibels[k];
        if (x == column) {
            high = qMax(high, value);
            low = qMin(low, value);
            continue;
        }
        addColumn(column, high, low);
        column = x;
        high = low = value;
    }
    if (!decibels.isEmpty())
        addColumn(column, high, low);
    return line;
}

QRect SpectrumView::plotRect() const
{
    const QFontMetrics metrics = fontMetrics();
    const int left = metrics.horizontalAdvance(QStringLiteral("-200")) + 10;
    const int top = metrics.height() + 4;
    const int bottom = metrics.height() + 6;
    return rect().adjusted(left, top, -10, -bottom);
}

int SpectrumView::xOf(double hertz) const
{
    const double x = m_area.left() + hertz / m_hzMaximum * (m_area.width() - 1);
    return int(std::lround(qBound(-1e6, x, 1e6)));
}

int SpectrumView::yOf(double decibels) const
{
    const double span = m_dbMaximum - m_dbMinimum;
    const double y = m_area.bottom() - (decibels - m_dbMinimum) / span * (m_area.height() - 1);
    return int(std::lround(qBound(-1e6, y, 1e6)));
}

QString SpectrumView::hertzText(double hertz) const
{
    return QString::number(hertz, 'f', m_hzDecimals);
}

void SpectrumView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = m_area;
    const QFontMetrics metrics = painter.fontMetrics();
    painter.fillRect(rect(), kBackground);

    painter.setPen(kGrid);
    for (const Tick &tick : m_xTicks)
        painter.drawLine(tick.position, area.top(), tick.position, area.bottom());
    for (const Tick &tick : m_yTicks)
        painter.drawLine(area.left(), tick.position, area.right(), tick.position);
    painter.drawRect(area.adjusted(0, 0, -1, -1));

    painter.setPen(kText);
    const int textY = area.bottom() + 3 + metrics.ascent();
    for (const Tick &tick : m_xTicks) {
        const int width = metrics.horizontalAdvance(tick.text);
        const int x = qBound(area.left(), tick.position - width / 2, area.right() - width);
        painter.drawText(x, textY, tick.text);
    }
    for (const Tick &tick : m_yTicks) {
        painter.drawText(area.left() - 4 - metrics.horizontalAdvance(tick.text),
                         tick.position + metrics.ascent() / 2 - 1, tick.text);
    }
    painter.drawText(area.left() - 4 - metrics.horizontalAdvance(QStringLiteral("dB")),
                     metrics.ascent() + 2, QStringLiteral("dB"));
    painter.drawText(area.left() + 4, metrics.ascent() + 2, m_note);
    const QString unit = QStringLiteral("Hz");
    painter.drawText(area.right() - metrics.horizontalAdvance(unit), metrics.ascent() + 2, unit);

    painter.save();
    painter.setClipRect(area);
    for (qsizetype c = 0; c < m_curves.size(); ++c) {
        painter.setPen(QPen(m_curves[c].colour, 0));
        painter.drawPolyline(m_lines[c]);
    }
    // Each peak, marked from above; its read-out in the top right corner.
    int row = 0;
    int widest = 0;
    for (const QString &text : m_peakTexts)
        widest = qMax(widest, metrics.horizontalAdvance(text));
    const int lines = qMin(int(m_peakTexts.size()), (area.height() - 8) / metrics.height());
    if (lines > 0) {
        painter.fillRect(area.right() - widest - 12, area.top() + 2, widest + 10,
                         lines * metrics.height() + 4, kReadoutBackground);
    }
    for (qsizetype c = 0, p = 0; c < m_curves.size(); ++c) {
        if (std::isnan(m_curves[c].spectrum.peakHz))
            continue;
        const QPoint peak = m_peaks[p];
        painter.setPen(m_curves[c].colour);
        painter.setBrush(m_curves[c].colour);
        const QPoint mark[] = { peak + QPoint(0, -2), peak + QPoint(-kPeakMark, -2 - 2 * kPeakMark),
                                peak + QPoint(kPeakMark, -2 - 2 * kPeakMark) };
        painter.drawPolygon(mark, 3);
        if (row < lines) {
            painter.drawText(area.right() - widest - 7,
                             area.top() + 4 + row * metrics.height() + metrics.ascent(),
                             m_peakTexts[p]);
            ++row;
        }
        ++p;
    }
    painter.restore();
}

void SpectrumView::resizeEvent(QResizeEvent *)
{
    rebuild();
}

void SpectrumView::mouseMoveEvent(QMouseEvent *event)
{
    const QRect &area = m_area;
    if (m_curves.isEmpty() || !area.contains(event->position().toPoint())) {
        emit cursorText(QString());
        return;
    }
    const double hertz
            = (event->position().x() - area.left()) / qMax(1, area.width() - 1) * m_hzMaximum;
    QStringList parts { hertzText(hertz) + QStringLiteral(" Hz") };
    for (const Curve &curve : m_curves) {
        const qint64 bin = std::llround(hertz / curve.spectrum.binHz);
        const QList<float> &decibels = curve.spectrum.decibels;
        parts << QStringLiteral("%1 %2").arg(curve.name,
                                             bin < decibels.size()
                                                     ? QString::number(decibels[bin], 'f', 1)
                                                             + QStringLiteral(" dB")
                                                     : QStringLiteral("-"));
    }
    emit cursorText(parts.join(QStringLiteral("  ")));
}

void SpectrumView::leaveEvent(QEvent *)
{
    emit cursorText(QString());
}

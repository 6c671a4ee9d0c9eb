#include "oscilloscopewave.h"

#include <QLine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// The assertions name this file, so that a report points at the view.
constexpr char kSource[] = "oscilloscopewave";

// Samples per horizontal division, by horizontal dial position.
constexpr int kXScales[14] = { 20000, 10000, 5000, 2000, 1000, 500, 200, 100, 50, 20, 10, 5, 2, 1 };

struct YScale
{
    double voltsPerDiv; // 0 switches the channel off
    const char *text;
};

// Volts per vertical division and their readouts, by vertical dial position.
const YScale kYScales[15] = {
    { 0, "关" },      { 20, "20V" },    { 10, "10V" },    { 5, "5V" },      { 2, "2V" },
    { 1, "1V" },      { 0.5, "500mV" }, { 0.2, "200mV" }, { 0.1, "100mV" }, { 0.05, "50mV" },
    { 0.02, "20mV" }, { 0.01, "10mV" }, { 0.005, "5mV" }, { 0.002, "2mV" }, { 0.001, "1mV" },
};

const Qt::GlobalColor kChannelColors[4] = { Qt::yellow, Qt::cyan, Qt::blue, Qt::red };

constexpr int kTextFlags = Qt::AlignHCenter | Qt::AlignVCenter;

int xScaleValue(unsigned i)
{
    Q_ASSERT_X(i < 14, kSource, "i < 14");
    return kXScales[i];
}

double yScaleValue(unsigned i)
{
    Q_ASSERT_X(i < 15, kSource, "i < 15");
    return kYScales[i].voltsPerDiv;
}

QString yScaleText(unsigned i)
{
    return QString::fromUtf8(kYScales[i].text);
}

// Truncates toward zero like a cast; values that no screen could show are
// held at a hundred million pixels instead of overflowing int.
int truncated(double value)
{
    if (std::isnan(value))
        return 0;
    return int(std::clamp(value, -1e8, 1e8));
}

} // namespace

OscilloscopeWave::OscilloscopeWave(QWidget *parent)
    : QWidget(parent)
    , m_xScale(500.0)
    , m_yScale { 0, 0, 0, 0 }
    , m_curCh(0)
    , m_backgroundStale(true)
{
    for (QString &text : m_yScaleText)
        text = yScaleText(0);
    setCursor(Qt::CrossCursor);
    // The screen covers every pixel, so nothing behind it needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&m_timer, &QTimer::timeout, this, qOverload<>(&QWidget::repaint));
    m_timer.start(100);
}

void OscilloscopeWave::setCurCh(int ch)
{
    Q_ASSERT_X(ch >= 0 && ch < 4, kSource, "ch < 4");
    m_curCh = ch;
    m_backgroundStale = true;
    repaint();
}

void OscilloscopeWave::setYScaleIndex(int i)
{
    Q_ASSERT_X(m_curCh < 4, kSource, "m_curCh < 4");
    m_yScale[m_curCh] = yScaleValue(unsigned(i));
    m_yScaleText[m_curCh] = yScaleText(unsigned(i));
    m_backgroundStale = true;
    repaint();
}

int OscilloscopeWave::yScaleIndex(int ch) const
{
    Q_ASSERT_X(ch >= 0 && ch < 4, kSource, "ch >= 0 && ch < 4");
    for (int i = 0; i < 15; ++i) {
        if (kYScales[i].voltsPerDiv == m_yScale[ch])
            return i;
    }
    return 0;
}

void OscilloscopeWave::setXScaleIndex(int i)
{
    m_xScale = double(xScaleValue(unsigned(i)));
    m_backgroundStale = true;
    repaint();
}

void OscilloscopeWave::addData(int ch, double value)
{
    Q_ASSERT_X(ch >= 0 && ch < 4, kSource, "ch >= 0 && ch <4");
    QList<double> &store = m_data[ch];
    store.append(value);
    // One screen: ten divisions and both end points.
    if (store.size() > 10 * m_xScale + 1)
        store.removeFirst();
}

void OscilloscopeWave::clearData()
{
    for (QList<double> &store : m_data)
        store.clear();
}

void OscilloscopeWave::paintEvent(QPaintEvent *)
{
    if (m_backgroundStale || m_background.deviceIndependentSize() != QSizeF(size())
        || m_background.devicePixelRatio() != devicePixelRatioF() || m_backgroundFont != font())
        buildBackground();

    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
    const int gridHeight = height() - 40;
    // Logical (0, 0) is the 0 V level on the left edge of the grid.
    painter.setWindow(-10, -(gridHeight / 2) - 10, width(), height());
    drawWaves(painter, width() - 20, gridHeight);
}

void OscilloscopeWave::buildBackground()
{
    const qreal ratio = devicePixelRatioF();
    m_background = QPixmap(size() * ratio);
    m_background.setDevicePixelRatio(ratio);
    m_backgroundFont = font();
    m_backgroundStale = false;
    if (m_background.isNull())
        return;

    QPainter painter(&m_background);
    painter.setFont(m_backgroundFont);
    const int w = width();
    const int h = height();
    painter.fillRect(0, 0, w, h, QColor(0, 0, 0, 255));
    drawLegend(painter);

    // Logical (0, 0) is the bottom-left corner of the grid.
    painter.setWindow(-10, 30 - h, w, h);
    drawGrid(painter, w - 20, h - 40);
}

void OscilloscopeWave::drawLegend(QPainter &painter)
{
    const int x0 = 10;
    const int y0 = height() - 20;
    for (int n = 0; n < 4; ++n) {
        const int d = x0 + 100 * n;
        const QColor color(kChannelColors[n]);
        if (n == m_curCh) {
            painter.setPen(Qt::black);
            painter.fillRect(d, y0, 45, 15, color);
        } else {
            painter.setPen(color);
        }
        painter.drawText(QRect(d, y0, 45, 15), kTextFlags, QStringLiteral("CH%1").arg(n + 1));
        painter.setPen(color);
        painter.drawText(QRect(d + 47, y0, 45, 15), kTextFlags, m_yScaleText[n]);
        painter.setPen(Qt::white);
        painter.drawRect(d + 47, y0, 44, 14);
    }

    painter.setPen(Qt::white);
    painter.drawText(QRect(x0 + 400, y0, 45, 15), kTextFlags, QStringLiteral("M"));
    painter.drawText(QRect(x0 + 447, y0, 45, 15), kTextFlags, QString::number(m_xScale, 'g', 6));
    painter.drawRect(x0 + 447, y0, 44, 14);
}

void OscilloscopeWave::drawGrid(QPainter &painter, int gridWidth, int gridHeight)
{
    const int W = gridWidth;
    const int H = gridHeight;
    painter.setPen(Qt::darkGreen);

    for (int k = 0; k <= 10; ++k) {
        const int x = (k * W) / 10;
        painter.drawLine(x, 0, x, -H);
    }
    for (int k = 0; k <= 10; ++k) {
        const int y = (-k * H) / 10;
        painter.drawLine(0, y, W, y);
    }
    painter.drawText(QRect(-10, -(H / 2) - 5, 10, 10), kTextFlags, QStringLiteral("0"));

    // Four ticks split each division into five.
    for (int j = 1; j <= 50; ++j) {
        if (j % 5 == 0)
            continue;
        const int x = (j * W) / 50;
        const int y = -((j * H) / 50);
        painter.drawLine(x, -(H / 2) - 2, x, 2 - H / 2);
        painter.drawLine(x, -H, x, 2 - H);
        painter.drawLine(x, -2, x, 0);
        painter.drawLine(W / 2 - 2, y, W / 2 + 2, y);
        painter.drawLine(W, y, W - 2, y);
        painter.drawLine(0, y, 2, y);
    }
}

void OscilloscopeWave::drawWaves(QPainter &painter, int gridWidth, int gridHeight)
{
    // The grid's left edge is 10 pixels into the widget.
    const int columnLimit = width() - 10;
    // A store filled under a slower scale keeps its length after a change to a
    // faster one. The screen shows its newest samples, with the newest at the
    // right edge, so that what it shows is always live.
    const qsizetype screenSamples = qsizetype(10 * m_xScale) + 1;
    for (int n = 0; n < 4; ++n) {
        if (m_yScale[n] == 0)
            continue;
        const QList<double> &store = m_data[n];
        const qsizetype first = std::max<qsizetype>(0, store.size() - screenSamples);
        painter.setPen(kChannelColors[n]);
        drawWave(painter, store.constData() + first, store.size() - first, m_yScale[n], m_xScale,
                 gridWidth, gridHeight, columnLimit);
    }
}

void OscilloscopeWave::drawWave(QPainter &painter, const double *values, qsizetype count,
                                double voltsPerDiv, double samplesPerDiv, int gridWidth,
                                int gridHeight, int columnLimit)
{
    if (count < 2)
        return;

    const double fullScale = 5 * voltsPerDiv;
    const double screenSamples = 10 * samplesPerDiv;
    const auto level
            = [&](double value) { return truncated(value / fullScale * gridHeight * 0.5); };
    const auto column = [&](qsizetype i) { return truncated(i / screenSamples * gridWidth); };
    // One past the last sample that shares column x with sample i.
    const auto runEnd = [&](qsizetype i, int x) {
        qsizetype end = i + 1;
        if (gridWidth > 0) {
            // Close to the first sample of the next column; corrected below.
            const double estimate = std::ceil((x + 1.0) * screenSamples / gridWidth);
            end = qsizetype(std::clamp(estimate, double(i + 1), double(count)));
            while (end > i + 1 && column(end - 1) != x)
                --end;
        }
        while (end < count && column(end) == x)
            ++end;
        return end;
    };

    // The staircase holds each level until the next sample's column and then
    // steps to the new level. The steps within one column together cover the
    // span between the lowest and the highest level they pass through, so each
    // column gets one vertical stroke over that span, and as the level grows
    // with the value that span comes from the column's smallest and largest
    // value. A noisy signal thus costs two strokes per column instead of one
    // per sample, and one division per column instead of two per sample.
    std::vector<QLine> lines;
    // Vertical strokes become one-pixel-wide rectangles: the same pixels, but
    // filled row by row instead of plotted pixel by pixel.
    std::vector<QRect> steps;
    int col = 0;
    int last = level(values[0]);
    int low = last;
    int high = last;
    for (qsizetype i = 1; i < count;) {
        const int x = column(i);
        if (x != col) {
            if (low != high)
                steps.emplace_back(col, -high, 1, high - low + 1);
            lines.emplace_back(col, -last, x, -last);
            col = x;
            low = high = last;
            // Columns only grow from here on, and none of them can be seen.
            if (gridWidth > 0 && col >= columnLimit)
                break;
        }

        const qsizetype end = runEnd(i, x);
        double smallest = std::numeric_limits<double>::infinity();
        double largest = -smallest;
        bool nan = false;
        for (qsizetype k = i; k < end; ++k) {
            const double value = values[k];
            smallest = value < smallest ? value : smallest;
            largest = value > largest ? value : largest;
            nan |= value != value;
        }
        // A value that is not a number sits at level 0, like any other
        // value that truncates to 0.
        if (smallest <= largest) {
            low = std::min({ low, level(smallest), level(largest) });
            high = std::max({ high, level(smallest), level(largest) });
        }
        if (nan) {
            low = std::min(low, 0);
            high = std::max(high, 0);
        }
        last = level(values[end - 1]);
        i = end;
    }
    if (low != high)
        steps.emplace_back(col, -high, 1, high - low + 1);

    painter.drawLines(lines.data(), int(lines.size()));
    const QColor color = painter.pen().color();
    for (const QRect &step : steps)
        painter.fillRect(step, color);
}

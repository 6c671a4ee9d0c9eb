#include "oscilloscopewave.h"

#include <QKeyEvent>
#include <QLine>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

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
    { 0, QT_TRANSLATE_NOOP("OscilloscopeWave", "关") },
    { 20, "20V" },
    { 10, "10V" },
    { 5, "5V" },
    { 2, "2V" },
    { 1, "1V" },
    { 0.5, "500mV" },
    { 0.2, "200mV" },
    { 0.1, "100mV" },
    { 0.05, "50mV" },
    { 0.02, "20mV" },
    { 0.01, "10mV" },
    { 0.005, "5mV" },
    { 0.002, "2mV" },
    { 0.001, "1mV" },
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
    return OscilloscopeWave::tr(kYScales[i].text);
}

// Truncates toward zero like a cast; values that no screen could show are
// held at a hundred million pixels instead of overflowing int.
int truncated(double value)
{
    if (std::isnan(value))
        return 0;
    return int(std::clamp(value, -1e8, 1e8));
}

// The grid starts 10 pixels into the widget and leaves 10 pixels to its
// right, 10 above it and 30 below it for the readouts.
constexpr int kGridLeft = 10;
constexpr int kGridTop = 10;

} // namespace

OscilloscopeWave::OscilloscopeWave(QWidget *parent)
    : QWidget(parent)
    , m_xScale(500.0)
    , m_yScale { 0, 0, 0, 0 }
    , m_curCh(0)
    , m_backgroundStale(true)
    , m_paused(false)
    , m_triggerOn(false)
    , m_triggerSource(0)
    , m_mouseX(-1)
{
    for (QString &text : m_yScaleText)
        text = yScaleText(0);
    setCursor(Qt::CrossCursor);
    // The screen covers every pixel, so nothing behind it needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The read-out follows the mouse without a button held. A click gives
    // the screen the focus for the space bar; the Tab key passes it by, so
    // the tab's controls keep their keyboard order.
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
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
    m_trigger.setScreenSamples(screenSamples());
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
    for (QList<double> &sweep : m_sweep)
        sweep.clear();
    m_trigger.reset();
    // Cleared while paused, the screen empties too.
    for (QList<double> &store : m_frozen)
        store.clear();
}

void OscilloscopeWave::setPaused(bool paused)
{
    if (paused == m_paused)
        return;
    // The copies share the memory of what is shown until the next sample
    // arrives.
    for (int n = 0; n < 4; ++n)
        m_frozen[n] = paused ? shownSamples(n) : QList<double>();
    m_paused = paused;
    repaint();
    emit pausedChanged(paused);
}

void OscilloscopeWave::setTrigger(bool on, int source, const Trigger::Settings &settings)
{
    m_triggerOn = on;
    m_triggerSource = std::clamp(source, 0, 3);
    m_trigger.setScreenSamples(screenSamples());
    m_trigger.setSettings(settings);
    if (!on) {
        m_trigger.reset();
        for (QList<double> &sweep : m_sweep)
            sweep.clear();
    }
}

void OscilloscopeWave::rearmTrigger()
{
    m_trigger.rearm();
}

const QList<double> &OscilloscopeWave::shownSamples(int ch) const
{
    if (m_paused)
        return m_frozen[ch];
    return m_triggerOn && !m_trigger.rolls() ? m_sweep[ch] : m_data[ch];
}

// Sweeps end at least a screen apart, so the copies cost at most one sample
// per sample that arrives.
void OscilloscopeWave::holdSweep()
{
    const qsizetype count = screenSamples();
    for (int n = 0; n < 4; ++n) {
        const QList<double> &store = m_data[n];
        m_sweep[n] = store.size() > count ? store.mid(store.size() - count) : store;
    }
}

QImage OscilloscopeWave::screenImage()
{
    updateBackground();
    const qreal ratio = devicePixelRatioF();
    QImage image(size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    paintScreen(painter);
    return image;
}

void OscilloscopeWave::paintEvent(QPaintEvent *)
{
    updateBackground();
    QPainter painter(this);
    paintScreen(painter);
    if (m_paused)
        drawPauseMark(painter);
    if (m_mouseX >= 0)
        drawCursor(painter);
}

void OscilloscopeWave::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        if (!event->isAutoRepeat())
            setPaused(!m_paused);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void OscilloscopeWave::mouseMoveEvent(QMouseEvent *event)
{
    m_mouseX = qFloor(event->position().x());
    update();
}

void OscilloscopeWave::leaveEvent(QEvent *)
{
    m_mouseX = -1;
    update();
}

void OscilloscopeWave::updateBackground()
{
    if (m_backgroundStale || m_background.deviceIndependentSize() != QSizeF(size())
        || m_background.devicePixelRatio() != devicePixelRatioF() || m_backgroundFont != font())
        buildBackground();
}

void OscilloscopeWave::paintScreen(QPainter &painter)
{
    painter.save();
    painter.drawPixmap(0, 0, m_background);
    const int gridHeight = height() - 40;
    // Logical (0, 0) is the 0 V level on the left edge of the grid.
    painter.setWindow(-10, -(gridHeight / 2) - 10, width(), height());
    drawWaves(painter, width() - 20, gridHeight);
    if (m_triggerOn)
        drawTrigger(painter, width() - 20, gridHeight);
    painter.restore();
}

void OscilloscopeWave::drawPauseMark(QPainter &painter)
{
    const QString text = tr("已暂停");
    const QFontMetrics metrics(font());
    const int boxWidth = metrics.horizontalAdvance(text) + 10;
    const QRect box(kGridLeft + (width() - 20 - boxWidth) / 2, kGridTop + 2, boxWidth,
                    metrics.height() + 4);
    painter.fillRect(box, QColor(192, 0, 0));
    painter.setPen(Qt::white);
    painter.drawText(box, kTextFlags, text);
}

// The level as a dashed line with a marker at the right edge, the trigger's
// place as a marker on the top edge, and the state in the top left corner,
// all in the source's colour. A level beyond the grid keeps its marker at
// the edge; a source that is off has no scale and so no line.
void OscilloscopeWave::drawTrigger(QPainter &painter, int gridWidth, int gridHeight)
{
    const QColor color(kChannelColors[m_triggerSource]);
    const int half = gridHeight / 2;
    painter.setBrush(color);
    painter.setPen(color);
    const int top = -half;
    const int at = truncated(m_trigger.settings().preTrigger * gridWidth);
    const QPoint down[3] = { { at - 5, top }, { at + 5, top }, { at, top + 6 } };
    painter.drawPolygon(down, 3);
    const double voltsPerDiv = m_yScale[m_triggerSource];
    if (voltsPerDiv != 0) {
        const int level = std::clamp(
                truncated(m_trigger.settings().level / (5 * voltsPerDiv) * gridHeight * 0.5), -half,
                half);
        painter.setPen(QPen(color, 0, Qt::DashLine));
        painter.drawLine(0, -level, gridWidth, -level);
        painter.setPen(color);
        const QPoint left[3] = { { gridWidth, -level },
                                 { gridWidth + 8, -level - 5 },
                                 { gridWidth + 8, -level + 5 } };
        painter.drawPolygon(left, 3);
    }
    painter.setBrush(Qt::NoBrush);
    static const char *const states[]
            = { QT_TR_NOOP("等待触发"), QT_TR_NOOP("已触发"), QT_TR_NOOP("已停止") };
    const QString text = QStringLiteral("CH%1 %2")
                                 .arg(m_triggerSource + 1)
                                 .arg(tr(states[int(m_trigger.state())]));
    painter.drawText(QRect(4, top + 2, gridWidth / 2, QFontMetrics(font()).height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text);
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
        const QList<double> &store = shownSamples(n);
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

QStringList OscilloscopeWave::cursorLines() const
{
    return readCursor(nullptr);
}

QStringList OscilloscopeWave::readCursor(QList<QColor> *colors) const
{
    const int gridWidth = width() - 20;
    const int column = m_mouseX - kGridLeft;
    if (m_mouseX < 0 || column > gridWidth)
        return {};
    const qsizetype screenSamples = qsizetype(10 * m_xScale) + 1;
    QStringList lines;
    QList<QColor> lineColors;
    qsizetype age = -1;
    for (int n = 0; n < 4; ++n) {
        if (m_yScale[n] == 0)
            continue;
        // The screen draws the newest screenful of a store from the left edge.
        const QList<double> &store = shownSamples(n);
        const qsizetype shown = std::min(store.size(), screenSamples);
        const qsizetype i = sampleAtColumn(column, shown, m_xScale, gridWidth);
        if (i < 0)
            continue;
        if (age < 0)
            age = shown - 1 - i;
        const double volts = store.at(store.size() - shown + i);
        lines.append(QStringLiteral("CH%1 %2V").arg(n + 1).arg(volts, 0, 'f', 3));
        lineColors.append(kChannelColors[n]);
    }
    if (lines.isEmpty())
        return {};
    lines.prepend(tr("样点 %1").arg(-age));
    lineColors.prepend(Qt::white);
    if (colors)
        *colors = lineColors;
    return lines;
}

void OscilloscopeWave::drawCursor(QPainter &painter)
{
    const int gridWidth = width() - 20;
    const int gridHeight = height() - 40;
    if (m_mouseX < kGridLeft || m_mouseX > kGridLeft + gridWidth)
        return;
    painter.setPen(QPen(Qt::white, 0, Qt::DotLine));
    painter.drawLine(m_mouseX, kGridTop, m_mouseX, kGridTop + gridHeight);

    QList<QColor> colors;
    const QStringList lines = readCursor(&colors);
    if (lines.isEmpty())
        return;
    const QFontMetrics metrics(font());
    int textWidth = 0;
    for (const QString &line : lines)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
    const int lineHeight = metrics.height();
    // In the top corner away from the mouse, so that it hides no trace near it.
    const QSize boxSize(textWidth + 10, lineHeight * int(lines.size()) + 6);
    const bool left = m_mouseX > kGridLeft + gridWidth / 2;
    const QRect box(QPoint(left ? kGridLeft + 4 : kGridLeft + gridWidth - 4 - boxSize.width(),
                           kGridTop + 4),
                    boxSize);
    painter.fillRect(box, QColor(0, 0, 0, 200));
    painter.setPen(Qt::gray);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    for (int k = 0; k < lines.size(); ++k) {
        painter.setPen(colors.at(k));
        painter.drawText(
                QRect(box.left() + 5, box.top() + 3 + k * lineHeight, textWidth, lineHeight),
                Qt::AlignLeft | Qt::AlignVCenter, lines.at(k));
    }
}

qsizetype OscilloscopeWave::sampleAtColumn(int column, qsizetype count, double samplesPerDiv,
                                           int gridWidth)
{
    if (column < 0 || count < 1 || gridWidth <= 0)
        return -1;
    const double screenSamples = 10 * samplesPerDiv;
    // As drawWave places sample i.
    const auto columnOf = [&](qsizetype i) { return truncated(i / screenSamples * gridWidth); };
    if (columnOf(count - 1) < column)
        return -1;
    // Close to the first sample right of the column; corrected below.
    const double estimate = std::floor((column + 1.0) * screenSamples / gridWidth);
    qsizetype i = qsizetype(std::clamp(estimate, 0.0, double(count - 1)));
    while (i > 0 && columnOf(i) > column)
        --i;
    while (i + 1 < count && columnOf(i + 1) <= column)
        ++i;
    return i;
}

#include "plotview.h"

#include <QMouseEvent>
#include <QPainter>
#include <QVarLengthArray>

#include <cmath>

namespace {

const QColor kBackground(16, 16, 16);
const QColor kGrid(60, 60, 60);
const QColor kText(200, 200, 200);
constexpr int kMargin = 4;
constexpr int kGridColumns = 10;
constexpr int kGridRows = 8;
// Channel colours: the first sixteen far apart, the rest in between.
QColor colourOf(int channel)
{
    static const QRgb kColours[]
            = { 0xffff5050, 0xff50c0ff, 0xff60e060, 0xffffd040, 0xffd070ff, 0xff40e0d0,
                0xffff9030, 0xffffffff, 0xffff80c0, 0xff8090ff, 0xffb0ff60, 0xffc0a080,
                0xff00a0a0, 0xffa0a0a0, 0xffe0e0a0, 0xff9060c0 };
    const QColor base = QColor::fromRgb(kColours[channel % 16]);
    if (channel < 16)
        return base;
    return base.darker(100 + 25 * (channel / 16));
}

} // namespace

PlotView::PlotView(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 120);
}

PlotView::~PlotView() = default;

void PlotView::setChannelCount(int count)
{
    count = qBound(0, count, 64);
    if (count < channelCount())
        m_channels.resize(count);
    while (channelCount() < count) {
        auto channel = std::make_unique<Channel>();
        channel->name = QStringLiteral("CH%1").arg(channelCount() + 1);
        channel->colour = colourOf(channelCount());
        channel->columns.reset(columnCount(), columnWidth());
        m_channels.push_back(std::move(channel));
    }
    if (m_frozen) {
        m_frozen->columns.resize(count);
        m_frozen->rightColumns.resize(count, -1);
    }
    m_dirty = true;
}

void PlotView::setChannelName(int channel, const QString &name)
{
    m_channels[channel]->name = name;
}

QString PlotView::channelName(int channel) const
{
    return m_channels[channel]->name;
}

QColor PlotView::channelColour(int channel) const
{
    return m_channels[channel]->colour;
}

void PlotView::setChannelVisible(int channel, bool visible)
{
    m_channels[channel]->visible = visible;
    m_dirty = true;
}

bool PlotView::channelVisible(int channel) const
{
    return m_channels[channel]->visible;
}

const PlotHistory &PlotView::history(int channel) const
{
    return m_channels[channel]->history;
}

double PlotView::latestValue(int channel) const
{
    const PlotHistory &history = m_channels[channel]->history;
    return history.size() > 0 ? history.value(history.size() - 1) : qQNaN();
}

void PlotView::addSample(int channel, float value, double seconds)
{
    Channel &c = *m_channels[channel];
    // The source's next sample: every channel of the frame that ended the
    // sweep is in.
    if (m_pendingSweepEnd >= 0 && channel == m_triggerSource)
        holdSweep();
    const double key = m_xAxis == XAxis::Samples ? double(c.history.total()) : seconds;
    c.history.append(value, float(seconds));
    c.columns.add(key, value);
    if (channel == m_triggerSource && triggerActive() && m_trigger.add(value))
        m_pendingSweepEnd = c.history.total() - 1;
    if (seconds > m_newestSeconds)
        m_newestSeconds = seconds;
    m_dirty = true;
}

void PlotView::clear()
{
    for (auto &channel : m_channels) {
        channel->history.clear();
        channel->columns.reset(columnCount(), columnWidth());
    }
    m_newestSeconds = 0;
    m_trigger.reset();
    m_sweep.reset();
    m_sweepEnd = m_pendingSweepEnd = -1;
    refreeze();
    m_dirty = true;
}

void PlotView::setXAxis(XAxis axis)
{
    m_xAxis = axis;
    restartTrigger();
    rebuildColumns();
}

void PlotView::setWindowSamples(int samples)
{
    m_windowSamples = qBound(kMinWindowSamples, samples, kMaxWindowSamples);
    restartTrigger();
    rebuildColumns();
}

void PlotView::setTrigger(bool on, int source, const Trigger::Settings &settings)
{
    m_triggerOn = on;
    m_triggerSource = qMax(0, source);
    m_trigger.setSettings(settings);
    restartTrigger();
}

void PlotView::rearmTrigger()
{
    m_trigger.rearm();
    m_pendingSweepEnd = -1;
}

qint64 PlotView::shownEnd(int channel) const
{
    const qint64 sweepEnd = shownSweepEnd();
    if (sweepEnd >= 0)
        return sweepEnd + 1;
    if (m_frozen && channel < m_frozenTotals.size())
        return m_frozenTotals[channel];
    return history(channel).total();
}

double PlotView::shownNewestSeconds() const
{
    return m_frozen ? m_frozenSeconds : m_newestSeconds;
}

qint64 PlotView::shownSweepEnd() const
{
    if (m_frozen)
        return m_frozenSweepEnd;
    return triggerActive() && !m_trigger.rolls() && m_sweep ? m_sweepEnd : -1;
}

// A new screen or source: the held sweep no longer fits it.
void PlotView::restartTrigger()
{
    m_trigger.reset();
    m_trigger.setScreenSamples(m_windowSamples);
    m_sweep.reset();
    m_sweepEnd = m_pendingSweepEnd = -1;
    m_dirty = true;
}

// Each channel's samples numbered end - window + 1 .. end, counted from the
// sweep's start, so that the trigger sits at the pre-trigger share: for new
// columns across, the held sweep reduced again from the histories.
void PlotView::buildSweep(qint64 end)
{
    auto sweep = std::make_unique<Frozen>();
    const qint64 start = end - m_windowSamples + 1;
    for (const auto &channel : m_channels) {
        PlotColumns columns;
        columns.reset(columnCount(), double(m_windowSamples) / columnCount());
        const PlotHistory &history = channel->history;
        const qint64 first = history.total() - history.size();
        for (qint64 n = qMax(start, first); n <= end && n < history.total(); ++n)
            columns.add(double(n - start), history.value(n - first));
        sweep->columns.append(columns);
        sweep->rightColumns.append(columns.count() - 1);
    }
    m_sweep = std::move(sweep);
    m_sweepEnd = end;
}

// The columns on screen when the sweep ended: a copy that shares their memory
// until the next sample, so a sweep costs a column per column, whatever the
// window. The trigger sits at the pre-trigger share within a column.
void PlotView::holdSweep()
{
    // The source went with a shorter frame before its sweep could be taken.
    if (m_triggerSource >= channelCount()) {
        m_pendingSweepEnd = -1;
        return;
    }
    auto sweep = std::make_unique<Frozen>();
    const Channel &source = *m_channels[m_triggerSource];
    const qint64 right = source.columns.columnOf(double(m_pendingSweepEnd));
    for (const auto &channel : m_channels) {
        sweep->columns.append(channel->columns);
        sweep->rightColumns.append(right);
    }
    m_sweep = std::move(sweep);
    m_sweepEnd = m_pendingSweepEnd;
    m_pendingSweepEnd = -1;
}

std::optional<PlotView::ShownColumns> PlotView::shownColumns(int ch) const
{
    const Channel &channel = *m_channels[ch];
    if (!channel.visible)
        return std::nullopt;
    if (const Frozen *shown = held()) {
        if (ch >= shown->columns.size())
            return std::nullopt;
        return ShownColumns { &shown->columns[ch], shown->rightColumns[ch] };
    }
    return ShownColumns { &channel.columns, rightColumn(channel) };
}

const PlotView::Frozen *PlotView::held() const
{
    if (m_frozen)
        return m_frozen.get();
    if (!triggerActive() || m_trigger.rolls())
        return nullptr;
    // Before the first sweep an empty screen.
    static const Frozen none;
    return m_sweep ? m_sweep.get() : &none;
}

void PlotView::setWindowSeconds(double seconds)
{
    m_windowSeconds = qBound(kMinWindowSeconds, seconds, kMaxWindowSeconds);
    rebuildColumns();
}

void PlotView::setFixedRange(double minimum, double maximum)
{
    if (!(maximum > minimum))
        return;
    m_autoRange = false;
    m_yMinimum = minimum;
    m_yMaximum = maximum;
    m_dirty = true;
}

void PlotView::setAutoRange()
{
    m_autoRange = true;
    m_dirty = true;
}

void PlotView::setPaused(bool paused)
{
    if (paused == this->paused())
        return;
    if (paused) {
        m_frozenSweepEnd = shownSweepEnd();
        m_frozenTotals.clear();
        for (const auto &channel : m_channels)
            m_frozenTotals.append(channel->history.total());
        m_frozenSeconds = m_newestSeconds;
        if (const Frozen *shown = held()) {
            m_frozen = std::make_unique<Frozen>(*shown);
            m_dirty = true;
            return;
        }
        m_frozen = std::make_unique<Frozen>();
        for (const auto &channel : m_channels) {
            m_frozen->columns.append(channel->columns);
            m_frozen->rightColumns.append(rightColumn(*channel));
        }
    } else {
        m_frozen.reset();
    }
    m_dirty = true;
}

void PlotView::refreeze()
{
    // The old columns no longer fit: a paused screen shows the new ones.
    if (m_frozen) {
        m_frozen.reset();
        setPaused(true);
    }
}

void PlotView::refresh()
{
    if (m_pendingSweepEnd >= 0)
        holdSweep();
    if (!m_dirty)
        return;
    m_dirty = false;
    updateRange();
    update();
}

QImage PlotView::screenImage()
{
    QImage image(size(), QImage::Format_RGB32);
    render(&image);
    return image;
}

int PlotView::columnCount() const
{
    const int width = qMax(1, plotRect().width());
    return m_xAxis == XAxis::Samples ? qMin(width, m_windowSamples) : width;
}

double PlotView::columnWidth() const
{
    const double window = m_xAxis == XAxis::Samples ? m_windowSamples : m_windowSeconds;
    return window / columnCount();
}

qint64 PlotView::rightColumn(const Channel &channel) const
{
    if (m_xAxis == XAxis::Samples)
        return channel.history.total() > 0 ? channel.columns.columnOf(channel.history.total() - 1)
                                           : -1;
    return channel.columns.columnOf(m_newestSeconds);
}

void PlotView::rebuildColumns()
{
    for (auto &channel : m_channels)
        fillColumns(*channel);
    // New columns across: the held sweep is reduced to them again.
    if (m_sweep)
        buildSweep(m_sweepEnd);
    refreeze();
    m_dirty = true;
}

void PlotView::fillColumns(Channel &channel)
{
    PlotColumns &columns = channel.columns;
    columns.reset(columnCount(), columnWidth());
    const PlotHistory &history = channel.history;
    const qsizetype size = history.size();
    qsizetype from = size;
    if (m_xAxis == XAxis::Samples) {
        from = qMax<qsizetype>(0, size - m_windowSamples - qsizetype(std::ceil(columns.width())));
    } else {
        const double oldest = m_newestSeconds - m_windowSeconds - columns.width();
        while (from > 0 && history.seconds(from - 1) >= oldest)
            --from;
    }
    const qint64 first = history.total() - size;
    for (qsizetype i = from; i < size; ++i) {
        const double key = m_xAxis == XAxis::Samples ? double(first + i) : history.seconds(i);
        columns.add(key, history.value(i));
    }
}

void PlotView::updateRange()
{
    if (!m_autoRange)
        return;
    float low = INFINITY;
    float high = -INFINITY;
    for (int ch = 0; ch < channelCount(); ++ch) {
        const std::optional<ShownColumns> shown = shownColumns(ch);
        if (!shown)
            continue;
        const PlotColumns &columns = *shown->columns;
        const qint64 right = shown->right;
        for (qint64 n = right - columns.count() + 1; n <= right; ++n) {
            if (const PlotColumns::Column *c = columns.column(n)) {
                low = qMin(low, c->minimum);
                high = qMax(high, c->maximum);
            }
        }
    }
    if (!(low <= high)) {
        low = -1;
        high = 1;
    }
    // A flat curve in the middle; otherwise a little room above and below.
    const double span = high - low;
    const double pad = span > 0 ? span * 0.05 : qMax(1.0, std::abs(double(high)) * 0.1);
    m_yMinimum = low - pad;
    m_yMaximum = high + pad;
}

QRect PlotView::plotRect() const
{
    return rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
}

QString PlotView::keyText(double key) const
{
    return m_xAxis == XAxis::Samples ? QString::number(qint64(std::floor(key)))
                                     : QString::number(key, 'f', 3) + QStringLiteral(" s");
}

void PlotView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = plotRect();
    const double span = m_yMaximum - m_yMinimum;
    const double yScale = span > 0 ? (area.height() - 1) / span : 0;
    const YMap yOf { double(area.bottom()), m_yMinimum, yScale };
    // The columns are as many as the pixels across, or fewer, for all channels.
    const bool dense = columnCount() == area.width();
    painter.fillRect(rect(), kBackground);
    if (dense) {
        prepareDenseBuffer(area);
    } else {
        painter.setPen(kGrid);
        for (int n = 1; n < kGridColumns; ++n) {
            const int x = area.left() + area.width() * n / kGridColumns;
            painter.drawLine(x, area.top(), x, area.bottom());
        }
        for (int n = 1; n < kGridRows; ++n) {
            const int y = area.top() + area.height() * n / kGridRows;
            painter.drawLine(area.left(), y, area.right(), y);
        }
    }
    for (int ch = 0; ch < channelCount(); ++ch) {
        const Channel &channel = *m_channels[ch];
        const std::optional<ShownColumns> shown = shownColumns(ch);
        if (!shown)
            continue;
        const PlotColumns &columns = *shown->columns;
        const qint64 right = shown->right;
        if (dense)
            drawDense(columns, right, channel.colour, yOf);
        else
            drawSparse(painter, columns, right, channel.colour, yOf);
    }
    if (dense) {
        // Turned back so that each buffer row becomes a screen column.
        painter.drawImage(area.topLeft(), m_denseBuffer.transformed(QTransform().rotate(270)));
    }

    if (triggerActive())
        drawTrigger(painter, yOf);

    painter.setPen(kText);
    const QFontMetrics metrics = painter.fontMetrics();
    painter.drawText(area.left() + 4, area.top() + metrics.ascent() + 2,
                     QString::number(m_yMaximum, 'g', 5));
    painter.drawText(area.left() + 4, area.bottom() - metrics.descent() - 2,
                     QString::number(m_yMinimum, 'g', 5));
    const QString window = m_xAxis == XAxis::Samples
            ? QString::number(m_windowSamples)
            : QString::number(m_windowSeconds, 'g', 6) + QStringLiteral(" s");
    painter.drawText(area.right() - metrics.horizontalAdvance(window) - 4,
                     area.bottom() - metrics.descent() - 2, window);
}

// The level as a dashed line with a marker at the right edge, the trigger's
// place on the top edge and the state at the top right, in the source's
// colour. A level beyond the Y axis keeps its marker at the edge.
void PlotView::drawTrigger(QPainter &painter, const YMap &yOf) const
{
    const QRect area = plotRect();
    const QColor colour = m_triggerSource < channelCount() ? channelColour(m_triggerSource) : kText;
    painter.setPen(colour);
    painter.setBrush(colour);
    const int at = area.left() + int(m_trigger.settings().preTrigger * area.width());
    const QPoint down[3]
            = { { at - 5, area.top() }, { at + 5, area.top() }, { at, area.top() + 6 } };
    painter.drawPolygon(down, 3);
    const int y = qBound(area.top(), yOf(float(m_trigger.settings().level)), area.bottom());
    const QPoint left[3]
            = { { area.right(), y }, { area.right() - 8, y - 5 }, { area.right() - 8, y + 5 } };
    painter.drawPolygon(left, 3);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour, 0, Qt::DashLine));
    painter.drawLine(area.left(), y, area.right() - 8, y);
    static const char *const states[]
            = { QT_TR_NOOP("等待触发"), QT_TR_NOOP("已触发"), QT_TR_NOOP("已停止") };
    const QString text = tr(states[int(m_trigger.state())]);
    const QFontMetrics metrics = painter.fontMetrics();
    painter.setPen(colour);
    painter.drawText(area.right() - metrics.horizontalAdvance(text) - 12,
                     area.top() + metrics.ascent() + 2, text);
}

// The background and grid of the dense curves, a screen column per row: the
// grid's vertical lines are whole rows, its horizontal lines one pixel a row.
void PlotView::prepareDenseBuffer(const QRect &area)
{
    if (m_denseBuffer.size() != QSize(area.height(), area.width()))
        m_denseBuffer = QImage(area.height(), area.width(), QImage::Format_RGB32);
    m_denseBuffer.fill(kBackground);
    const QRgb grid = kGrid.rgb();
    for (int n = 1; n < kGridColumns; ++n) {
        auto *row
                = reinterpret_cast<QRgb *>(m_denseBuffer.scanLine(area.width() * n / kGridColumns));
        std::fill(row, row + area.height(), grid);
    }
    for (int r = 0; r < area.width(); ++r) {
        auto *row = reinterpret_cast<QRgb *>(m_denseBuffer.scanLine(r));
        for (int n = 1; n < kGridRows; ++n)
            row[area.height() - 1 - area.height() * n / kGridRows] = grid;
    }
}

// A column per pixel: each column's span, stretched to meet the last value of
// the column before, is a run of pixels. Written into a buffer in which every
// screen column is a row, each span is one contiguous fill, whatever the
// number of samples behind it and however tall it is.
void PlotView::drawDense(const PlotColumns &columns, qint64 right, const QColor &colour,
                         const YMap &yOf)
{
    const QRect area = plotRect();
    const QRgb pixel = colour.rgba();
    const int count = columns.count();
    const int height = area.height();
    bool joined = false;
    int lastY = 0;
    for (int n = 0; n < count; ++n) {
        const PlotColumns::Column *c = columns.column(right - count + 1 + n);
        if (!c) {
            joined = false;
            continue;
        }
        int top = yOf(c->maximum);
        int bottom = yOf(c->minimum);
        if (joined && !c->broken) {
            top = qMin(top, lastY);
            bottom = qMax(bottom, lastY);
        }
        joined = true;
        lastY = yOf(c->last);
        // Rows run from the plot's bottom up, as the turn back expects.
        const int from = qBound(0, area.bottom() - bottom, height);
        const int to = qBound(0, area.bottom() - top + 1, height);
        auto *row = reinterpret_cast<QRgb *>(m_denseBuffer.scanLine(n));
        std::fill(row + from, row + to, pixel);
    }
}

// Fewer columns than pixels: a stroke per column and one joining it to the
// column before.
void PlotView::drawSparse(QPainter &painter, const PlotColumns &columns, qint64 right,
                          const QColor &colour, const YMap &yOf) const
{
    const QRect area = plotRect();
    const int count = columns.count();
    QVarLengthArray<QLine, 1024> lines;
    bool joined = false;
    int lastX = 0;
    int lastY = 0;
    for (int n = 0; n < count; ++n) {
        const PlotColumns::Column *c = columns.column(right - count + 1 + n);
        if (!c) {
            joined = false;
            continue;
        }
        const int x = area.left() + int((n + 0.5) * area.width() / count);
        if (joined && !c->broken)
            lines.append(QLine(lastX, lastY, x, yOf(c->first)));
        lines.append(QLine(x, yOf(c->maximum), x, yOf(c->minimum)));
        joined = true;
        lastX = x;
        lastY = yOf(c->last);
    }
    painter.setPen(QPen(colour, 0));
    painter.drawLines(lines.constData(), int(lines.size()));
}

void PlotView::resizeEvent(QResizeEvent *)
{
    rebuildColumns();
    refresh();
}

void PlotView::mouseMoveEvent(QMouseEvent *event)
{
    const QRect area = plotRect();
    if (channelCount() == 0 || !area.contains(event->position().toPoint())) {
        emit cursorText(QString());
        return;
    }
    const double fraction = (event->position().x() - area.left()) / qMax(1, area.width());
    QStringList parts;
    QString place;
    for (int ch = 0; ch < channelCount(); ++ch) {
        const Channel &channel = *m_channels[ch];
        const std::optional<ShownColumns> shown = shownColumns(ch);
        if (!shown)
            continue;
        const PlotColumns &columns = *shown->columns;
        const qint64 right = shown->right;
        const qint64 n = right - columns.count() + 1 + qint64(fraction * columns.count());
        if (place.isEmpty())
            place = QStringLiteral("X %1").arg(keyText(n * columns.width()));
        const PlotColumns::Column *c = columns.column(n);
        parts << QStringLiteral("%1 %2").arg(
                channel.name, c ? QString::number(c->last, 'g', 6) : QStringLiteral("-"));
    }
    emit cursorText(parts.isEmpty()
                            ? QString()
                            : place + QStringLiteral("  ") + parts.join(QStringLiteral("  ")));
}

void PlotView::leaveEvent(QEvent *)
{
    emit cursorText(QString());
}

#ifndef PLOTVIEW_H
#define PLOTVIEW_H

#include "plotcolumns.h"
#include "plothistory.h"
#include "trigger.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QString>
#include <QWidget>

#include <cmath>
#include <memory>
#include <optional>
#include <vector>

// The plotter's screen: named curves over a window of samples or seconds.
// Each channel keeps its history and its reduction to the screen's columns,
// both updated as samples arrive; a paint draws at most one vertical and one
// joining stroke per column and curve.
class QPainter;

class PlotView : public QWidget
{
    Q_OBJECT

public:
    enum class XAxis { Samples, Seconds };

    explicit PlotView(QWidget *parent = nullptr);
    ~PlotView() override;

    // Channels beyond count go with their samples; new ones are named and
    // shown.
    void setChannelCount(int count);
    int channelCount() const { return int(m_channels.size()); }
    void setChannelName(int channel, const QString &name);
    QString channelName(int channel) const;
    QColor channelColour(int channel) const;
    void setChannelVisible(int channel, bool visible);
    bool channelVisible(int channel) const;
    const PlotHistory &history(int channel) const;
    // The newest value, or NaN before the first.
    double latestValue(int channel) const;

    void addSample(int channel, float value, double seconds);
    // Forgets every sample; the channels stay.
    void clear();

    void setXAxis(XAxis axis);
    XAxis xAxis() const { return m_xAxis; }
    // 100 .. 1,000,000 samples, or 0.01 .. 3600 seconds.
    void setWindowSamples(int samples);
    int windowSamples() const { return m_windowSamples; }
    void setWindowSeconds(double seconds);
    double windowSeconds() const { return m_windowSeconds; }
    // Fixed limits, or the range of what is shown when automatic.
    void setFixedRange(double minimum, double maximum);
    void setAutoRange();
    bool autoRange() const { return m_autoRange; }
    double rangeMinimum() const { return m_yMinimum; }
    double rangeMaximum() const { return m_yMaximum; }

    // A paused screen keeps what it showed while samples still arrive.
    void setPaused(bool paused);
    bool paused() const { return m_frozen != nullptr; }

    // Off at first; works on the sample axis only, and rolls on the seconds
    // axis. Switching, a new source or new settings re-arm it.
    void setTrigger(bool on, int source, const Trigger::Settings &settings);
    bool triggerOn() const { return m_triggerOn; }
    void rearmTrigger();
    Trigger::State triggerState() const { return m_trigger.state(); }
    // The sample number of the last sample of the sweep on screen, also
    // while paused, or -1 while the screen rolls or shows none.
    qint64 shownSweepEnd() const;
    // One past the sample number of the channel's newest sample on screen:
    // the sweep's end, the newest when the screen was paused, or the newest.
    qint64 shownEnd(int channel) const;
    // The time at the screen's right edge on the seconds axis.
    double shownNewestSeconds() const;

    // Brings the range up to date and repaints, when something changed;
    // called by the tab's refresh timer.
    void refresh();
    QImage screenImage();

    static constexpr int kMinWindowSamples = 100;
    static constexpr int kMaxWindowSamples = int(PlotHistory::kCapacity);
    static constexpr double kMinWindowSeconds = 0.01;
    static constexpr double kMaxWindowSeconds = 3600;

signals:
    // What the cursor points at: the place on the X axis and each shown
    // channel's value there; empty when it leaves.
    void cursorText(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    struct Channel
    {
        QString name;
        QColor colour;
        bool visible = true;
        PlotHistory history;
        PlotColumns columns;
    };
    // What a paused screen shows.
    struct Frozen
    {
        QList<PlotColumns> columns;
        QList<qint64> rightColumns;
    };

    // A value's pixel row.
    struct YMap
    {
        double bottom;
        double minimum;
        double scale;
        int operator()(float value) const
        {
            const double y = bottom - (value - minimum) * scale;
            return int(std::floor(qBound(-1e6, y + 0.5, 1e6)));
        }
    };

    void prepareDenseBuffer(const QRect &area);
    void drawDense(const PlotColumns &columns, qint64 right, const QColor &colour, const YMap &yOf);
    void drawSparse(QPainter &painter, const PlotColumns &columns, qint64 right,
                    const QColor &colour, const YMap &yOf) const;
    // Columns across the screen, and the width of each in samples or seconds.
    int columnCount() const;
    double columnWidth() const;
    // The newest column of a channel: its own newest sample, or the newest
    // second of any channel.
    qint64 rightColumn(const Channel &channel) const;
    // Reduces the samples in the window again, after the columns changed.
    void rebuildColumns();
    void fillColumns(Channel &channel);
    void refreeze();
    // What the screen shows instead of the live columns: the paused copy or
    // the trigger's sweep; null while it rolls.
    const Frozen *held() const;
    // A shown channel's columns as the screen has them, and their newest;
    // nothing for a hidden channel or one the held screen does not have.
    struct ShownColumns
    {
        const PlotColumns *columns;
        qint64 right;
    };
    std::optional<ShownColumns> shownColumns(int ch) const;
    bool triggerActive() const { return m_triggerOn && m_xAxis == XAxis::Samples; }
    void restartTrigger();
    void holdSweep();
    void buildSweep(qint64 end);
    void drawTrigger(QPainter &painter, const YMap &yOf) const;
    void updateRange();
    QRect plotRect() const;
    QString keyText(double key) const;

    std::vector<std::unique_ptr<Channel>> m_channels;
    XAxis m_xAxis = XAxis::Samples;
    int m_windowSamples = 1000;
    double m_windowSeconds = 10;
    bool m_autoRange = true;
    double m_yMinimum = -1;
    double m_yMaximum = 1;
    // The newest time of any sample, in seconds.
    double m_newestSeconds = 0;
    bool m_dirty = false;
    std::unique_ptr<Frozen> m_frozen;
    Trigger m_trigger;
    bool m_triggerOn = false;
    int m_triggerSource = 0;
    // The last sweep's columns, taken once the frame that ended it is in:
    // at the source's next sample or the next refresh.
    std::unique_ptr<Frozen> m_sweep;
    qint64 m_sweepEnd = -1;
    qint64 m_pendingSweepEnd = -1;
    // The sweep the paused screen shows, or -1.
    qint64 m_frozenSweepEnd = -1;
    // Each channel's sample count and the newest time when the screen was
    // paused, for what a paused screen shows.
    QList<qint64> m_frozenTotals;
    double m_frozenSeconds = 0;
    // The dense curves of the last paint, a screen column per row; kept for
    // the next paint's memory.
    QImage m_denseBuffer;
};

#endif // PLOTVIEW_H

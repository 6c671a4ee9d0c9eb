#ifndef XYVIEW_H
#define XYVIEW_H

#include "plotdecoder.h"
#include "xyscale.h"
#include "xytrail.h"

#include <QImage>
#include <QLineF>
#include <QList>
#include <QStringList>
#include <QWidget>

#include <array>
#include <vector>

class PlotView;

// The plotter's XY screen: the newest points of two channels, paired from
// the newest, or of a Teleplot XY series, as a line whose older part fades.
// The points, the scale and the faded segments are brought up to date by
// refresh(), never while painting.
class XYView : public QWidget
{
    Q_OBJECT

public:
    // channels: the time view, whose histories X and Y may come from.
    explicit XYView(const PlotView *channels, QWidget *parent = nullptr);

    // The series follow the decoder's names; their points are kept from the
    // start, the newest XYTrail::kMaxPoints of each.
    void addPoints(const QList<XYPoint> &points, const QStringList &seriesNames);
    const QStringList &seriesNames() const { return m_seriesNames; }
    // Forgets every point, those shown included; the series stay.
    void clear();
    // Forgets the series too, for a new decoder.
    void clearSeries();

    // X and Y from two channels, or both from one series; -1 for none.
    void showChannels(int x, int y);
    void showSeries(int series);
    int xChannel() const { return m_xChannel; }
    int yChannel() const { return m_yChannel; }
    int series() const { return m_series; }

    // XYTrail::kMinPoints .. kMaxPoints.
    void setPointCount(int count);
    int pointCount() const { return int(m_shown.capacity()); }
    // One scale for both axes, or each axis filling the view.
    void setEqualScale(bool equal);
    bool equalScale() const { return m_equalScale; }

    // A paused view keeps the points it showed while new ones still arrive.
    void setPaused(bool paused);
    bool paused() const { return m_paused; }

    // Takes the newest points and lays them out again, when something
    // changed; called by the tab's refresh timer while the view shows.
    void refresh();
    // The points shown, oldest first, and where they go.
    const XYTrail &shownPoints() const { return m_shown; }
    const XYScale &scale() const { return m_scale; }
    QImage screenImage();

signals:
    // The values under the cursor; empty when it leaves.
    void cursorText(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    // Shades of the trail, from the oldest part to the newest.
    static constexpr int kShades = 16;

    void takePoints();
    void layOut();
    QRect plotRect() const;

    const PlotView *m_channels;
    std::vector<XYTrail> m_seriesPoints;
    QStringList m_seriesNames;
    int m_xChannel = -1;
    int m_yChannel = -1;
    int m_series = -1;
    bool m_equalScale = true;
    bool m_paused = false;
    bool m_dirty = true;
    // Samples of the two channels so far, to see new ones come.
    qint64 m_channelTotal = -1;
    XYTrail m_shown;
    XYScale m_scale;
    // What a paint draws, laid out from the points shown.
    std::array<QList<QLineF>, kShades> m_segments;
    QList<double> m_xTicks;
    QList<double> m_yTicks;
    QPointF m_newest;
    bool m_hasNewest = false;
};

#endif // XYVIEW_H

#ifndef WAVEVIEW_H
#define WAVEVIEW_H

#include <QByteArray>
#include <QFont>
#include <QPixmap>
#include <QPoint>
#include <QPolygon>
#include <QWidget>

// Plots one line of 128 grey levels as a staircase over a fixed grid, with the
// threshold as a horizontal line. Draws in a logical window of 540 x 280
// stretched over the whole widget: pixel i spans x = 18 + 4i .. 22 + 4i and
// grey level v lies at y = 265 - v.
class WaveView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kPixels = 128;

    explicit WaveView(QWidget *parent);
    ~WaveView() override;

    // Takes a line of exactly 128 bytes and the low 8 bits of threshold, and
    // repaints at once. A line of any other size is ignored with its threshold.
    void setData(const QByteArray &data, int threshold);

    const QByteArray &data() const { return m_data; }
    quint8 threshold() const { return m_threshold; }

signals:
    // The mouse position in line coordinates (pixel index, grey level), not
    // clamped: outside the plot area the values leave 0..127 and 0..255.
    void mouseMove(QPoint pos);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void buildCurve();
    void buildGrid();

    QByteArray m_data;
    quint8 m_threshold;
    // The staircase of m_data in logical coordinates, built when data arrives.
    QPolygon m_curve;
    // The black background with grid, axes and numbers, drawn once per widget
    // size and font: most of the drawing, and the same for every line.
    QPixmap m_grid;
    QFont m_gridFont;
};

#endif // WAVEVIEW_H

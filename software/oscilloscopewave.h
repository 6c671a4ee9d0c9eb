#ifndef OSCILLOSCOPEWAVE_H
#define OSCILLOSCOPEWAVE_H

#include <QFont>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QWidget>

class QPainter;

// The oscilloscope screen: keeps the newest samples of four channels and
// paints them as staircase traces over a 10 x 10 division grid, with the
// channel and scale readouts along the bottom. Repaints itself every 100 ms.
class OscilloscopeWave : public QWidget
{
    Q_OBJECT

public:
    explicit OscilloscopeWave(QWidget *parent);

    void setCurCh(int ch);
    int curCh() const { return m_curCh; }
    // Volts per division of the current channel, 0 while it is off.
    double curYScale() const { return m_yScale[m_curCh]; }
    // Index 0 switches the current channel off, 1..14 pick 20 V .. 1 mV.
    void setYScaleIndex(int i);
    // The index of the channel's scale, as setYScaleIndex takes it.
    int yScaleIndex(int ch) const;
    // Index 0..13 picks 20000 .. 1 samples per division.
    void setXScaleIndex(int i);
    void addData(int ch, double value);
    void clearData();
    // The channel's stored samples in volts, oldest first.
    const QList<double> &samples(int ch) const { return m_data[ch]; }

    // Draws count samples as a staircase, with the painter's origin at 0 V on
    // the left edge of a grid of gridWidth x gridHeight pixels: voltsPerDiv x 5
    // reach the top grid line, sample number samplesPerDiv x 10 the right edge.
    // Columns from columnLimit on are off the paint device. Strokes that cannot
    // change a pixel are left out.
    static void drawWave(QPainter &painter, const double *values, qsizetype count,
                         double voltsPerDiv, double samplesPerDiv, int gridWidth, int gridHeight,
                         int columnLimit);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void buildBackground();
    void drawLegend(QPainter &painter);
    void drawGrid(QPainter &painter, int gridWidth, int gridHeight);
    void drawWaves(QPainter &painter, int gridWidth, int gridHeight);

    QList<double> m_data[4];
    double m_xScale;
    double m_yScale[4];
    QString m_yScaleText[4];
    int m_curCh;
    QTimer m_timer;
    // The black screen with readouts and grid, drawn again only when the size,
    // the font or a readout changes: an idle screen repaints from this alone.
    QPixmap m_background;
    QFont m_backgroundFont;
    bool m_backgroundStale;
};

#endif // OSCILLOSCOPEWAVE_H

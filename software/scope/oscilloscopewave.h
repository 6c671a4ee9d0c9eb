#ifndef OSCILLOSCOPEWAVE_H
#define OSCILLOSCOPEWAVE_H

#include "trigger.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class QPainter;

// The oscilloscope screen: keeps the newest samples of four channels and
// paints them as staircase traces over a 10 x 10 division grid, with the
// channel and scale readouts along the bottom. Repaints itself every 100 ms.
//
// The screen can be paused (the space bar while it has the focus): it then
// keeps showing what it showed, while the stores go on filling. With the
// mouse over the grid, it reads out the traces at the mouse's column.
//
// With the trigger on, the screen shows the sweeps the trigger holds, with
// the level as a dashed line in the source's colour; off, it rolls as ever.
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

    // While paused the screen draws the stores as they were when it was
    // paused; samples keep arriving in the stores meanwhile.
    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }
    // Off at first. Switching, a new source or new settings re-arm it.
    void setTrigger(bool on, int source, const Trigger::Settings &settings);
    bool triggerOn() const { return m_triggerOn; }
    void rearmTrigger();
    Trigger::State triggerState() const { return m_trigger.state(); }
    // The four samples of a frame are in: the trigger looks at the source's.
    void endFrame()
    {
        if (m_triggerOn && m_trigger.add(m_data[m_triggerSource].constLast()))
            holdSweep();
    }

    // The samples the screen draws from: the stores, the trigger's sweep, or
    // their copies while paused.
    const QList<double> &shownSamples(int ch) const;
    // The screen as painted, without the mouse read-out and the pause mark.
    QImage screenImage();
    // The mouse read-out, one line each: how many samples the column under
    // the mouse lies before the newest one, then the voltage of every channel
    // that is on and has a sample there. Empty while the mouse is elsewhere.
    QStringList cursorLines() const;

    // Index of the sample that a staircase of count samples holds at column
    // (drawn as drawWave draws it): the last one at or left of it. -1 left
    // of the grid and right of the last sample.
    static qsizetype sampleAtColumn(int column, qsizetype count, double samplesPerDiv,
                                    int gridWidth);

    // Draws count samples as a staircase, with the painter's origin at 0 V on
    // the left edge of a grid of gridWidth x gridHeight pixels: voltsPerDiv x 5
    // reach the top grid line, sample number samplesPerDiv x 10 the right edge.
    // Columns from columnLimit on are off the paint device. Strokes that cannot
    // change a pixel are left out.
    static void drawWave(QPainter &painter, const double *values, qsizetype count,
                         double voltsPerDiv, double samplesPerDiv, int gridWidth, int gridHeight,
                         int columnLimit);

signals:
    void pausedChanged(bool paused);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void updateBackground();
    void buildBackground();
    void paintScreen(QPainter &painter);
    void drawPauseMark(QPainter &painter);
    void drawTrigger(QPainter &painter, int gridWidth, int gridHeight);
    void holdSweep();
    qsizetype screenSamples() const { return qsizetype(10 * m_xScale) + 1; }
    void drawCursor(QPainter &painter);
    QStringList readCursor(QList<QColor> *colors) const;
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
    bool m_paused;
    QList<double> m_frozen[4];
    Trigger m_trigger;
    bool m_triggerOn;
    int m_triggerSource;
    // The newest screenful of every channel when the trigger's last sweep ended.
    QList<double> m_sweep[4];
    // The mouse's column in widget pixels, -1 while it is not over the view.
    int m_mouseX;
};

#endif // OSCILLOSCOPEWAVE_H

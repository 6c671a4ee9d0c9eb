#ifndef SPECTRUMVIEW_H
#define SPECTRUMVIEW_H

#include "spectrum.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPolygon>
#include <QString>
#include <QWidget>

// The plotter's spectrum screen: each shown channel's magnitude in dB against
// frequency, with its peak. Whatever a paint needs (the curves reduced to the
// screen's columns, the ticks, the texts) is made when the spectra or the
// size change, never while painting.
class SpectrumView : public QWidget
{
    Q_OBJECT

public:
    struct Curve
    {
        QString name;
        QColor colour;
        Spectrum::Result spectrum;
    };

    explicit SpectrumView(QWidget *parent = nullptr);

    // Curves without bins are left out.
    void setCurves(const QList<Curve> &curves);
    const QList<Curve> &curves() const { return m_curves; }
    // A line over the plot: the rate and resolution, or why nothing shows.
    void setNote(const QString &note);

    // Fixed limits, or from the curves' strongest bin down when automatic.
    void setFixedRange(double minimum, double maximum);
    void setAutoRange();

    QImage screenImage();

    // The automatic range spans at most this many dB below the strongest bin.
    static constexpr double kAutoSpan = 140;

signals:
    // The frequency under the mouse and each curve's dB there; empty when it
    // leaves.
    void cursorText(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    struct Tick
    {
        int position;
        QString text;
    };

    // Makes the range, the reduced curves, the ticks and the peak texts.
    void rebuild();
    void updateRange();
    QPolygon reduce(const Spectrum::Result &spectrum) const;
    QRect plotRect() const;
    int xOf(double hertz) const;
    int yOf(double decibels) const;
    QString hertzText(double hertz) const;

    QList<Curve> m_curves;
    // The plot's place in the widget, with room for the ticks' texts.
    QRect m_area;
    QString m_note;
    bool m_autoRange = true;
    double m_dbMinimum = -100;
    double m_dbMaximum = 0;
    double m_hzMaximum = 1;
    int m_hzDecimals = 0;
    // What a paint draws.
    QList<QPolygon> m_lines;
    QList<QPoint> m_peaks;
    QStringList m_peakTexts;
    QList<Tick> m_xTicks;
    QList<Tick> m_yTicks;
};

#endif // SPECTRUMVIEW_H

#ifndef LINEARCCD_H
#define LINEARCCD_H

#include "algorithmdll.h"
#include "appendfile.h"
#include "frameextraction.h"
#include "greylevels.h"
#include "streamsink.h"

#include <QByteArray>
#include <QPoint>
#include <QWidget>

class GreyView;
class QAction;
class QLabel;
class WaveView;

QT_BEGIN_NAMESPACE
namespace Ui {
class LinearCCD;
}
QT_END_NAMESPACE

// The linear CCD tab: takes the newest line of 128 pixels from the received
// bytes, shows its statistics, plots it, shows it as a grey strip and
// binarizes it by the mid value, a fixed threshold or a custom algorithm.
// The views' context menu saves the line and the views' picture, and records
// every new line into a file while recording is on.
class LinearCCD : public QWidget, public StreamSink
{
    Q_OBJECT

public:
    static constexpr int kLinePixels = 128;

    explicit LinearCCD(QWidget *parent);
    ~LinearCCD() override;

    // Consumes from the front of buffer up to the last end byte and shows the
    // newest complete line before it; bytes after that end byte stay.
    void handleData(QByteArray &buffer) override;
    std::optional<FrameTotals> frameTotals() const override
    {
        return FrameTotals { FrameHealth::Kind::Line, frameCountsOf(m_frameStats) };
    }
    // Lines taken, skipped and misplaced since the tab was made.
    const FrameStats &frameStats() const { return m_frameStats; }

    ThresholdMode thresholdMode() const;
    // As clicking the mode's button, except that the custom mode asks for no
    // library: without one the strip turns black.
    void setThresholdMode(ThresholdMode mode);
    int fixedThreshold() const;
    // False for a threshold outside 0..255.
    bool setFixedThreshold(int threshold);
    // The library whose ImgProc the custom mode calls; empty without one.
    QString algorithmPath() const;
    // Loads the library at path for the custom mode without asking or telling
    // the user anything. False, changing nothing, when it exports no ImgProc.
    bool loadAlgorithmQuietly(const QString &path);

private slots:
    void on_spinBoxTh_valueChanged(int);
    void onMouseMove(QPoint);
    void on_horizontalSliderTh_valueChanged(int value);
    void on_radioButton_midVal_clicked();
    void on_radioButton_fixedVal_clicked();
    void on_radioButton_custom_clicked();
    void on_pushButton_openDll_clicked();

private:
    void updateViews();
    void showStatistics(const GreyStatistics &stats);
    void chooseAlgorithm();
    void saveLine();
    void savePicture();
    void setRecording(bool on);
    void recordLine();

    Ui::LinearCCD *ui;
    GreyView *m_greyView;
    WaveView *m_waveView;
    GreyView *m_binView;
    QByteArray m_pixels;
    FrameStats m_frameStats;
    ImgProcFunc m_imgProc;
    QAction *m_recordAction;
    QLabel *m_recordCount;
    AppendFile m_record;
};

#endif // LINEARCCD_H

#ifndef LINEARCCD_H
#define LINEARCCD_H

#include "appendfile.h"
#include "frameextraction.h"
#include "greylevels.h"
#include "picturesizeguess.h"
#include "settingspart.h"
#include "streamsink.h"

#include <QByteArray>
#include <QPoint>
#include <QWidget>

#include <memory>

class GreyView;
class QAction;
class QLabel;
class ThresholdControls;
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
// every new line into a file while recording is on. It remembers how it
// binarizes.
class LinearCCD : public QWidget, public StreamSink, public SettingsPart
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

    QString settingsGroup() const override;
    void saveSettings(SettingsGroup &group) const override;
    // A restored mode shows as after a click on its button, except that the
    // custom mode asks for no library: without one the strip turns black.
    void restoreSettings(const SettingsGroup &group) override;

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
    void saveLine();
    void savePicture();
    void setRecording(bool on);
    void recordLine();
    void updateLengthNotice();

    Ui::LinearCCD *ui;
    GreyView *m_greyView;
    WaveView *m_waveView;
    GreyView *m_binView;
    QByteArray m_pixels;
    FrameStats m_frameStats;
    std::unique_ptr<ThresholdControls> m_thresholdControls;
    QAction *m_recordAction;
    QLabel *m_recordCount;
    AppendFile m_record;
    PictureSizeGuess m_lineGuess;
    // Tells the user when the lines are not kLinePixels long; hidden else.
    QLabel *m_lengthNotice;
    qsizetype m_noticeLength = 0;
};

#endif // LINEARCCD_H

#ifndef CCD_H
#define CCD_H

#include "frameextraction.h"
#include "pictureseries.h"
#include "picview.h"
#include "settingspart.h"
#include "streamsink.h"

#include <QByteArray>
#include <QSize>
#include <QWidget>

#include <memory>

class QAction;
class QLabel;
class ThresholdControls;

QT_BEGIN_NAMESPACE
namespace Ui {
class CCD;
}
QT_END_NAMESPACE

// The camera tab: takes grey pictures of the chosen size out of the receive
// buffer, shows each with its statistics and a binarized copy, and saves the
// picture's bytes as hexadecimal text or the picture as a BMP file.
//
// A picture on the stream is width x height pixel bytes, row after row,
// closed by the end byte 0xFF; only the newest complete picture is shown.
//
// Each view's context menu saves its picture as PNG, and a series saves every
// new picture into a folder while it is on.
//
// It remembers the picture size, the zoom and how it binarizes.
class CCD : public QWidget, public StreamSink, public SettingsPart
{
    Q_OBJECT

public:
    explicit CCD(QWidget *parent);
    ~CCD() override;

    void handleData(QByteArray &buffer) override;
    std::optional<FrameTotals> frameTotals() const override
    {
        return FrameTotals { FrameHealth::Kind::Picture, frameCountsOf(m_frameStats) };
    }
    // Pictures taken, skipped and misplaced since the tab was made.
    const FrameStats &frameStats() const { return m_frameStats; }

    QSize pictureSize() const;
    // Both sides at once. False, changing nothing, outside the size boxes'
    // ranges or while the size is locked (the port is open).
    bool setPictureSize(QSize size);
    // The library whose ImgProc the custom mode calls; empty without one.
    QString algorithmPath() const;
    // Loads the library at path for the custom mode without asking or telling
    // the user anything. False, changing nothing, when it exports no ImgProc.
    bool loadAlgorithmQuietly(const QString &path);

    QString settingsGroup() const override;
    void saveSettings(SettingsGroup &group) const override;
    // A restored mode shows as after a click on its button, except that the
    // custom mode asks for no library: without one the binarized picture
    // stays as it is.
    void restoreSettings(const SettingsGroup &group) override;

public slots:
    // The picture size is locked while the port is open.
    void onComOpen();
    void onComClose();

private slots:
    void on_spinBoxWidth_valueChanged(int);
    void on_spinBoxHeight_valueChanged(int);
    void on_radioButtonAutoZoom_clicked();
    void on_radioButtonNoZoom_clicked();
    void on_spinBoxTh_valueChanged(int);
    void on_pushButtonSaveData_clicked();
    void on_pushButtonSavePicture_clicked();
    void getCursorValue(int x, int y, int value);
    void on_horizontalSliderTh_valueChanged(int value);
    void on_radioButton_fixed_clicked();
    void on_pushButton_openDll_clicked();
    void on_radioButton_custom_clicked();
    void on_radioButton_mid_clicked();

private:
    void initUi();
    void setDefaults();
    void refreshForMode();
    void updateViews();
    void updateStatistics();
    void updateBinary();
    void initExports();
    void savePng(const PicView &view, const QString &stem);
    void setSeriesSaving(bool on);
    void saveToSeries();

    Ui::CCD *ui;
    PicView m_picView;
    PicView m_binView;
    QByteArray m_picture;
    FrameStats m_frameStats;
    int m_threshold;
    std::unique_ptr<ThresholdControls> m_thresholdControls;
    QAction *m_seriesAction;
    QLabel *m_seriesCount;
    PictureSeries m_series;
};

#endif // CCD_H

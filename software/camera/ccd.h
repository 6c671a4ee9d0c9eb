#ifndef CCD_H
#define CCD_H

#include "algorithmdll.h"
#include "frameextraction.h"
#include "greylevels.h"
#include "pictureseries.h"
#include "picview.h"
#include "streamsink.h"

#include <QByteArray>
#include <QSize>
#include <QWidget>

class QAction;
class QLabel;

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
class CCD : public QWidget, public StreamSink
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

    ThresholdMode thresholdMode() const;
    // As clicking the mode's button, except that the custom mode asks for no
    // library: without one the binarized picture stays as it is.
    void setThresholdMode(ThresholdMode mode);
    int fixedThreshold() const;
    // False for a threshold outside 0..255.
    bool setFixedThreshold(int threshold);
    QSize pictureSize() const;
    // False, changing nothing, outside 1..320 x 1..240 or while the size is
    // locked (the port is open).
    bool setPictureSize(QSize size);
    // Pictures stretched over the views rather than shown pixel for pixel.
    bool autoZoom() const;
    void setAutoZoom(bool on);
    // The library whose ImgProc the custom mode calls; empty without one.
    QString algorithmPath() const;
    // Loads the library at path for the custom mode without asking or telling
    // the user anything. False, changing nothing, when it exports no ImgProc.
    bool loadAlgorithmQuietly(const QString &path);

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
    void loadAlgorithm();
    void updateViews();
    void updateStatistics();
    void updateBinary();
    void showOpenError(const QString &fileName);
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
    ImgProcFunc m_imgProc;
    QAction *m_seriesAction;
    QLabel *m_seriesCount;
    PictureSeries m_series;
};

#endif // CCD_H

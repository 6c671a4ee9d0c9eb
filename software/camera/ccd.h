#ifndef CCD_H
#define CCD_H

#include "frameextraction.h"
#include "headerpictureextractor.h"
#include "pictureseries.h"
#include "picturesizeguess.h"
#include "picview.h"
#include "settingspart.h"
#include "streamsink.h"

#include <QByteArray>
#include <QSize>
#include <QWidget>

#include <memory>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QToolButton;
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
// With the framing 帧头 each picture comes with a header that gives its size
// (see HeaderPictureExtractor), and the size boxes show that size. With the
// written end byte, pictures of another size than the one chosen make the tab
// say which size they are likely to be, with a button that applies it.
//
// It remembers the picture size, the zoom, how it binarizes and the framing.
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

    enum class Framing { EndByte, Header };

    QSize pictureSize() const;
    // Both sides at once. False, changing nothing, outside the size boxes'
    // ranges or while the size is locked (the port is open).
    bool setPictureSize(QSize size);
    Framing framing() const;
    void setFraming(Framing framing);
    // The bytes between the last end bytes once they agreed, else 0.
    qsizetype measuredPictureBytes() const { return m_sizeGuess.steadySize(); }
    // The sizes the tab proposes for the measured pictures, likeliest first;
    // empty while the pictures fit the chosen size.
    QList<QSize> proposedSizes() const { return m_proposedSizes; }
    // Applies a size, closing the port around it while it is open.
    void applyProposedSize(QSize size);
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

signals:
    // The size boxes are locked by an open port: the window closes it, sets
    // the size and opens it again.
    void sizeNeedsReopen(QSize size);

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
    void initFraming();
    void initSizeNotice();
    void takeHeaderPicture(QByteArray &buffer);
    void showPictureSize(QSize size);
    void updateSizeNotice();

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
    QComboBox *m_framingBox;
    HeaderPictureExtractor m_headerExtractor;
    PictureSizeGuess m_sizeGuess;
    QList<QSize> m_proposedSizes;
    // What the notice shows: the measured bytes (0 while hidden) and the
    // size boxes' ranges its sizes keep to.
    qsizetype m_noticeBytes = 0;
    QSize m_noticeMaximum;
    QFrame *m_sizeNotice;
    QLabel *m_sizeNoticeText;
    QPushButton *m_applySize;
    QToolButton *m_otherSizes;
};

#endif // CCD_H

#include "ccd.h"
#include "ui_ccd.h"

#include "byteutils.h"
#include "exportdialogs.h"
#include "frameextraction.h"
#include "thresholdcontrols.h"

#include <QAction>
#include <QDateTime>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kWidthKey = QStringLiteral("width");
const QString kHeightKey = QStringLiteral("height");
const QString kAutoZoomKey = QStringLiteral("autoZoom");

// A picture view's picture as plain 8-bit grey: its palette index is its grey level.
QImage greyImage(const PicView &view)
{
    return view.image()->convertToFormat(QImage::Format_Grayscale8);
}

} // namespace

CCD::CCD(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CCD)
    , m_threshold(0)
    , m_seriesAction(nullptr)
    , m_seriesCount(nullptr)
{
    ui->setupUi(this);
    initUi();
    connect(&m_picView, &PicView::cursorValue, this, &CCD::getCursorValue);
    connect(&m_binView, &PicView::cursorValue, this, &CCD::getCursorValue);
    initExports();
}

CCD::~CCD()
{
    delete ui;
}

void CCD::handleData(QByteArray &buffer)
{
    const int pixelCount = ui->spinBoxHeight->value() * ui->spinBoxWidth->value();
    // An end byte that came too early still refreshes the views, from the
    // picture already held.
    const FrameCut cut = takeNewestFrame(buffer, pixelCount, m_picture, m_frameStats);
    if (cut != FrameCut::Waiting)
        updateViews();
    if (cut == FrameCut::Taken)
        saveToSeries();
}

QSize CCD::pictureSize() const
{
    return QSize(ui->spinBoxWidth->value(), ui->spinBoxHeight->value());
}

bool CCD::setPictureSize(QSize size)
{
    QSpinBox *width = ui->spinBoxWidth;
    QSpinBox *height = ui->spinBoxHeight;
    if (!width->isEnabled() || size.width() < width->minimum() || size.width() > width->maximum()
        || size.height() < height->minimum() || size.height() > height->maximum())
        return false;
    width->setValue(size.width());
    height->setValue(size.height());
    return true;
}

QString CCD::algorithmPath() const
{
    return m_thresholdControls->algorithmPath();
}

bool CCD::loadAlgorithmQuietly(const QString &path)
{
    if (!m_thresholdControls->loadAlgorithmQuietly(path))
        return false;
    updateBinary();
    return true;
}

QString CCD::settingsGroup() const
{
    return QStringLiteral("camera");
}

void CCD::saveSettings(SettingsGroup &group) const
{
    m_thresholdControls->save(group);
    group.write(kWidthKey, ui->spinBoxWidth->value());
    group.write(kHeightKey, ui->spinBoxHeight->value());
    group.write(kAutoZoomKey, ui->radioButtonAutoZoom->isChecked());
}

void CCD::restoreSettings(const SettingsGroup &group)
{
    // A side on its own keeps the other side the tab has.
    QSize size = pictureSize();
    const QSpinBox *width = ui->spinBoxWidth;
    const QSpinBox *height = ui->spinBoxHeight;
    if (const auto value = group.readInt(kWidthKey, width->minimum(), width->maximum()))
        size.setWidth(*value);
    if (const auto value = group.readInt(kHeightKey, height->minimum(), height->maximum()))
        size.setHeight(*value);
    setPictureSize(size);
    if (const auto on = group.readBool(kAutoZoomKey)) {
        (*on ? ui->radioButtonAutoZoom : ui->radioButtonNoZoom)->setChecked(true);
        on_radioButtonAutoZoom_clicked();
    }
    if (m_thresholdControls->restore(group))
        refreshForMode();
}

void CCD::onComOpen()
{
    ui->spinBoxWidth->setEnabled(false);
    ui->spinBoxHeight->setEnabled(false);
}

void CCD::onComClose()
{
    ui->spinBoxWidth->setEnabled(true);
    ui->spinBoxHeight->setEnabled(true);
}

void CCD::on_spinBoxWidth_valueChanged(int)
{
    m_picView.setPictureSize(ui->spinBoxWidth->value(), ui->spinBoxHeight->value());
    m_binView.setPictureSize(ui->spinBoxWidth->value(), ui->spinBoxHeight->value());
}

void CCD::on_spinBoxHeight_valueChanged(int)
{
    on_spinBoxWidth_valueChanged(ui->spinBoxWidth->value());
}

void CCD::on_radioButtonAutoZoom_clicked()
{
    m_picView.setAutoZoom(ui->radioButtonAutoZoom->isChecked());
    m_binView.setAutoZoom(ui->radioButtonAutoZoom->isChecked());
}

void CCD::on_radioButtonNoZoom_clicked()
{
    on_radioButtonAutoZoom_clicked();
}

void CCD::on_spinBoxTh_valueChanged(int value)
{
    if (m_thresholdControls->spinBoxChanged(value)) {
        m_threshold = value;
        updateBinary();
    }
}

void CCD::on_pushButtonSaveData_clicked()
{
    const QString fileName
            = QFileDialog::getSaveFileName(this, QString(), QString(), tr("文本文件(*.txt)"));
    if (fileName.isEmpty())
        return;

    QString text;
    bytesToHexText(m_picture, text, 0);
    saveFileOrReport(this, fileName, text.toLatin1());
}

void CCD::on_pushButtonSavePicture_clicked()
{
    const QString fileName
            = QFileDialog::getSaveFileName(this, QString(), QString(), tr("位图(*.bmp)"));
    if (fileName.isEmpty())
        return;

    const QImage *image = m_picView.image();
    if (!image) {
        QMessageBox::critical(this, tr("错误"), tr("图像为空"), QMessageBox::Ok);
        return;
    }
    // The view's own indexed image: an 8-bit palette bitmap at the picture's size.
    saveFileOrReport(this, fileName, bmpBytes(*image));
}

void CCD::getCursorValue(int x, int y, int value)
{
    ui->labelCursorPos->setText(QStringLiteral("(%1,%2)").arg(x).arg(y));
    ui->labelPixelValue->setText(QString::number(value));
}

void CCD::on_horizontalSliderTh_valueChanged(int value)
{
    m_thresholdControls->sliderChanged(value);
}

void CCD::on_radioButton_fixed_clicked()
{
    m_threshold = m_thresholdControls->fixedThreshold();
    updateBinary();
}

void CCD::on_pushButton_openDll_clicked()
{
    m_thresholdControls->chooseAlgorithm();
    updateBinary();
}

void CCD::on_radioButton_custom_clicked()
{
    // After a cancelled choice the binarized picture stays as it was.
    m_thresholdControls->chooseAlgorithmIfNone();
    updateBinary();
}

void CCD::on_radioButton_mid_clicked()
{
    updateViews();
}

void CCD::initUi()
{
    ui->spinBoxWidth->setRange(1, 320);
    ui->spinBoxHeight->setRange(1, 240);
    m_thresholdControls = std::make_unique<ThresholdControls>(ThresholdControls::Widgets {
            ui->radioButton_mid, ui->radioButton_fixed, ui->radioButton_custom, ui->spinBoxTh,
            ui->horizontalSliderTh, ui->lineEdit_dllName });
    ui->lineEditEndCode->setEnabled(false);
    setDefaults();

    auto *picLayout = new QHBoxLayout(ui->groupBoxPic);
    picLayout->addWidget(&m_picView);
    m_picView.setAutoZoom(ui->radioButtonAutoZoom->isChecked());
    auto *binLayout = new QHBoxLayout(ui->groupBoxBinPic);
    binLayout->addWidget(&m_binView);
    m_binView.setAutoZoom(ui->radioButtonAutoZoom->isChecked());
}

void CCD::setDefaults()
{
    ui->spinBoxWidth->setValue(120);
    ui->spinBoxHeight->setValue(40);
    ui->radioButtonAutoZoom->setChecked(true);
    ui->radioButtonNoZoom->setChecked(false);
    ui->lineEditEndCode->setText(QStringLiteral("ff"));
}

// What a click on the checked mode's button shows, without the custom
// mode's dialog.
void CCD::refreshForMode()
{
    switch (m_thresholdControls->mode()) {
    case ThresholdMode::MidValue:
        on_radioButton_mid_clicked();
        break;
    case ThresholdMode::Fixed:
        on_radioButton_fixed_clicked();
        break;
    case ThresholdMode::Custom:
        updateBinary();
        break;
    }
}

void CCD::updateViews()
{
    updateStatistics();
    m_picView.setData(m_picture);
    updateBinary();
}

void CCD::updateStatistics()
{
    GreyStatistics stats;
    // Without a picture the labels and the threshold keep what they show.
    if (!greyStatistics(m_picture, stats))
        return;
    ui->labelMinValue->setText(QString::number(stats.minimum));
    ui->labelMaxValue->setText(QString::number(stats.maximum));
    ui->labelMidValue->setText(QString::number(stats.mid));
    ui->labelAverage->setText(QString::number(stats.average));
    if (m_thresholdControls->mode() == ThresholdMode::MidValue)
        m_threshold = int(stats.mid);
}

void CCD::updateBinary()
{
    // The custom mode gives an empty array without an algorithm, or when the
    // picture is not of the chosen size; the view refuses it and keeps the
    // binarized picture it showed.
    m_binView.setData(binarizeGrey(m_picture, ui->spinBoxWidth->value(), ui->spinBoxHeight->value(),
                                   m_thresholdControls->mode(), m_threshold,
                                   m_thresholdControls->algorithm()));
}

void CCD::initExports()
{
    auto *savePicture = new QAction(tr("保存图像(PNG)"), this);
    connect(savePicture, &QAction::triggered, this,
            [this] { savePng(m_picView, QStringLiteral("camera")); });
    auto *saveBinary = new QAction(tr("保存二值化图像(PNG)"), this);
    connect(saveBinary, &QAction::triggered, this,
            [this] { savePng(m_binView, QStringLiteral("camera-binary")); });
    m_seriesAction = new QAction(tr("连续保存"), this);
    m_seriesAction->setCheckable(true);
    connect(m_seriesAction, &QAction::toggled, this, &CCD::setSeriesSaving);
    m_picView.addActions({ savePicture, m_seriesAction });
    m_picView.setContextMenuPolicy(Qt::ActionsContextMenu);
    m_binView.addActions({ saveBinary, m_seriesAction });
    m_binView.setContextMenuPolicy(Qt::ActionsContextMenu);

    // At the end of the bottom row, level with the save buttons, with the
    // count of saved pictures below it.
    auto *seriesButton = new QToolButton(this);
    seriesButton->setObjectName(QStringLiteral("toolButton_series"));
    seriesButton->setDefaultAction(m_seriesAction);
    m_seriesCount = new QLabel(this);
    m_seriesCount->setObjectName(QStringLiteral("label_seriesCount"));
    // A growing count must not widen the row and move the buttons beside it.
    m_seriesCount->setMinimumWidth(
            m_seriesCount->fontMetrics().horizontalAdvance(tr("0000000 张")));
    m_seriesCount->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_seriesCount->setAlignment(Qt::AlignCenter);
    auto *seriesColumn = new QVBoxLayout;
    seriesColumn->addWidget(seriesButton);
    seriesColumn->addWidget(m_seriesCount);
    ui->horizontalLayout->addLayout(seriesColumn);
    // Held at the bottom, not stretched: the row keeps its height.
    ui->horizontalLayout->setAlignment(seriesColumn, Qt::AlignBottom);
}

// The picture at its own size, not as large as the view shows it.
void CCD::savePng(const PicView &view, const QString &stem)
{
    const QImage picture = greyImage(view);
    exportFile(this, stem, QStringLiteral("png"), tr("PNG图像(*.png)"),
               [&picture] { return pngBytes(picture); });
}

void CCD::setSeriesSaving(bool on)
{
    if (!on) {
        m_series.stop();
        return;
    }
    if (m_series.isActive())
        return;
    const QString folder = QFileDialog::getExistingDirectory(this, tr("选择保存图像的文件夹"));
    if (folder.isEmpty()) {
        m_seriesAction->setChecked(false);
        return;
    }
    m_series.start(folder, QDateTime::currentDateTime());
    m_seriesCount->setText(tr("0 张"));
    m_seriesCount->setToolTip(folder);
}

void CCD::saveToSeries()
{
    if (!m_series.isActive())
        return;
    const SaveResult result = m_series.save(greyImage(m_picView));
    if (result != SaveResult::Saved) {
        // Off before the box: pictures that arrive while it is up are not
        // saved, so one failure gives one box.
        m_seriesAction->setChecked(false);
        showSaveError(this, m_series.lastFileName(), result);
        return;
    }
    m_seriesCount->setText(tr("%1 张").arg(m_series.count()));
}

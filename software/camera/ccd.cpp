#include "ccd.h"
#include "ui_ccd.h"

#include "byteutils.h"
#include "exportdialogs.h"
#include "frameextraction.h"
#include "thresholdcontrols.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kWidthKey = QStringLiteral("width");
const QString kHeightKey = QStringLiteral("height");
const QString kAutoZoomKey = QStringLiteral("autoZoom");
const QString kFramingKey = QStringLiteral("framing");
const QStringList kFramingNames = { QStringLiteral("endByte"), QStringLiteral("header") };

// The size boxes' ranges: the written ones for the end byte, the sensor's
// full frame for pictures whose header gives the size.
constexpr QSize kEndByteMaximum(320, 240);
constexpr QSize kHeaderMaximum(HeaderPictureExtractor::kMaxWidth,
                               HeaderPictureExtractor::kMaxHeight);

QString sizeText(QSize size)
{
    return QStringLiteral("%1×%2").arg(size.width()).arg(size.height());
}

// The grey levels of a decoded picture, row after row without padding; empty
// when it does not decode to the size its header gave.
QByteArray decodedGrey(const QByteArray &file, QSize size)
{
    const QImage image = QImage::fromData(file).convertToFormat(QImage::Format_Grayscale8);
    if (image.isNull() || image.size() != size)
        return QByteArray();
    QByteArray pixels;
    pixels.reserve(qsizetype(size.width()) * size.height());
    for (int row = 0; row < size.height(); ++row)
        pixels.append(reinterpret_cast<const char *>(image.constScanLine(row)), size.width());
    return pixels;
}

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
    , m_framingBox(nullptr)
    , m_sizeNotice(nullptr)
    , m_sizeNoticeText(nullptr)
    , m_applySize(nullptr)
    , m_otherSizes(nullptr)
{
    ui->setupUi(this);
    initUi();
    connect(&m_picView, &PicView::cursorValue, this, &CCD::getCursorValue);
    connect(&m_binView, &PicView::cursorValue, this, &CCD::getCursorValue);
    initExports();
    initFraming();
    initSizeNotice();
}

CCD::~CCD()
{
    delete ui;
}

void CCD::handleData(QByteArray &buffer)
{
    if (framing() == Framing::Header) {
        takeHeaderPicture(buffer);
        return;
    }
    const int pixelCount = ui->spinBoxHeight->value() * ui->spinBoxWidth->value();
    m_sizeGuess.scan(buffer);
    const qsizetype before = buffer.size();
    // An end byte that came too early still refreshes the views, from the
    // picture already held.
    const FrameCut cut = takeNewestFrame(buffer, pixelCount, m_picture, m_frameStats);
    m_sizeGuess.removedFront(before - buffer.size());
    updateSizeNotice();
    if (cut != FrameCut::Waiting)
        updateViews();
    if (cut == FrameCut::Taken)
        saveToSeries();
}

// Only whole pictures are shown: one that does not decode to the size its
// header gave counts as misplaced, as a lying header does.
void CCD::takeHeaderPicture(QByteArray &buffer)
{
    HeaderPicture picture;
    if (m_headerExtractor.takeNewest(buffer, picture, m_frameStats) != FrameCut::Taken)
        return;
    const QSize size(picture.width, picture.height);
    QByteArray pixels = picture.encoding == HeaderPicture::Encoding::File
            ? decodedGrey(picture.data, size)
            : std::move(picture.data);
    if (pixels.isEmpty()) {
        --m_frameStats.taken;
        ++m_frameStats.misplaced;
        return;
    }
    showPictureSize(size);
    m_picture = std::move(pixels);
    updateViews();
    saveToSeries();
}

// The size boxes show the size of the pictures the headers announce.
void CCD::showPictureSize(QSize size)
{
    if (size == pictureSize())
        return;
    {
        const QSignalBlocker blockWidth(ui->spinBoxWidth);
        const QSignalBlocker blockHeight(ui->spinBoxHeight);
        ui->spinBoxWidth->setValue(size.width());
        ui->spinBoxHeight->setValue(size.height());
    }
    on_spinBoxWidth_valueChanged(size.width());
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
    group.write(kFramingKey, kFramingNames.at(int(framing())));
}

void CCD::restoreSettings(const SettingsGroup &group)
{
    // A side on its own keeps the other side the tab has.
    QSize size = pictureSize();
    const QSpinBox *width = ui->spinBoxWidth;
    const QSpinBox *height = ui->spinBoxHeight;
    // The size the headers gave is checked against the ranges of its framing.
    const QSize maximum = group.readChoice(kFramingKey, kFramingNames) == 1
            ? kHeaderMaximum
            : QSize(width->maximum(), height->maximum());
    if (const auto value = group.readInt(kWidthKey, width->minimum(), maximum.width()))
        size.setWidth(*value);
    if (const auto value = group.readInt(kHeightKey, height->minimum(), maximum.height()))
        size.setHeight(*value);
    if (const auto choice = group.readChoice(kFramingKey, kFramingNames))
        setFraming(Framing(*choice));
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
    if (m_sizeNotice)
        updateSizeNotice();
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

CCD::Framing CCD::framing() const
{
    return m_framingBox->currentIndex() == 1 ? Framing::Header : Framing::EndByte;
}

void CCD::setFraming(Framing framing)
{
    m_framingBox->setCurrentIndex(int(framing));
}

void CCD::applyProposedSize(QSize size)
{
    if (ui->spinBoxWidth->isEnabled())
        setPictureSize(size);
    else
        emit sizeNeedsReopen(size);
}

// At the end of the bottom row, after the written controls.
void CCD::initFraming()
{
    auto *group = new QGroupBox(tr("图像格式"), this);
    group->setObjectName(QStringLiteral("groupBox_format"));
    group->setFixedHeight(ui->groupBox_3->height());
    m_framingBox = new QComboBox(group);
    m_framingBox->setObjectName(QStringLiteral("comboBox_format"));
    m_framingBox->addItems({ tr("结束符"), tr("帧头") });
    auto *layout = new QVBoxLayout(group);
    layout->addWidget(m_framingBox);
    layout->addStretch();
    ui->horizontalLayout->addWidget(group);
    connect(m_framingBox, &QComboBox::currentIndexChanged, this, [this] {
        const QSize maximum = framing() == Framing::Header ? kHeaderMaximum : kEndByteMaximum;
        ui->spinBoxWidth->setMaximum(maximum.width());
        ui->spinBoxHeight->setMaximum(maximum.height());
        m_headerExtractor = HeaderPictureExtractor();
        m_sizeGuess.reset();
        updateSizeNotice();
    });
}

// On the pictures, where the user looks when they show stripes; hidden
// while the pictures fit.
void CCD::initSizeNotice()
{
    m_sizeNotice = new QFrame(this);
    m_sizeNotice->setObjectName(QStringLiteral("frame_sizeHint"));
    m_sizeNoticeText = new QLabel(m_sizeNotice);
    m_sizeNoticeText->setObjectName(QStringLiteral("label_sizeHint"));
    m_sizeNoticeText->setStyleSheet(QStringLiteral("color: #c00000"));
    m_applySize = new QPushButton(m_sizeNotice);
    m_applySize->setObjectName(QStringLiteral("pushButton_applySize"));
    m_otherSizes = new QToolButton(m_sizeNotice);
    m_otherSizes->setObjectName(QStringLiteral("toolButton_otherSizes"));
    m_otherSizes->setText(tr("其他尺寸"));
    m_otherSizes->setPopupMode(QToolButton::InstantPopup);
    m_otherSizes->setMenu(new QMenu(m_otherSizes));
    auto *row = new QHBoxLayout(m_sizeNotice);
    row->addWidget(m_sizeNoticeText);
    row->addWidget(m_applySize);
    row->addWidget(m_otherSizes);
    connect(m_applySize, &QPushButton::clicked, this, [this] {
        if (!m_proposedSizes.isEmpty())
            applyProposedSize(m_proposedSizes.first());
    });
    connect(m_otherSizes->menu(), &QMenu::triggered, this,
            [this](QAction *action) { applyProposedSize(action->data().toSize()); });
    row->setContentsMargins(4, 2, 4, 2);
    m_sizeNotice->hide();
    // Over the foot of both pictures: the tab has no height to spare at the
    // window's smallest size, and it goes once the size fits.
    m_sizeNotice->setAutoFillBackground(true);
    m_sizeNotice->setFrameShape(QFrame::StyledPanel);
    ui->gridLayout->addWidget(m_sizeNotice, 0, 0, 1, 2, Qt::AlignBottom | Qt::AlignHCenter);
}

void CCD::updateSizeNotice()
{
    const QSize size = pictureSize();
    const qsizetype measured = framing() == Framing::EndByte ? m_sizeGuess.steadySize() : 0;
    const qsizetype chosen = qsizetype(size.width()) * size.height();
    const QSize maximum(ui->spinBoxWidth->maximum(), ui->spinBoxHeight->maximum());
    const bool show = measured > 0 && measured != chosen;
    // Called on every delivery: the widgets change only with what they show.
    if ((show ? measured : 0) == m_noticeBytes && maximum == m_noticeMaximum)
        return;
    m_noticeBytes = show ? measured : 0;
    m_noticeMaximum = maximum;
    const QList<QSize> proposed
            = show ? PictureSizeGuess::likelySizes(measured, maximum) : QList<QSize>();
    m_proposedSizes = proposed;
    m_sizeNotice->setVisible(show);
    if (!show)
        return;
    if (proposed.isEmpty()) {
        m_sizeNoticeText->setText(tr("收到的图像为 %1 字节，与图像宽度×高度不符").arg(measured));
    } else {
        m_sizeNoticeText->setText(tr("收到的图像为 %1 字节，可能是 %2")
                                          .arg(measured)
                                          .arg(sizeText(proposed.first())));
        m_applySize->setText(tr("使用 %1").arg(sizeText(proposed.first())));
    }
    m_applySize->setVisible(!proposed.isEmpty());
    QMenu *menu = m_otherSizes->menu();
    menu->clear();
    for (qsizetype i = 1; i < proposed.size(); ++i)
        menu->addAction(sizeText(proposed.at(i)))->setData(proposed.at(i));
    m_otherSizes->setVisible(proposed.size() > 1);
}

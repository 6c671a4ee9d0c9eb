#include "ccd.h"
#include "ui_ccd.h"

#include "byteutils.h"
#include "exportdialogs.h"
#include "frameextraction.h"

#include <QAction>
#include <QDateTime>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QSaveFile>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

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
    , m_imgProc(nullptr)
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

void CCD::setThresholdMode(ThresholdMode mode)
{
    switch (mode) {
    case ThresholdMode::MidValue:
        ui->radioButton_mid->setChecked(true);
        on_radioButton_mid_clicked();
        break;
    case ThresholdMode::Fixed:
        ui->radioButton_fixed->setChecked(true);
        on_radioButton_fixed_clicked();
        break;
    case ThresholdMode::Custom:
        ui->radioButton_custom->setChecked(true);
        updateBinary();
        break;
    }
}

int CCD::fixedThreshold() const
{
    return ui->spinBoxTh->value();
}

bool CCD::setFixedThreshold(int threshold)
{
    if (threshold < ui->spinBoxTh->minimum() || threshold > ui->spinBoxTh->maximum())
        return false;
    ui->spinBoxTh->setValue(threshold);
    return true;
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

bool CCD::autoZoom() const
{
    return ui->radioButtonAutoZoom->isChecked();
}

void CCD::setAutoZoom(bool on)
{
    (on ? ui->radioButtonAutoZoom : ui->radioButtonNoZoom)->setChecked(true);
    on_radioButtonAutoZoom_clicked();
}

QString CCD::algorithmPath() const
{
    return m_imgProc ? ui->lineEdit_dllName->text() : QString();
}

bool CCD::loadAlgorithmQuietly(const QString &path)
{
    const AlgorithmLoadResult result = loadAlgorithmLibrary(path);
    if (result.status != AlgorithmLoadResult::Loaded)
        return false;
    m_imgProc = result.imgProc;
    ui->lineEdit_dllName->setText(result.fileName);
    updateBinary();
    return true;
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
    ui->horizontalSliderTh->setValue(value);
    if (ui->radioButton_fixed->isChecked()) {
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

    // Written beside the chosen file and put in its place only when complete,
    // so that a full disk leaves an earlier file as it was.
    QSaveFile file(fileName);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        showOpenError(fileName);
        return;
    }
    QString text;
    bytesToHexText(m_picture, text, 0);
    const QByteArray bytes = text.toLatin1();
    // A disk that fills up, or a file size limit, must not pass for a saved
    // file. Flushed first: commit() does not notice a failed final flush in
    // every Qt 6 version.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        QMessageBox::critical(this, tr("错误"), tr("写入文件%1失败！").arg(fileName),
                              QMessageBox::Ok);
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
    // The view's own indexed image: an 8-bit palette bitmap at the picture's
    // size, put in place only when complete, like the data file.
    QSaveFile file(fileName);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || !image->save(&file, "BMP") || !file.flush()
        || !file.commit())
        showOpenError(fileName);
}

void CCD::getCursorValue(int x, int y, int value)
{
    ui->labelCursorPos->setText(QStringLiteral("(%1,%2)").arg(x).arg(y));
    ui->labelPixelValue->setText(QString::number(value));
}

void CCD::on_horizontalSliderTh_valueChanged(int value)
{
    ui->spinBoxTh->setValue(value);
}

void CCD::on_radioButton_fixed_clicked()
{
    m_threshold = ui->spinBoxTh->value();
    updateBinary();
}

void CCD::on_pushButton_openDll_clicked()
{
    loadAlgorithm();
    updateBinary();
}

void CCD::on_radioButton_custom_clicked()
{
    if (!m_imgProc)
        loadAlgorithm();
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
    ui->spinBoxTh->setRange(0, 255);
    ui->horizontalSliderTh->setRange(0, 255);
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

void CCD::loadAlgorithm()
{
    QString dllName;
    openAlgorithmDll(dllName, m_imgProc);
    if (!dllName.isEmpty())
        ui->lineEdit_dllName->setText(dllName);
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
    if (ui->radioButton_mid->isChecked())
        m_threshold = int(stats.mid);
}

void CCD::updateBinary()
{
    // The custom mode gives an empty array without an algorithm, or when the
    // picture is not of the chosen size; the view refuses it and keeps the
    // binarized picture it showed.
    m_binView.setData(binarizeGrey(m_picture, ui->spinBoxWidth->value(), ui->spinBoxHeight->value(),
                                   thresholdMode(), m_threshold, m_imgProc));
}

ThresholdMode CCD::thresholdMode() const
{
    if (ui->radioButton_custom->isChecked())
        return ThresholdMode::Custom;
    return ui->radioButton_fixed->isChecked() ? ThresholdMode::Fixed : ThresholdMode::MidValue;
}

void CCD::showOpenError(const QString &fileName)
{
    QMessageBox::critical(this, tr("错误"),
                          tr("无法打开文件%1，是否被其他程序占用？").arg(fileName),
                          QMessageBox::Ok);
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

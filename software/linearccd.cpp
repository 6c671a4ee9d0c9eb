#include "linearccd.h"
#include "ui_linearccd.h"

#include "frameextraction.h"
#include "greyview.h"
#include "waveview.h"

#include <QHBoxLayout>

namespace {

void placeView(QWidget *groupBox, QWidget *view)
{
    auto *layout = new QHBoxLayout;
    layout->addWidget(view);
    groupBox->setLayout(layout);
}

} // namespace

LinearCCD::LinearCCD(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::LinearCCD)
    , m_greyView(new GreyView(nullptr))
    , m_waveView(new WaveView(nullptr))
    , m_binView(new GreyView(nullptr))
    , m_imgProc(nullptr)
{
    ui->setupUi(this);
    placeView(ui->groupBox_3, m_greyView);
    placeView(ui->groupBox_4, m_binView);
    placeView(ui->groupBox_2, m_waveView);
    ui->spinBoxTh->setRange(0, 255);
    ui->horizontalSliderTh->setRange(0, 255);
    m_pixels = QByteArray(kLinePixels, '\0');
    connect(m_waveView, &WaveView::mouseMove, this, &LinearCCD::onMouseMove);
}

LinearCCD::~LinearCCD()
{
    delete ui;
}

void LinearCCD::handleData(QByteArray &buffer)
{
    if (takeNewestFrame(buffer, kLinePixels, m_pixels) != FrameCut::Waiting)
        updateViews();
}

void LinearCCD::updateViews()
{
    if (m_pixels.size() != kLinePixels)
        return;
    GreyStatistics stats;
    greyStatistics(m_pixels, stats);
    showStatistics(stats);
    m_greyView->setData(m_pixels);

    const ThresholdMode mode = thresholdMode();
    const int threshold = modeThreshold(mode, stats, ui->spinBoxTh->value());
    QByteArray binarized = binarizeGrey(m_pixels, kLinePixels, 1, mode, threshold, m_imgProc);
    // Without an algorithm the strip turns all black.
    if (binarized.isEmpty())
        binarized = QByteArray(kLinePixels, '\0');

    m_waveView->setData(m_pixels, threshold);
    m_binView->setData(binarized);
}

void LinearCCD::showStatistics(const GreyStatistics &stats)
{
    ui->maxText->setText(QString::number(stats.maximum));
    ui->minText->setText(QString::number(stats.minimum));
    ui->aveText->setText(QString::number(stats.average));
    ui->midText->setText(QString::number(stats.mid));
}

ThresholdMode LinearCCD::thresholdMode() const
{
    if (ui->radioButton_midVal->isChecked())
        return ThresholdMode::MidValue;
    if (ui->radioButton_fixedVal->isChecked())
        return ThresholdMode::Fixed;
    return ThresholdMode::Custom;
}

void LinearCCD::setThresholdMode(ThresholdMode mode)
{
    switch (mode) {
    case ThresholdMode::MidValue:
        ui->radioButton_midVal->setChecked(true);
        break;
    case ThresholdMode::Fixed:
        ui->radioButton_fixedVal->setChecked(true);
        break;
    case ThresholdMode::Custom:
        ui->radioButton_custom->setChecked(true);
        break;
    }
    updateViews();
}

int LinearCCD::fixedThreshold() const
{
    return ui->spinBoxTh->value();
}

bool LinearCCD::setFixedThreshold(int threshold)
{
    if (threshold < ui->spinBoxTh->minimum() || threshold > ui->spinBoxTh->maximum())
        return false;
    ui->spinBoxTh->setValue(threshold);
    return true;
}

QString LinearCCD::algorithmPath() const
{
    return m_imgProc ? ui->lineEdit_dllPath->text() : QString();
}

bool LinearCCD::loadAlgorithmQuietly(const QString &path)
{
    const AlgorithmLoadResult result = loadAlgorithmLibrary(path);
    if (result.status != AlgorithmLoadResult::Loaded)
        return false;
    m_imgProc = result.imgProc;
    ui->lineEdit_dllPath->setText(result.fileName);
    updateViews();
    return true;
}

void LinearCCD::on_spinBoxTh_valueChanged(int value)
{
    // Setting the slider to the value it already has emits nothing, so the
    // two controls mirror each other without a loop.
    ui->horizontalSliderTh->setValue(value);
    if (ui->radioButton_fixedVal->isChecked())
        updateViews();
}

void LinearCCD::onMouseMove(QPoint pos)
{
    const int index = (pos.x() >= 0 && pos.x() < kLinePixels) ? pos.x() : 0;
    const int level = (pos.y() >= 0 && pos.y() <= 255) ? pos.y() : 0;
    ui->pos->setText(QStringLiteral("%1,%2").arg(index).arg(level));
    ui->val->setText(QString::number(quint8(m_pixels.at(index))));
}

void LinearCCD::on_horizontalSliderTh_valueChanged(int value)
{
    ui->spinBoxTh->setValue(value);
}

void LinearCCD::on_radioButton_midVal_clicked()
{
    updateViews();
}

void LinearCCD::on_radioButton_fixedVal_clicked()
{
    updateViews();
}

void LinearCCD::on_radioButton_custom_clicked()
{
    if (!m_imgProc)
        chooseAlgorithm();
    updateViews();
}

void LinearCCD::on_pushButton_openDll_clicked()
{
    chooseAlgorithm();
}

void LinearCCD::chooseAlgorithm()
{
    QString dllName;
    openAlgorithmDll(dllName, m_imgProc);
    if (!dllName.isEmpty())
        ui->lineEdit_dllPath->setText(dllName);
}

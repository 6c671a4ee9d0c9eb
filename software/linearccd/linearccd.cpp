#include "linearccd.h"
#include "ui_linearccd.h"

#include "csvformat.h"
#include "exportdialogs.h"
#include "frameextraction.h"
#include "greyview.h"
#include "thresholdcontrols.h"
#include "waveview.h"

#include <QAction>
#include <QDateTime>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace {

// A count that grows must not widen its column: the label keeps the width
// of its widest expected text whatever it shows.
void keepWidth(QLabel *label, const QString &widest)
{
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest));
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

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
    , m_recordAction(nullptr)
    , m_recordCount(nullptr)
    , m_lengthNotice(nullptr)
{
    ui->setupUi(this);
    placeView(ui->groupBox_3, m_greyView);
    placeView(ui->groupBox_4, m_binView);
    placeView(ui->groupBox_2, m_waveView);
    m_thresholdControls = std::make_unique<ThresholdControls>(ThresholdControls::Widgets {
            ui->radioButton_midVal, ui->radioButton_fixedVal, ui->radioButton_custom, ui->spinBoxTh,
            ui->horizontalSliderTh, ui->lineEdit_dllPath });
    m_pixels = QByteArray(kLinePixels, '\0');
    connect(m_waveView, &WaveView::mouseMove, this, &LinearCCD::onMouseMove);

    // Made after the form, so that the form's objects come first among the
    // tab's children, as they always have.
    auto *saveLineAction = new QAction(tr("保存数据(CSV)"), this);
    connect(saveLineAction, &QAction::triggered, this, &LinearCCD::saveLine);
    auto *savePictureAction = new QAction(tr("保存图像(PNG)"), this);
    connect(savePictureAction, &QAction::triggered, this, &LinearCCD::savePicture);
    m_recordAction = new QAction(tr("连续记录"), this);
    m_recordAction->setCheckable(true);
    connect(m_recordAction, &QAction::toggled, this, &LinearCCD::setRecording);
    for (QWidget *view : { static_cast<QWidget *>(m_waveView), static_cast<QWidget *>(m_greyView),
                           static_cast<QWidget *>(m_binView) }) {
        view->addActions({ saveLineAction, savePictureAction, m_recordAction });
        view->setContextMenuPolicy(Qt::ActionsContextMenu);
    }

    // Recording is switched at the foot of the left column, where the count
    // of recorded lines shows beside it.
    auto *recordButton = new QToolButton(this);
    recordButton->setObjectName(QStringLiteral("toolButton_record"));
    m_recordCount = new QLabel(this);
    m_recordCount->setObjectName(QStringLiteral("label_recordCount"));
    keepWidth(m_recordCount, tr("0000000 行"));
    recordButton->setDefaultAction(m_recordAction);
    auto *recordRow = new QHBoxLayout;
    recordRow->addWidget(recordButton);
    recordRow->addWidget(m_recordCount, 1);
    ui->verticalLayout_2->addLayout(recordRow);

    // In the room the column leaves free, above the recording control.
    m_lengthNotice = new QLabel(this);
    m_lengthNotice->setObjectName(QStringLiteral("label_lengthNotice"));
    m_lengthNotice->setWordWrap(true);
    m_lengthNotice->setStyleSheet(QStringLiteral("color: #c00000"));
    m_lengthNotice->hide();
    ui->verticalLayout_2->insertWidget(ui->verticalLayout_2->indexOf(recordRow), m_lengthNotice);
}

LinearCCD::~LinearCCD()
{
    delete ui;
}

void LinearCCD::handleData(QByteArray &buffer)
{
    m_lineGuess.scan(buffer);
    const qsizetype before = buffer.size();
    const FrameCut cut = takeNewestFrame(buffer, kLinePixels, m_pixels, m_frameStats);
    m_lineGuess.removedFront(before - buffer.size());
    updateLengthNotice();
    if (cut != FrameCut::Waiting)
        updateViews();
    if (cut == FrameCut::Taken)
        recordLine();
}

void LinearCCD::updateViews()
{
    if (m_pixels.size() != kLinePixels)
        return;
    GreyStatistics stats;
    greyStatistics(m_pixels, stats);
    showStatistics(stats);
    m_greyView->setData(m_pixels);

    const ThresholdMode mode = m_thresholdControls->mode();
    const int threshold = modeThreshold(mode, stats, m_thresholdControls->fixedThreshold());
    QByteArray binarized = binarizeGrey(m_pixels, kLinePixels, 1, mode, threshold,
                                        m_thresholdControls->algorithm());
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

QString LinearCCD::settingsGroup() const
{
    return QStringLiteral("linearccd");
}

void LinearCCD::saveSettings(SettingsGroup &group) const
{
    m_thresholdControls->save(group);
}

void LinearCCD::restoreSettings(const SettingsGroup &group)
{
    if (m_thresholdControls->restore(group))
        updateViews();
}

void LinearCCD::on_spinBoxTh_valueChanged(int value)
{
    if (m_thresholdControls->spinBoxChanged(value))
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
    m_thresholdControls->sliderChanged(value);
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
    // After a cancelled choice the strip shows black.
    m_thresholdControls->chooseAlgorithmIfNone();
    updateViews();
}

// The new algorithm shows from the next refresh.
void LinearCCD::on_pushButton_openDll_clicked()
{
    m_thresholdControls->chooseAlgorithm();
}

void LinearCCD::saveLine()
{
    const QByteArray line = m_pixels;
    exportFile(this, QStringLiteral("ccd-line"), QStringLiteral("csv"), tr("CSV文件(*.csv)"),
               [&line] { return linePixelsCsv(line); });
}

// The plot and both strips with their titles, as they are on the screen.
void LinearCCD::savePicture()
{
    const QImage picture
            = grab(ui->groupBox_2->geometry().united(ui->groupBox_4->geometry())).toImage();
    exportFile(this, QStringLiteral("ccd"), QStringLiteral("png"), tr("PNG图像(*.png)"),
               [&picture] { return pngBytes(picture); });
}

void LinearCCD::setRecording(bool on)
{
    if (!on) {
        m_record.close();
        return;
    }
    if (m_record.isOpen())
        return;
    const QString fileName = QFileDialog::getSaveFileName(
            this, QString(),
            timestampedFileName(QStringLiteral("ccd-record"), QStringLiteral("csv"),
                                QDateTime::currentDateTime()),
            tr("CSV文件(*.csv)"));
    if (fileName.isEmpty()) {
        m_recordAction->setChecked(false);
        return;
    }
    const SaveResult result = m_record.open(fileName, lineRecordHeader(kLinePixels));
    if (result != SaveResult::Saved) {
        m_recordAction->setChecked(false);
        showSaveError(this, fileName, result);
        return;
    }
    m_recordCount->setText(tr("0 行"));
    m_recordCount->setToolTip(fileName);
}

void LinearCCD::recordLine()
{
    if (!m_record.isOpen())
        return;
    if (!m_record.append(lineRecordRow(QDateTime::currentDateTime(), m_pixels))) {
        // Off before the box: lines that arrive while it is up are not
        // written, so one failure gives one box.
        m_recordAction->setChecked(false);
        showSaveError(this, m_record.fileName(), SaveResult::WriteFailed);
        return;
    }
    m_recordCount->setText(tr("%1 行").arg(m_record.records()));
}

void LinearCCD::updateLengthNotice()
{
    const qsizetype measured = m_lineGuess.steadySize();
    const qsizetype shown = measured == kLinePixels ? 0 : measured;
    if (shown == m_noticeLength)
        return;
    m_noticeLength = shown;
    m_lengthNotice->setVisible(shown > 0);
    m_lengthNotice->setText(tr("收到的数据行为 %1 像素，不是 %2 像素").arg(shown).arg(kLinePixels));
}

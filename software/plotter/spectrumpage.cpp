#include "spectrumpage.h"
#include "ui_spectrumpage.h"

#include "csvformat.h"
#include "exportdialogs.h"
#include "plotview.h"
#include "settingsgroup.h"

#include <QAction>
#include <QSignalBlocker>

#include <cmath>

namespace {

const QString kPoints = QStringLiteral("spectrum/points");
const QString kRateMode = QStringLiteral("spectrum/rateMode");
const QString kRate = QStringLiteral("spectrum/rate");
const QString kDecibelAxis = QStringLiteral("spectrum/dbAxis");
const QString kDecibelMinimum = QStringLiteral("spectrum/dbMinimum");
const QString kDecibelMaximum = QStringLiteral("spectrum/dbMaximum");
const QStringList kRateModeNames { QStringLiteral("auto"), QStringLiteral("manual") };
const QStringList kDecibelAxisNames { QStringLiteral("auto"), QStringLiteral("fixed") };

} // namespace

SpectrumPage::SpectrumPage(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::SpectrumPage)
{
    ui->setupUi(this);
    setPoints(m_spectrum.points());
    connect(ui->comboBox_points, &QComboBox::currentIndexChanged, this,
            &SpectrumPage::applySettings);
    connect(ui->comboBox_rate, &QComboBox::currentIndexChanged, this, &SpectrumPage::applySettings);
    connect(ui->doubleSpinBox_rate, &QDoubleSpinBox::valueChanged, this,
            &SpectrumPage::applySettings);
    connect(ui->comboBox_decibels, &QComboBox::currentIndexChanged, this,
            &SpectrumPage::applyRange);
    connect(ui->doubleSpinBox_dbMin, &QDoubleSpinBox::valueChanged, this,
            &SpectrumPage::applyRange);
    connect(ui->doubleSpinBox_dbMax, &QDoubleSpinBox::valueChanged, this,
            &SpectrumPage::applyRange);
    applySettings();
    applyRange();
}

SpectrumPage::~SpectrumPage()
{
    delete ui;
}

SpectrumView *SpectrumPage::view() const
{
    return ui->view;
}

void SpectrumPage::addPauseAction(QAction *pause)
{
    auto *saveSpectraAction = new QAction(tr("保存数据(CSV)"), this);
    connect(saveSpectraAction, &QAction::triggered, this, &SpectrumPage::saveSpectra);
    auto *saveScreenAction = new QAction(tr("保存图像(PNG)"), this);
    connect(saveScreenAction, &QAction::triggered, this, &SpectrumPage::saveScreen);
    ui->view->addActions({ pause, saveSpectraAction, saveScreenAction });
    ui->view->setContextMenuPolicy(Qt::ActionsContextMenu);
}

int SpectrumPage::points() const
{
    return ui->comboBox_points->currentText().toInt();
}

void SpectrumPage::setPoints(int points)
{
    const int index = ui->comboBox_points->findText(QString::number(points));
    if (index >= 0)
        ui->comboBox_points->setCurrentIndex(index);
}

double SpectrumPage::manualRate() const
{
    return ui->comboBox_rate->currentIndex() == 1 ? ui->doubleSpinBox_rate->value() : qQNaN();
}

void SpectrumPage::setManualRate(double hertz)
{
    ui->doubleSpinBox_rate->setValue(hertz);
    ui->comboBox_rate->setCurrentIndex(1);
}

void SpectrumPage::setAutomaticRate()
{
    ui->comboBox_rate->setCurrentIndex(0);
}

void SpectrumPage::applySettings()
{
    ui->doubleSpinBox_rate->setEnabled(ui->comboBox_rate->currentIndex() == 1);
    m_spectrum.setPoints(points());
    // Everything is computed again at the next refresh.
    m_cache.clear();
}

void SpectrumPage::applyRange()
{
    const bool fixed = ui->comboBox_decibels->currentIndex() == 1;
    ui->doubleSpinBox_dbMin->setEnabled(fixed);
    ui->doubleSpinBox_dbMax->setEnabled(fixed);
    const double minimum = ui->doubleSpinBox_dbMin->value();
    const double maximum = ui->doubleSpinBox_dbMax->value();
    // A fixed range needs its maximum above its minimum; until then it stays.
    if (fixed && maximum > minimum)
        ui->view->setFixedRange(minimum, maximum);
    else if (!fixed)
        ui->view->setAutoRange();
}

void SpectrumPage::refresh(const PlotView &source)
{
    if (m_paused)
        return;
    m_cache.resize(source.channelCount());
    const double rate = manualRate();
    QList<int> shown;
    bool changed = false;
    for (int channel = 0; channel < source.channelCount(); ++channel) {
        if (!source.channelVisible(channel))
            continue;
        shown << channel;
        const PlotHistory &history = source.history(channel);
        Cached &cached = m_cache[channel];
        if (cached.history != &history || cached.total != history.total()) {
            cached.history = &history;
            cached.total = history.total();
            cached.result = m_spectrum.compute(history, rate);
            changed = true;
        }
    }
    ui->view->setNote(noteFor(source));
    if (!changed && shown == m_shown)
        return;
    m_shown = shown;
    QList<SpectrumView::Curve> curves;
    for (const int channel : shown) {
        curves.append({ source.channelName(channel), source.channelColour(channel),
                        m_cache[channel].result });
    }
    ui->view->setCurves(curves);
}

// The rate and resolution of the first shown channel with a spectrum, or why
// there is none.
QString SpectrumPage::noteFor(const PlotView &source) const
{
    bool unknownRate = false;
    for (int channel = 0; channel < source.channelCount(); ++channel) {
        if (!source.channelVisible(channel))
            continue;
        const Spectrum::Result &result = m_cache[channel].result;
        if (!result.valid()) {
            unknownRate = unknownRate || result.samples >= Spectrum::kMinSamples;
            continue;
        }
        const QString rate = QString::number(result.rate, 'g', 6);
        const QString step = QString::number(result.binHz, 'g', 3);
        QString note = std::isnan(manualRate())
                ? tr("采样率 %1 Hz · 分辨率 %2 Hz").arg(rate, step)
                : tr("采样率 %1 Hz（测得 %2 Hz）· 分辨率 %3 Hz")
                          .arg(rate,
                               std::isnan(result.measuredRate)
                                       ? QStringLiteral("-")
                                       : QString::number(result.measuredRate, 'g', 6),
                               step);
        if (result.samples < m_spectrum.points())
            note += tr(" · 样本 %1/%2").arg(result.samples).arg(m_spectrum.points());
        return note;
    }
    return unknownRate ? tr("到达时间测不出采样率，请手动设定") : tr("等待数据…");
}

void SpectrumPage::clear()
{
    m_cache.clear();
    m_shown.clear();
    ui->view->setCurves({});
}

void SpectrumPage::setPaused(bool paused)
{
    m_paused = paused;
}

void SpectrumPage::saveSettings(SettingsGroup &group) const
{
    group.write(kPoints, points());
    group.write(kRateMode, kRateModeNames[ui->comboBox_rate->currentIndex()]);
    group.write(kRate, ui->doubleSpinBox_rate->value());
    group.write(kDecibelAxis, kDecibelAxisNames[ui->comboBox_decibels->currentIndex()]);
    group.write(kDecibelMinimum, ui->doubleSpinBox_dbMin->value());
    group.write(kDecibelMaximum, ui->doubleSpinBox_dbMax->value());
}

void SpectrumPage::restoreSettings(const SettingsGroup &group)
{
    if (const auto points = group.readInt(kPoints, Spectrum::kMinPoints, Spectrum::kMaxPoints);
        points && Spectrum::validPoints(*points))
        setPoints(*points);
    if (const auto rate = group.readDouble(kRate, kMinRate, kMaxRate))
        ui->doubleSpinBox_rate->setValue(*rate);
    if (const auto mode = group.readChoice(kRateMode, kRateModeNames))
        ui->comboBox_rate->setCurrentIndex(*mode);
    const auto minimum = group.readDouble(kDecibelMinimum, -kDecibelBound, kDecibelBound);
    const auto maximum = group.readDouble(kDecibelMaximum, -kDecibelBound, kDecibelBound);
    if (minimum && maximum && *maximum > *minimum) {
        const QSignalBlocker blockMinimum(ui->doubleSpinBox_dbMin);
        const QSignalBlocker blockMaximum(ui->doubleSpinBox_dbMax);
        ui->doubleSpinBox_dbMin->setValue(*minimum);
        ui->doubleSpinBox_dbMax->setValue(*maximum);
    }
    if (const auto axis = group.readChoice(kDecibelAxis, kDecibelAxisNames))
        ui->comboBox_decibels->setCurrentIndex(*axis);
    applyRange();
}

// The spectra as the screen shows them: every bin of each shown channel.
void SpectrumPage::saveSpectra()
{
    QStringList names;
    QList<double> steps;
    QList<QList<float>> decibels;
    for (const SpectrumView::Curve &curve : ui->view->curves()) {
        names << curve.name;
        steps << curve.spectrum.binHz;
        decibels << curve.spectrum.decibels;
    }
    exportFile(this, QStringLiteral("spectrum"), QStringLiteral("csv"), tr("CSV文件(*.csv)"),
               [&] { return spectrumCsv(names, steps, decibels); });
}

void SpectrumPage::saveScreen()
{
    const QImage screen = ui->view->screenImage();
    exportFile(this, QStringLiteral("spectrum"), QStringLiteral("png"), tr("PNG图像(*.png)"),
               [&screen] { return pngBytes(screen); });
}

#include "spectrumpage.h"
#include "ui_spectrumpage.h"

#include "csvformat.h"
#include "exportdialogs.h"
#include "plotview.h"
#include "settingsgroup.h"

#include <QAction>
#include <QSignalBlocker>
#include <QtConcurrent>

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
    setPoints(Spectrum::kDefaultPoints);
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
    connect(&m_batch, &QFutureWatcher<QList<Cached>>::finished, this, &SpectrumPage::takeResults);
    applySettings();
    applyRange();
}

SpectrumPage::~SpectrumPage()
{
    m_batch.waitForFinished();
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

void SpectrumPage::applySettings()
{
    ui->doubleSpinBox_rate->setEnabled(ui->comboBox_rate->currentIndex() == 1);
    // Everything is computed again at the next refresh.
    m_cache.clear();
    ++m_generation;
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
    // While a batch is at work, no samples are copied for the next.
    const bool busy = m_batch.isRunning();
    QList<Shown> shown;
    QList<Cached> tasks;
    for (int channel = 0; channel < source.channelCount(); ++channel) {
        if (!source.channelVisible(channel))
            continue;
        shown.append({ channel, source.channelName(channel), source.channelColour(channel) });
        const PlotHistory &history = source.history(channel);
        const Cached &cached = m_cache[channel];
        if (!busy && (cached.history != &history || cached.total != history.total())) {
            const qsizetype count = qMin<qsizetype>(history.size(), points());
            tasks.append({ channel,
                           &history,
                           history.total(),
                           Spectrum::newest(history, count),
                           Spectrum::rateFromTimes(history, count),
                           {} });
        }
    }
    ui->view->setNote(noteFor(source));
    const bool shownChanged = shown.size() != m_shown.size()
            || !std::equal(shown.begin(), shown.end(), m_shown.begin(),
                           [](const Shown &a, const Shown &b) {
                               return a.channel == b.channel && a.name == b.name;
                           });
    m_shown = shown;
    if (tasks.isEmpty()) {
        if (shownChanged)
            showCurves();
        return;
    }
    m_batchGeneration = m_generation;
    m_batch.setFuture(QtConcurrent::run([this, tasks, rate = manualRate(), points = points()] {
        QList<Cached> done = tasks;
        m_spectrum.setPoints(points);
        for (Cached &task : done) {
            task.result = m_spectrum.compute(task.samples, task.measuredRate, rate);
            task.samples = {};
        }
        return done;
    }));
}

// A batch done while the page was paused, cleared or set otherwise is old.
void SpectrumPage::takeResults()
{
    if (m_paused || m_batchGeneration != m_generation)
        return;
    const QList<Cached> done = m_batch.result();
    for (const Cached &task : done) {
        if (task.channel < m_cache.size())
            m_cache[task.channel] = task;
    }
    showCurves();
}

void SpectrumPage::showCurves()
{
    QList<SpectrumView::Curve> curves;
    for (const Shown &channel : std::as_const(m_shown)) {
        if (channel.channel < m_cache.size())
            curves.append({ channel.name, channel.colour, m_cache[channel.channel].result });
    }
    ui->view->setCurves(curves);
    emit spectraShown();
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
        if (result.samples < points())
            note += tr(" · 样本 %1/%2").arg(result.samples).arg(points());
        return note;
    }
    return unknownRate ? tr("到达时间测不出采样率，请手动设定") : tr("等待数据…");
}

void SpectrumPage::clear()
{
    m_cache.clear();
    ++m_generation;
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

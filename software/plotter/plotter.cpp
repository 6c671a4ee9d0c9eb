#include "plotter.h"
#include "ui_plotter.h"

#include "csvformat.h"
#include "exportdialogs.h"
#include "framehealth.h"
#include "plotframingdetector.h"
#include "plotview.h"
#include "spectrumpage.h"
#include "triggerpanel.h"
#include "xypage.h"

#include <QAction>
#include <QPixmap>
#include <QSignalBlocker>
#include <QStackedLayout>
#include <QTimer>

#include <cmath>

namespace {

const QString kFraming = QStringLiteral("framing");
const QString kHidden = QStringLiteral("hiddenChannels");
const QString kYAxis = QStringLiteral("yAxis");
const QString kYMinimum = QStringLiteral("yMinimum");
const QString kYMaximum = QStringLiteral("yMaximum");
const QString kXAxis = QStringLiteral("xAxis");
const QString kWindowSamples = QStringLiteral("windowSamples");
const QString kWindowSeconds = QStringLiteral("windowSeconds");
const QStringList kYAxisNames { QStringLiteral("auto"), QStringLiteral("fixed") };
const QStringList kXAxisNames { QStringLiteral("samples"), QStringLiteral("seconds") };
const QString kView = QStringLiteral("view");
// The order of the view box and of the pages.
const QStringList kViewNames { QStringLiteral("time"), QStringLiteral("spectrum"),
                               QStringLiteral("xy") };
// The order of the framing box.
const PlotFraming kFramings[] = { PlotFraming::Auto, PlotFraming::FireWater, PlotFraming::JustFloat,
                                  PlotFraming::Teleplot, PlotFraming::Plain };
constexpr double kLimitBound = 1e6;
constexpr int kRefreshMs = 50;
// The legend's latest values change at a pace that can be read.
constexpr int kLegendEvery = 4;

QStringList framingNames()
{
    QStringList names;
    for (const PlotFraming framing : kFramings)
        names << PlotDecoder::framingName(framing);
    return names;
}

} // namespace

Plotter::Plotter(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::Plotter)
    , m_pages(nullptr)
    , m_view(new PlotView(nullptr))
    , m_spectrum(new SpectrumPage(nullptr))
    , m_xy(new XYPage(m_view))
    , m_refreshTimer(new QTimer(this))
    , m_firstStampMs(qQNaN())
    , m_triggerPanel(new TriggerPanel(true, nullptr))
{
    ui->setupUi(this);
    m_pages = new QStackedLayout(ui->frame_plot);
    m_pages->setContentsMargins(0, 0, 0, 0);
    m_pages->addWidget(m_view);
    m_pages->addWidget(m_spectrum);
    m_pages->addWidget(m_xy);
    ui->plainTextEdit_log->setMaximumBlockCount(kLogLines);
    ui->treeWidget_legend->header()->setStretchLastSection(true);
    ui->treeWidget_legend->setColumnWidth(0, 125);
    m_clock.start();

    connect(ui->comboBox_framing, &QComboBox::activated, this,
            [this](int index) { setFramingChoice(kFramings[index]); });
    connect(ui->comboBox_view, &QComboBox::currentIndexChanged, this, &Plotter::applyView);
    connect(ui->comboBox_xAxis, &QComboBox::currentIndexChanged, this, &Plotter::applyXAxis);
    connect(ui->spinBox_windowSamples, &QSpinBox::valueChanged, m_view,
            &PlotView::setWindowSamples);
    connect(ui->doubleSpinBox_windowSeconds, &QDoubleSpinBox::valueChanged, m_view,
            &PlotView::setWindowSeconds);
    connect(ui->comboBox_yAxis, &QComboBox::currentIndexChanged, this, &Plotter::applyYAxis);
    connect(ui->doubleSpinBox_yMin, &QDoubleSpinBox::valueChanged, this, &Plotter::applyYAxis);
    connect(ui->doubleSpinBox_yMax, &QDoubleSpinBox::valueChanged, this, &Plotter::applyYAxis);
    connect(ui->pushButton_plotClear, &QPushButton::clicked, this, [this] {
        m_view->clear();
        m_spectrum->clear();
        m_xy->clear();
        ui->plainTextEdit_log->clear();
    });
    connect(m_view, &PlotView::cursorText, this, &Plotter::showCursor);
    connect(m_spectrum->view(), &SpectrumView::cursorText, this, &Plotter::showCursor);
    ui->label_readout->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    connect(ui->treeWidget_legend, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem *item, int column) {
                const int channel = ui->treeWidget_legend->indexOfTopLevelItem(item);
                if (column != 0 || channel < 0 || channel >= m_view->channelCount())
                    return;
                const bool visible = item->checkState(0) == Qt::Checked;
                m_view->setChannelVisible(channel, visible);
                if (visible)
                    m_hidden.remove(m_view->channelName(channel));
                else
                    m_hidden.insert(m_view->channelName(channel));
            });

    auto *pauseAction = new QAction(tr("暂停"), this);
    pauseAction->setCheckable(true);
    connect(pauseAction, &QAction::toggled, ui->pushButton_plotPause, &QPushButton::setChecked);
    connect(ui->pushButton_plotPause, &QPushButton::toggled, pauseAction, &QAction::setChecked);
    connect(ui->pushButton_plotPause, &QPushButton::toggled, m_view, &PlotView::setPaused);
    auto *saveSamplesAction = new QAction(tr("保存数据(CSV)"), this);
    connect(saveSamplesAction, &QAction::triggered, this, &Plotter::saveSamples);
    auto *saveScreenAction = new QAction(tr("保存图像(PNG)"), this);
    connect(saveScreenAction, &QAction::triggered, this, &Plotter::saveScreen);
    m_view->addActions({ pauseAction, saveSamplesAction, saveScreenAction });
    m_view->setContextMenuPolicy(Qt::ActionsContextMenu);
    // One pause for every view.
    connect(ui->pushButton_plotPause, &QPushButton::toggled, m_spectrum, &SpectrumPage::setPaused);
    m_spectrum->addPauseAction(pauseAction);
    connect(ui->pushButton_plotPause, &QPushButton::toggled, m_xy, &XYPage::setPaused);
    connect(m_xy, &XYPage::pauseToggled, ui->pushButton_plotPause, &QPushButton::setChecked);
    connect(m_xy, &XYPage::cursorText, this, &Plotter::showCursor);

    m_triggerPanel->setMaximumWidth(ui->treeWidget_legend->maximumWidth());
    m_triggerPanel->setLevelBound(ui->doubleSpinBox_yMax->maximum());
    ui->verticalLayout_side->addWidget(m_triggerPanel);
    connect(m_triggerPanel, &TriggerPanel::changed, this, &Plotter::applyTrigger);
    connect(m_triggerPanel, &TriggerPanel::rearmClicked, this, [this] {
        m_view->rearmTrigger();
        m_triggerPanel->setState(m_view->triggerState());
    });
    applyXAxis();
    applyYAxis();
    setFramingChoice(PlotFraming::Auto);
    connect(m_refreshTimer, &QTimer::timeout, this, &Plotter::refresh);
    m_refreshTimer->start(kRefreshMs);
}

Plotter::~Plotter()
{
    delete ui;
    delete m_view;
}

void Plotter::handleData(QByteArray &buffer)
{
    if (!m_decoder) {
        // 自动: the first bytes wait here until they tell the framing.
        m_head += buffer;
        buffer.clear();
        const std::optional<PlotFraming> framing = PlotFramingDetector::detect(m_head);
        if (!framing)
            return;
        startDecoder(*framing);
        buffer.swap(m_head);
    }
    decode(buffer);
}

std::optional<FrameTotals> Plotter::frameTotals() const
{
    const PlotStats s = stats();
    FrameCounts counts;
    counts.frames = s.frames;
    counts.garbageBytes = s.garbageBytes;
    counts.resyncs = s.resyncs;
    return FrameTotals { FrameHealth::Kind::Scope, counts };
}

PlotFraming Plotter::framingChoice() const
{
    return kFramings[ui->comboBox_framing->currentIndex()];
}

void Plotter::setFramingChoice(PlotFraming framing)
{
    const int index = int(std::find(std::begin(kFramings), std::end(kFramings), framing)
                          - std::begin(kFramings));
    ui->comboBox_framing->setCurrentIndex(index);
    m_head.clear();
    m_decoder.reset();
    m_view->setChannelCount(0);
    m_xy->clearSeries();
    ui->treeWidget_legend->clear();
    m_triggerPanel->setSourceNames({});
    m_firstStampMs = qQNaN();
    if (framing == PlotFraming::Auto)
        ui->label_detected->setText(tr("等待数据…"));
    else
        startDecoder(framing);
}

std::optional<PlotFraming> Plotter::activeFraming() const
{
    return m_decoder ? std::optional(m_decoder->framing()) : std::nullopt;
}

PlotStats Plotter::stats() const
{
    return m_decoder ? m_decoder->stats() : PlotStats();
}

QStringList Plotter::logLines() const
{
    return ui->plainTextEdit_log->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void Plotter::startDecoder(PlotFraming framing)
{
    m_decoder = PlotDecoder::create(framing);
    ui->label_detected->setText(framingChoice() == PlotFraming::Auto
                                        ? tr("识别为 %1").arg(PlotDecoder::framingName(framing))
                                        : QString());
}

void Plotter::decode(QByteArray &buffer)
{
    m_batch.clear();
    m_decoder->decode(buffer, m_batch);
    const double arrival = m_clock.elapsed() / 1000.0;
    for (const PlotRow &row : m_batch.rows) {
        if (row.channelCount != m_view->channelCount())
            syncChannels(row.channelCount);
        double seconds = arrival;
        if (!std::isnan(row.timeMs)) {
            if (std::isnan(m_firstStampMs))
                m_firstStampMs = row.timeMs;
            seconds = (row.timeMs - m_firstStampMs) / 1000.0;
        }
        for (int n = 0; n < row.count; ++n)
            m_view->addSample(row.channel + n, float(m_batch.values[row.offset + n]), seconds);
    }
    if (!m_batch.xyPoints.isEmpty())
        m_xy->addPoints(m_batch.xyPoints, m_decoder->xySeriesNames());
    if (!m_batch.log.isEmpty())
        ui->plainTextEdit_log->appendPlainText(m_batch.log.join(QLatin1Char('\n')));
}

// The view and the legend follow the decoder's channels: a frame of another
// length changes their number, a new name adds one. The decoder may have
// changed them again later in the same batch: only names that only grow
// are read from it, the others are the unnamed framings' CH1, CH2...
void Plotter::syncChannels(int count)
{
    QStringList names = m_decoder->channelNames().mid(0, count);
    QStringList units = m_decoder->channelUnits().mid(0, count);
    while (names.size() < count) {
        names.append(PlotDecoder::defaultName(int(names.size())));
        units.append(QString());
    }
    const QSignalBlocker blocker(ui->treeWidget_legend);
    m_view->setChannelCount(count);
    while (ui->treeWidget_legend->topLevelItemCount() > count)
        delete ui->treeWidget_legend->takeTopLevelItem(count);
    for (int channel = 0; channel < count; ++channel) {
        QString name = names[channel];
        if (!units[channel].isEmpty())
            name += QStringLiteral(" (%1)").arg(units[channel]);
        if (channel >= ui->treeWidget_legend->topLevelItemCount())
            addLegendItem(channel);
        QTreeWidgetItem *item = ui->treeWidget_legend->topLevelItem(channel);
        if (m_view->channelName(channel) != names[channel]) {
            m_view->setChannelName(channel, names[channel]);
            const bool visible = !m_hidden.contains(names[channel]);
            m_view->setChannelVisible(channel, visible);
            item->setCheckState(0, visible ? Qt::Checked : Qt::Unchecked);
        }
        item->setText(0, name);
    }
    QStringList sources;
    for (int channel = 0; channel < count; ++channel)
        sources.append(m_view->channelName(channel));
    m_triggerPanel->setSourceNames(sources);
}

void Plotter::addLegendItem(int channel)
{
    auto *item = new QTreeWidgetItem(ui->treeWidget_legend);
    QPixmap swatch(10, 10);
    swatch.fill(m_view->channelColour(channel));
    item->setIcon(0, QIcon(swatch));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    const bool visible = !m_hidden.contains(m_view->channelName(channel));
    m_view->setChannelVisible(channel, visible);
    item->setCheckState(0, visible ? Qt::Checked : Qt::Unchecked);
}

void Plotter::refresh()
{
    m_view->refresh();
    if (currentView() == View::XY)
        m_xy->refresh();
    if (m_view->triggerOn())
        m_triggerPanel->setState(m_view->triggerState());
    if (currentView() == View::Spectrum)
        m_spectrum->refresh(*m_view);
    if (++m_legendRefreshes < kLegendEvery)
        return;
    m_legendRefreshes = 0;
    const QSignalBlocker blocker(ui->treeWidget_legend);
    for (int channel = 0; channel < m_view->channelCount(); ++channel) {
        if (QTreeWidgetItem *item = ui->treeWidget_legend->topLevelItem(channel)) {
            const double value = m_view->latestValue(channel);
            item->setText(1,
                          std::isnan(value) && m_view->history(channel).size() == 0
                                  ? QStringLiteral("-")
                                  : QString::number(value, 'g', 6));
        }
    }
    showStatistics(stats());
}

void Plotter::showStatistics(const PlotStats &s)
{
    ui->label_stats->setText(
            tr("帧 %1 · 值 %2 · 丢弃 %3 · 重同步 %4 · 非数 %5 · 文本 %6")
                    .arg(FrameHealth::countText(s.frames), FrameHealth::countText(s.values),
                         FrameHealth::byteText(s.garbageBytes), FrameHealth::countText(s.resyncs),
                         FrameHealth::countText(s.nonFinite), FrameHealth::countText(s.textLines)));
}

// Many channels make a long line: it ends where the label does.
void Plotter::showCursor(const QString &text)
{
    ui->label_readout->setText(ui->label_readout->fontMetrics().elidedText(
            text, Qt::ElideRight, ui->label_readout->width()));
}

Plotter::View Plotter::currentView() const
{
    return View(ui->comboBox_view->currentIndex());
}

void Plotter::setView(View view)
{
    ui->comboBox_view->setCurrentIndex(int(view));
}

// The time view's own controls show with it.
void Plotter::applyView()
{
    const bool time = currentView() == View::Time;
    m_pages->setCurrentIndex(int(currentView()));
    const QList<QWidget *> timeControls { ui->label_xAxis, ui->comboBox_xAxis,
                                          ui->label_yAxis, ui->comboBox_yAxis,
                                          ui->label_yMin,  ui->doubleSpinBox_yMin,
                                          ui->label_yMax,  ui->doubleSpinBox_yMax };
    for (QWidget *widget : timeControls)
        widget->setVisible(time);
    m_triggerPanel->setVisible(time);
    applyXAxis();
}

void Plotter::applyXAxis()
{
    const bool time = currentView() == View::Time;
    const bool seconds = ui->comboBox_xAxis->currentIndex() == 1;
    ui->spinBox_windowSamples->setVisible(time && !seconds);
    ui->doubleSpinBox_windowSeconds->setVisible(time && seconds);
    m_view->setWindowSamples(ui->spinBox_windowSamples->value());
    m_view->setWindowSeconds(ui->doubleSpinBox_windowSeconds->value());
    m_view->setXAxis(seconds ? PlotView::XAxis::Seconds : PlotView::XAxis::Samples);
    // Sweeps are counted in samples: the seconds axis always rolls.
    m_triggerPanel->setEnabled(!seconds);
    m_triggerPanel->setToolTip(seconds ? tr("触发只用于样本X轴") : QString());
}

void Plotter::applyTrigger()
{
    m_view->setTrigger(m_triggerPanel->isOn(), m_triggerPanel->source(),
                       m_triggerPanel->settings());
    m_triggerPanel->setState(m_view->triggerState());
    m_view->refresh();
}

void Plotter::applyYAxis()
{
    const bool fixed = ui->comboBox_yAxis->currentIndex() == 1;
    ui->doubleSpinBox_yMin->setEnabled(fixed);
    ui->doubleSpinBox_yMax->setEnabled(fixed);
    const double minimum = ui->doubleSpinBox_yMin->value();
    const double maximum = ui->doubleSpinBox_yMax->value();
    // A fixed range needs its maximum above its minimum; until then it stays.
    if (fixed && maximum > minimum)
        m_view->setFixedRange(minimum, maximum);
    else if (!fixed)
        m_view->setAutoRange();
}

QString Plotter::settingsGroup() const
{
    return QStringLiteral("plotter");
}

void Plotter::saveSettings(SettingsGroup &group) const
{
    group.write(kFraming, PlotDecoder::framingName(framingChoice()));
    QStringList hidden = m_hidden.values();
    hidden.sort();
    group.write(kHidden, hidden);
    group.write(kYAxis, kYAxisNames[ui->comboBox_yAxis->currentIndex()]);
    group.write(kYMinimum, ui->doubleSpinBox_yMin->value());
    group.write(kYMaximum, ui->doubleSpinBox_yMax->value());
    group.write(kXAxis, kXAxisNames[ui->comboBox_xAxis->currentIndex()]);
    group.write(kWindowSamples, ui->spinBox_windowSamples->value());
    group.write(kWindowSeconds, ui->doubleSpinBox_windowSeconds->value());
    group.write(kView, kViewNames[ui->comboBox_view->currentIndex()]);
    m_xy->saveSettings(group);
    m_triggerPanel->save(group);
    m_spectrum->saveSettings(group);
}

void Plotter::restoreSettings(const SettingsGroup &group)
{
    if (const auto framing = group.readChoice(kFraming, framingNames()))
        setFramingChoice(kFramings[*framing]);
    if (const auto hidden = group.readTextList(kHidden, PlotDecoder::kMaxChannels, 200)) {
        m_hidden = QSet<QString>(hidden->begin(), hidden->end());
        for (int channel = 0; channel < m_view->channelCount(); ++channel) {
            if (QTreeWidgetItem *item = ui->treeWidget_legend->topLevelItem(channel))
                item->setCheckState(0,
                                    m_hidden.contains(m_view->channelName(channel)) ? Qt::Unchecked
                                                                                    : Qt::Checked);
        }
    }
    const auto minimum = group.readDouble(kYMinimum, -kLimitBound, kLimitBound);
    const auto maximum = group.readDouble(kYMaximum, -kLimitBound, kLimitBound);
    if (minimum && maximum && *maximum > *minimum) {
        const QSignalBlocker blockMinimum(ui->doubleSpinBox_yMin);
        const QSignalBlocker blockMaximum(ui->doubleSpinBox_yMax);
        ui->doubleSpinBox_yMin->setValue(*minimum);
        ui->doubleSpinBox_yMax->setValue(*maximum);
    }
    if (const auto yAxis = group.readChoice(kYAxis, kYAxisNames))
        ui->comboBox_yAxis->setCurrentIndex(*yAxis);
    applyYAxis();
    if (const auto samples
        = group.readInt(kWindowSamples, PlotView::kMinWindowSamples, PlotView::kMaxWindowSamples))
        ui->spinBox_windowSamples->setValue(*samples);
    if (const auto seconds = group.readDouble(kWindowSeconds, PlotView::kMinWindowSeconds,
                                              PlotView::kMaxWindowSeconds))
        ui->doubleSpinBox_windowSeconds->setValue(*seconds);
    if (const auto xAxis = group.readChoice(kXAxis, kXAxisNames))
        ui->comboBox_xAxis->setCurrentIndex(*xAxis);
    applyXAxis();
    if (const auto view = group.readChoice(kView, kViewNames))
        ui->comboBox_view->setCurrentIndex(*view);
    m_xy->restoreSettings(group);
    m_triggerPanel->restore(group);
    m_spectrum->restoreSettings(group);
}

// The curves as the screen shows them: each channel's samples in the window
// that ends at the screen's right edge, also while paused or triggered.
void Plotter::saveSamples()
{
    QStringList names;
    QList<QList<float>> values;
    QList<float> seconds;
    const bool bySeconds = m_view->xAxis() == PlotView::XAxis::Seconds;
    const double oldestSecond = m_view->shownNewestSeconds() - m_view->windowSeconds();
    for (int channel = 0; channel < m_view->channelCount(); ++channel) {
        const PlotHistory &history = m_view->history(channel);
        const qint64 first = history.total() - history.size();
        const qsizetype end
                = qsizetype(qBound<qint64>(0, m_view->shownEnd(channel) - first, history.size()));
        qsizetype begin = qMax<qsizetype>(0, end - m_view->windowSamples());
        if (bySeconds) {
            begin = end;
            while (begin > 0 && history.seconds(begin - 1) >= oldestSecond)
                --begin;
        }
        QList<float> store;
        store.reserve(end - begin);
        const bool longest = end - begin > seconds.size();
        if (longest)
            seconds.clear();
        for (qsizetype i = begin; i < end; ++i) {
            store.append(history.value(i));
            if (longest)
                seconds.append(history.seconds(i));
        }
        names << m_view->channelName(channel);
        values << store;
    }
    exportFile(this, QStringLiteral("plot"), QStringLiteral("csv"), tr("CSV文件(*.csv)"),
               [&] { return plotSamplesCsv(names, values, seconds); });
}

void Plotter::saveScreen()
{
    const QImage screen = m_view->screenImage();
    exportFile(this, QStringLiteral("plot"), QStringLiteral("png"), tr("PNG图像(*.png)"),
               [&screen] { return pngBytes(screen); });
}

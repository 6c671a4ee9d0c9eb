#include "oscilloscope.h"
#include "ui_oscilloscope.h"

#include "csvformat.h"
#include "exportdialogs.h"
#include "oscilloscopewave.h"
#include "triggerpanel.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QSignalBlocker>

#include <cmath>

namespace {

const QString kChannel = QStringLiteral("channel");
const QString kVerticalDial = QStringLiteral("verticalDial");
const QString kHorizontalScale = QStringLiteral("horizontalScale");
// Far beyond what the limit boxes take, which setLimits() checks; it only
// keeps nonsense out of the arithmetic.
constexpr double kLimitBound = 1e6;

// Numbered 1..4, as on the channel buttons.
QString channelKey(int ch, const char *name)
{
    return QStringLiteral("ch%1/%2").arg(ch + 1).arg(QLatin1String(name));
}

} // namespace

Oscilloscope::Oscilloscope(QWidget *parent)
    : QWidget(parent)
    , m_chMin { 0.0, 0.0, 0.0, 0.0 }
    , m_chSpan { 5.0, 5.0, 5.0, 5.0 }
    , ui(new Ui::Oscilloscope)
    , m_wave(new OscilloscopeWave(nullptr))
    , m_pauseAction(nullptr)
    , m_triggerPanel(new TriggerPanel(false, nullptr))
{
    ui->setupUi(this);
    auto *waveLayout = new QHBoxLayout(ui->frame_wave);
    waveLayout->addWidget(m_wave);

    for (int ch = 0; ch < 4; ++ch) {
        maxBox(ch)->setValue(5.0);
        minBox(ch)->setValue(0.0);
        m_chMin[ch] = 0.0;
        m_chSpan[ch] = 5.0;
        // Typed limits are checked once committed (Enter, leaving the box),
        // not at every keystroke: on the way to 0.5 the box holds 0, which
        // the rule would refuse. The arrows still commit each step.
        maxBox(ch)->setKeyboardTracking(false);
        minBox(ch)->setKeyboardTracking(false);
    }

    m_wave->setCurCh(0);
    m_wave->setYScaleIndex(5);

    // The space bar reaches the screen itself, so the menu only names it.
    m_pauseAction = new QAction(tr("暂停\t空格"), this);
    m_pauseAction->setCheckable(true);
    connect(m_pauseAction, &QAction::toggled, m_wave, &OscilloscopeWave::setPaused);
    connect(m_wave, &OscilloscopeWave::pausedChanged, m_pauseAction, &QAction::setChecked);
    auto *saveSamplesAction = new QAction(tr("保存数据(CSV)"), this);
    connect(saveSamplesAction, &QAction::triggered, this, &Oscilloscope::saveSamples);
    auto *saveScreenAction = new QAction(tr("保存图像(PNG)"), this);
    connect(saveScreenAction, &QAction::triggered, this, &Oscilloscope::saveScreen);
    m_wave->addActions({ m_pauseAction, saveSamplesAction, saveScreenAction });
    m_wave->setContextMenuPolicy(Qt::ActionsContextMenu);

    // As wide as the panels above and below it; the spacer gives up the room.
    m_triggerPanel->setFixedWidth(ui->frame_2->width());
    m_triggerPanel->setSourceNames({ QStringLiteral("CH1"), QStringLiteral("CH2"),
                                     QStringLiteral("CH3"), QStringLiteral("CH4") });
    m_triggerPanel->setUnit(QStringLiteral("V"));
    // As far as the limit boxes reach.
    m_triggerPanel->setLevelBound(ui->doubleSpinBox_ch1max->maximum());
    Trigger::Settings middle;
    // Halfway up the limits a channel starts with.
    middle.level = 2.5;
    m_triggerPanel->setSettings(middle);
    ui->verticalLayout_4->insertWidget(ui->verticalLayout_4->indexOf(ui->pushButton_clear) + 1,
                                       m_triggerPanel);
    connect(m_triggerPanel, &TriggerPanel::changed, this, &Oscilloscope::applyTrigger);
    connect(m_triggerPanel, &TriggerPanel::rearmClicked, this, [this] {
        m_wave->rearmTrigger();
        m_triggerPanel->setState(m_wave->triggerState());
    });
}

Oscilloscope::~Oscilloscope()
{
    delete ui;
    delete m_wave;
}

void Oscilloscope::handleData(QByteArray &buffer)
{
    const QList<ScopeFrame> frames = m_decoder.takeFrames(buffer);
    for (const ScopeFrame &frame : frames) {
        for (int ch = 0; ch < 4; ++ch)
            m_wave->addData(ch, scopeVoltage(frame.raw[ch], m_chMin[ch], m_chSpan[ch]));
        m_wave->endFrame();
    }
    if (m_wave->triggerOn())
        m_triggerPanel->setState(m_wave->triggerState());
}

QString Oscilloscope::settingsGroup() const
{
    return QStringLiteral("scope");
}

void Oscilloscope::saveSettings(SettingsGroup &group) const
{
    for (int ch = 0; ch < 4; ++ch) {
        group.write(channelKey(ch, "scale"), channelScaleIndex(ch));
        group.write(channelKey(ch, "maximum"), maxBox(ch)->value());
        group.write(channelKey(ch, "minimum"), minBox(ch)->value());
    }
    group.write(kChannel, m_wave->curCh() + 1);
    group.write(kVerticalDial, ui->dial_yScaleIndex->value());
    group.write(kHorizontalScale, ui->dial_xScaleIndex->value());
    m_triggerPanel->save(group);
}

void Oscilloscope::restoreSettings(const SettingsGroup &group)
{
    for (int ch = 0; ch < 4; ++ch) {
        if (const auto scale = group.readInt(channelKey(ch, "scale"), 0, kMaxScaleIndex))
            setChannelScaleIndex(ch, *scale);
        const auto maximum = group.readDouble(channelKey(ch, "maximum"), -kLimitBound, kLimitBound);
        const auto minimum = group.readDouble(channelKey(ch, "minimum"), -kLimitBound, kLimitBound);
        // A limit on its own could break the rule with the other box's value.
        if (maximum && minimum)
            setLimits(ch, *maximum, *minimum);
    }
    if (const auto channel = group.readInt(kChannel, 1, 4))
        m_wave->setCurCh(*channel - 1);
    QDial *vertical = ui->dial_yScaleIndex;
    if (const auto position
        = group.readInt(kVerticalDial, vertical->minimum(), vertical->maximum())) {
        // The dial alone: each channel's scale came with the channel.
        const QSignalBlocker blocker(vertical);
        vertical->setValue(*position);
    }
    QDial *horizontal = ui->dial_xScaleIndex;
    // The dial tells the screen, as when turned.
    if (const auto index
        = group.readInt(kHorizontalScale, horizontal->minimum(), horizontal->maximum()))
        horizontal->setValue(*index);
    m_triggerPanel->restore(group);
}

int Oscilloscope::channelScaleIndex(int ch) const
{
    return m_wave->yScaleIndex(ch);
}

bool Oscilloscope::setChannelScaleIndex(int ch, int index)
{
    if (ch < 0 || ch >= 4 || index < 0 || index > kMaxScaleIndex)
        return false;
    const int current = m_wave->curCh();
    m_wave->setCurCh(ch);
    m_wave->setYScaleIndex(index);
    m_wave->setCurCh(current);
    return true;
}

void Oscilloscope::on_pushButton_CH1_clicked()
{
    pressChannelButton(0);
}

void Oscilloscope::on_dial_yScaleIndex_valueChanged(int value)
{
    // A channel that is off is switched on by its button, not by the dial.
    if (m_wave->curYScale() != 0)
        m_wave->setYScaleIndex(value);
}

void Oscilloscope::on_pushButton_CH2_clicked()
{
    pressChannelButton(1);
}

void Oscilloscope::on_pushButton_CH3_clicked()
{
    pressChannelButton(2);
}

void Oscilloscope::on_pushButton_CH4_clicked()
{
    pressChannelButton(3);
}

void Oscilloscope::on_dial_xScaleIndex_valueChanged(int value)
{
    m_wave->setXScaleIndex(value);
}

void Oscilloscope::on_doubleSpinBox_ch1max_valueChanged(double value)
{
    applyMaximum(0, value);
}

void Oscilloscope::on_doubleSpinBox_ch1min_valueChanged(double value)
{
    applyMinimum(0, value);
}

void Oscilloscope::on_doubleSpinBox_ch2max_valueChanged(double value)
{
    applyMaximum(1, value);
}

void Oscilloscope::on_doubleSpinBox_ch2min_valueChanged(double value)
{
    applyMinimum(1, value);
}

void Oscilloscope::on_doubleSpinBox_ch3max_valueChanged(double value)
{
    applyMaximum(2, value);
}

void Oscilloscope::on_doubleSpinBox_ch3min_valueChanged(double value)
{
    applyMinimum(2, value);
}

void Oscilloscope::on_doubleSpinBox_ch4max_valueChanged(double value)
{
    applyMaximum(3, value);
}

void Oscilloscope::on_doubleSpinBox_ch4min_valueChanged(double value)
{
    applyMinimum(3, value);
}

void Oscilloscope::on_pushButton_clear_clicked()
{
    m_wave->clearData();
    m_triggerPanel->setState(m_wave->triggerState());
}

void Oscilloscope::applyTrigger()
{
    m_wave->setTrigger(m_triggerPanel->isOn(), m_triggerPanel->source(),
                       m_triggerPanel->settings());
    m_triggerPanel->setState(m_wave->triggerState());
}

// The samples as the screen holds them when asked, also while paused.
void Oscilloscope::saveSamples()
{
    QList<double> stores[4];
    for (int ch = 0; ch < 4; ++ch)
        stores[ch] = m_wave->shownSamples(ch);
    exportFile(this, QStringLiteral("scope"), QStringLiteral("csv"), tr("CSV文件(*.csv)"),
               [&stores] { return scopeSamplesCsv(stores); });
}

void Oscilloscope::saveScreen()
{
    const QImage screen = m_wave->screenImage();
    exportFile(this, QStringLiteral("scope"), QStringLiteral("png"), tr("PNG图像(*.png)"),
               [&screen] { return pngBytes(screen); });
}

// The first press selects the channel (switching it on if it was off); each
// further press on the selected channel toggles it off and on.
void Oscilloscope::pressChannelButton(int ch)
{
    if (m_wave->curCh() != ch) {
        m_wave->setCurCh(ch);
        if (m_wave->curYScale() == 0)
            m_wave->setYScaleIndex(ui->dial_yScaleIndex->value());
    } else if (m_wave->curYScale() != 0) {
        m_wave->setYScaleIndex(0);
    } else {
        m_wave->setYScaleIndex(ui->dial_yScaleIndex->value());
    }
}

void Oscilloscope::setLimits(int ch, double maximum, double minimum)
{
    QDoubleSpinBox *maxEdit = maxBox(ch);
    QDoubleSpinBox *minEdit = minBox(ch);
    // Compared as the boxes will hold them, rounded to their decimals.
    const double scale = std::pow(10.0, maxEdit->decimals());
    const double high = std::round(maximum * scale) / scale;
    const double low = std::round(minimum * scale) / scale;
    if (!(high > low) || high > maxEdit->maximum() || low < minEdit->minimum()
        || high < maxEdit->minimum() || low > minEdit->maximum())
        return;
    // In the order that keeps the maximum above the minimum at every step,
    // so that the rule never fires.
    if (high > minEdit->value()) {
        maxEdit->setValue(high);
        minEdit->setValue(low);
    } else {
        minEdit->setValue(low);
        maxEdit->setValue(high);
    }
}

void Oscilloscope::applyMaximum(int ch, double maximum)
{
    m_chSpan[ch] = maximum - minBox(ch)->value();
    if (m_chSpan[ch] <= 0)
        rejectLimits(ch);
}

void Oscilloscope::applyMinimum(int ch, double minimum)
{
    m_chMin[ch] = minimum;
    m_chSpan[ch] = maxBox(ch)->value() - minimum;
    if (m_chSpan[ch] <= 0)
        rejectLimits(ch);
}

// The resets are ordinary value changes, so each runs its rule again and the
// channel ends at 0 V .. 1 V whatever the bad entry was.
void Oscilloscope::rejectLimits(int ch)
{
    QMessageBox::critical(this, tr("错误"), tr("最大值小于或等于最小值"), QMessageBox::Ok);
    maxBox(ch)->setValue(1.0);
    minBox(ch)->setValue(0.0);
}

QDoubleSpinBox *Oscilloscope::maxBox(int ch) const
{
    QDoubleSpinBox *const boxes[4] = { ui->doubleSpinBox_ch1max, ui->doubleSpinBox_ch2max,
                                       ui->doubleSpinBox_ch3max, ui->doubleSpinBox_ch4max };
    return boxes[ch];
}

QDoubleSpinBox *Oscilloscope::minBox(int ch) const
{
    QDoubleSpinBox *const boxes[4] = { ui->doubleSpinBox_ch1min, ui->doubleSpinBox_ch2min,
                                       ui->doubleSpinBox_ch3min, ui->doubleSpinBox_ch4min };
    return boxes[ch];
}

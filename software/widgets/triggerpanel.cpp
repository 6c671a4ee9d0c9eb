#include "triggerpanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace {

const QString kOn = QStringLiteral("trigger/enabled");
const QString kSource = QStringLiteral("trigger/source");
const QString kLevel = QStringLiteral("trigger/level");
const QString kEdge = QStringLiteral("trigger/edge");
const QString kMode = QStringLiteral("trigger/mode");
const QString kPre = QStringLiteral("trigger/preTrigger");
const QString kBand = QStringLiteral("trigger/band");
const QStringList kEdgeNames
        = { QStringLiteral("rising"), QStringLiteral("falling"), QStringLiteral("either") };
const QStringList kModeNames
        = { QStringLiteral("auto"), QStringLiteral("normal"), QStringLiteral("single") };
constexpr double kLevelBound = 1e6;
const char *const kStateTexts[] = { QT_TRANSLATE_NOOP("TriggerPanel", "等待触发"),
                                    QT_TRANSLATE_NOOP("TriggerPanel", "已触发"),
                                    QT_TRANSLATE_NOOP("TriggerPanel", "已停止") };

QDoubleSpinBox *volts(QWidget *parent, double minimum)
{
    auto *box = new QDoubleSpinBox(parent);
    box->setRange(minimum, kLevelBound);
    box->setDecimals(3);
    box->setSingleStep(0.1);
    // A typed level applies once committed, not at every keystroke.
    box->setKeyboardTracking(false);
    return box;
}

} // namespace

TriggerPanel::TriggerPanel(bool narrow, QWidget *parent)
    : QWidget(parent)
    , m_on(new QCheckBox(tr("触发"), this))
    , m_state(new QLabel(this))
    , m_rearm(new QPushButton(tr("重新触发"), this))
    , m_source(new QComboBox(this))
    , m_edge(new QComboBox(this))
    , m_mode(new QComboBox(this))
    , m_pre(new QSpinBox(this))
    , m_level(volts(this, -kLevelBound))
    , m_band(volts(this, 0))
{
    m_edge->addItems({ tr("上升"), tr("下降"), tr("双边") });
    m_mode->addItems({ tr("自动"), tr("常规"), tr("单次") });
    m_pre->setRange(int(Trigger::kMinPreTrigger * 100), int(Trigger::kMaxPreTrigger * 100));
    m_pre->setValue(50);
    m_pre->setSuffix(QStringLiteral(" %"));
    m_pre->setKeyboardTracking(false);
    m_rearm->setToolTip(tr("单次触发后再等下一次"));
    // As wide as the widest state from the start, so that the rows keep
    // their places when the state changes.
    int stateWidth = 0;
    for (const char *text : kStateTexts)
        stateWidth = std::max(stateWidth, m_state->fontMetrics().horizontalAdvance(tr(text)));
    m_state->setMinimumWidth(stateWidth);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    grid->addWidget(m_on, 0, 0, 1, 2);
    // The state beside the button, so that its width moves no column below.
    auto *stateRow = new QHBoxLayout;
    stateRow->addWidget(m_state, 1, Qt::AlignRight);
    stateRow->addWidget(m_rearm);
    grid->addLayout(stateRow, 0, 2, 1, 2);
    const auto addRow = [&](int row, const QString &first, QWidget *firstField,
                            const QString &second, QWidget *secondField) {
        grid->addWidget(new QLabel(first, this), row, 0);
        grid->addWidget(firstField, row, 1);
        grid->addWidget(new QLabel(second, this), row, 2);
        grid->addWidget(secondField, row, 3);
    };
    addRow(1, tr("源"), m_source, tr("边沿"), m_edge);
    addRow(2, tr("模式"), m_mode, tr("预触发"), m_pre);
    if (narrow) {
        grid->addWidget(new QLabel(tr("电平"), this), 3, 0);
        grid->addWidget(m_level, 3, 1, 1, 3);
        grid->addWidget(new QLabel(tr("噪声带"), this), 4, 0);
        grid->addWidget(m_band, 4, 1, 1, 3);
    } else {
        addRow(3, tr("电平"), m_level, tr("噪声带"), m_band);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    // The rows as short as the scope's limit boxes, to fit the free room.
    for (QWidget *field : std::initializer_list<QWidget *> { m_rearm, m_source, m_edge, m_mode,
                                                             m_pre, m_level, m_band })
        field->setFixedHeight(22);

    connect(m_on, &QCheckBox::toggled, this, &TriggerPanel::changed);
    connect(m_source, &QComboBox::activated, this, [this](int index) { m_wantedSource = index; });
    connect(m_rearm, &QPushButton::clicked, this, &TriggerPanel::rearmClicked);
    for (QComboBox *box : { m_source, m_edge, m_mode })
        connect(box, &QComboBox::currentIndexChanged, this, &TriggerPanel::changed);
    connect(m_pre, &QSpinBox::valueChanged, this, &TriggerPanel::changed);
    connect(m_level, &QDoubleSpinBox::valueChanged, this, &TriggerPanel::changed);
    connect(m_band, &QDoubleSpinBox::valueChanged, this, &TriggerPanel::changed);
}

bool TriggerPanel::isOn() const
{
    return m_on->isChecked();
}

void TriggerPanel::setOn(bool on)
{
    m_on->setChecked(on);
}

void TriggerPanel::setSourceNames(const QStringList &names)
{
    QStringList current;
    for (int i = 0; i < m_source->count(); ++i)
        current.append(m_source->itemText(i));
    if (current == names)
        return;
    const int before = m_source->currentIndex();
    {
        const QSignalBlocker blocker(m_source);
        m_source->clear();
        m_source->addItems(names);
        m_source->setCurrentIndex(m_wantedSource < names.size() ? m_wantedSource : 0);
    }
    if (m_source->currentIndex() != before)
        emit changed();
}

int TriggerPanel::source() const
{
    return std::max(m_source->currentIndex(), 0);
}

void TriggerPanel::setSource(int index)
{
    if (index < 0 || index >= kMaxSources)
        return;
    m_wantedSource = index;
    if (index < m_source->count())
        m_source->setCurrentIndex(index);
}

Trigger::Settings TriggerPanel::settings() const
{
    Trigger::Settings settings;
    settings.level = m_level->value();
    settings.edge = Trigger::Edge(m_edge->currentIndex());
    settings.mode = Trigger::Mode(m_mode->currentIndex());
    settings.preTrigger = m_pre->value() / 100.0;
    settings.band = m_band->value();
    return settings;
}

void TriggerPanel::setSettings(const Trigger::Settings &settings)
{
    m_level->setValue(settings.level);
    m_edge->setCurrentIndex(int(settings.edge));
    m_mode->setCurrentIndex(int(settings.mode));
    m_pre->setValue(int(std::lround(settings.preTrigger * 100)));
    m_band->setValue(settings.band);
}

void TriggerPanel::setUnit(const QString &unit)
{
    m_level->setSuffix(unit);
    m_band->setSuffix(unit);
}

void TriggerPanel::setLevelBound(double bound)
{
    m_level->setRange(-bound, bound);
    m_band->setRange(0, bound);
}

void TriggerPanel::setState(Trigger::State state)
{
    m_state->setText(isOn() ? tr(kStateTexts[int(state)]) : QString());
}

void TriggerPanel::save(SettingsGroup &group) const
{
    group.write(kOn, isOn());
    // The choice, also while the plot has fewer channels than it names.
    group.write(kSource, m_wantedSource + 1);
    group.write(kLevel, m_level->value());
    group.write(kEdge, kEdgeNames.at(m_edge->currentIndex()));
    group.write(kMode, kModeNames.at(m_mode->currentIndex()));
    group.write(kPre, m_pre->value());
    group.write(kBand, m_band->value());
}

void TriggerPanel::restore(const SettingsGroup &group)
{
    if (const auto source = group.readInt(kSource, 1, kMaxSources))
        setSource(*source - 1);
    if (const auto level = group.readDouble(kLevel, m_level->minimum(), m_level->maximum()))
        m_level->setValue(*level);
    if (const auto edge = group.readChoice(kEdge, kEdgeNames))
        m_edge->setCurrentIndex(*edge);
    if (const auto mode = group.readChoice(kMode, kModeNames))
        m_mode->setCurrentIndex(*mode);
    if (const auto pre = group.readInt(kPre, m_pre->minimum(), m_pre->maximum()))
        m_pre->setValue(*pre);
    if (const auto band = group.readDouble(kBand, m_band->minimum(), m_band->maximum()))
        m_band->setValue(*band);
    if (const auto on = group.readBool(kOn))
        setOn(*on);
}

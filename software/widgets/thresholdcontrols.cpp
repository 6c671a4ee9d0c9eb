#include "thresholdcontrols.h"

#include "algorithmdll.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>

namespace {

const QString kModeKey = QStringLiteral("mode");
const QString kThresholdKey = QStringLiteral("threshold");
const QString kPluginKey = QStringLiteral("plugin");

// By ThresholdMode, as the settings keep the mode.
const QStringList kModeNames
        = { QStringLiteral("mid"), QStringLiteral("fixed"), QStringLiteral("custom") };

} // namespace

ThresholdControls::ThresholdControls(const Widgets &widgets)
    : m_widgets(widgets)
{
    m_widgets.threshold->setRange(0, 255);
    m_widgets.slider->setRange(0, 255);
}

ThresholdMode ThresholdControls::mode() const
{
    // The buttons exclude each other, and one of them is always checked.
    if (m_widgets.fixedValue->isChecked())
        return ThresholdMode::Fixed;
    if (m_widgets.custom->isChecked())
        return ThresholdMode::Custom;
    return ThresholdMode::MidValue;
}

int ThresholdControls::fixedThreshold() const
{
    return m_widgets.threshold->value();
}

QString ThresholdControls::algorithmPath() const
{
    return m_imgProc ? m_widgets.algorithmName->text() : QString();
}

bool ThresholdControls::spinBoxChanged(int value)
{
    m_widgets.slider->setValue(value);
    return m_widgets.fixedValue->isChecked();
}

void ThresholdControls::sliderChanged(int value)
{
    m_widgets.threshold->setValue(value);
}

void ThresholdControls::chooseAlgorithm()
{
    QString dllName;
    openAlgorithmDll(dllName, m_imgProc);
    // Empty after a cancel or a refused file, which leave the name shown.
    if (!dllName.isEmpty())
        m_widgets.algorithmName->setText(dllName);
}

void ThresholdControls::chooseAlgorithmIfNone()
{
    if (!m_imgProc)
        chooseAlgorithm();
}

bool ThresholdControls::loadAlgorithmQuietly(const QString &path)
{
    const AlgorithmLoadResult result = loadAlgorithmLibrary(path);
    if (result.status != AlgorithmLoadResult::Loaded)
        return false;
    m_imgProc = result.imgProc;
    m_widgets.algorithmName->setText(result.fileName);
    return true;
}

void ThresholdControls::save(SettingsGroup &group) const
{
    group.write(kModeKey, kModeNames.at(int(mode())));
    group.write(kThresholdKey, fixedThreshold());
    group.writePath(kPluginKey, algorithmPath());
}

bool ThresholdControls::restore(const SettingsGroup &group)
{
    bool taken = false;
    if (const auto path = group.readFilePath(kPluginKey))
        taken = loadAlgorithmQuietly(*path);
    QSpinBox *threshold = m_widgets.threshold;
    if (const auto value = group.readInt(kThresholdKey, threshold->minimum(), threshold->maximum()))
        threshold->setValue(*value);
    if (const auto index = group.readChoice(kModeKey, kModeNames)) {
        QRadioButton *const buttons[]
                = { m_widgets.midValue, m_widgets.fixedValue, m_widgets.custom };
        buttons[*index]->setChecked(true);
        taken = true;
    }
    return taken;
}

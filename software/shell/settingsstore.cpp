#include "settingsstore.h"

#include "languagebutton.h"
#include "mainwindow.h"
#include "serialpanel.h"
#include "startoptions.h"
#include "tuningdock.h"

#include <QSettings>

namespace {

const QString kPort = QStringLiteral("serial/port");
const QString kBaudRate = QStringLiteral("serial/baudRate");
const QString kTab = QStringLiteral("window/tab");
const QString kLanguage = QStringLiteral("window/language");

} // namespace

SettingsStore::SettingsStore(QSettings &settings)
    : m_settings(settings)
{ }

std::optional<UiLanguage> SettingsStore::rememberedLanguage() const
{
    return LanguageButton::rememberedLanguage(read(QStringLiteral("window")));
}

void SettingsStore::restore(MainWindow &window)
{
    for (SettingsPart *part : window.settingsParts())
        part->restoreSettings(read(part->settingsGroup()));
}

void SettingsStore::applyForThisRun(MainWindow &window, const StartOptions &options)
{
    SerialPanel *panel = window.serialPanel();
    if (options.port) {
        panel->setPortEntry(*options.port);
        m_runValues.insert(kPort, panel->portEntry());
    }
    if (options.baudRate && panel->setBaudRate(*options.baudRate))
        m_runValues.insert(kBaudRate, *options.baudRate);
    if (options.tab && window.setCurrentTab(*options.tab))
        m_runValues.insert(kTab, *options.tab);
    if (options.params)
        window.tuningDock()->setParamSetForThisRun(*options.params);
    if (options.language) {
        window.languageButton()->setChosen(*options.language);
        m_runValues.insert(kLanguage, uiLanguageCode(*options.language));
    }
}

void SettingsStore::save(const MainWindow &window)
{
    // A language picked in the window is remembered even when it is the one
    // the command line chose for this run.
    if (window.languageButton()->pickedByUser())
        m_runValues.remove(kLanguage);
    for (const SettingsPart *part : window.settingsParts()) {
        SettingsGroup group;
        part->saveSettings(group);
        const QVariantMap &values = group.values();
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            write(part->settingsGroup() + u'/' + it.key(), it.value());
    }
    m_settings.sync();
}

SettingsGroup SettingsStore::read(const QString &group) const
{
    QVariantMap values;
    m_settings.beginGroup(group);
    for (const QString &key : m_settings.allKeys())
        values.insert(key, m_settings.value(key));
    m_settings.endGroup();
    return SettingsGroup(values);
}

void SettingsStore::write(const QString &key, const QVariant &value)
{
    // A value the command line chose and the user kept is this run's only.
    const auto run = m_runValues.constFind(key);
    if (run != m_runValues.constEnd() && *run == value)
        return;
    if (value.isValid())
        m_settings.setValue(key, value);
    else
        m_settings.remove(key);
}

#ifndef SETTINGSSTORE_H
#define SETTINGSSTORE_H

#include "settingsgroup.h"
#include "uilanguage.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <optional>

class MainWindow;
class QSettings;
struct StartOptions;

// What the program remembers between runs, part by part: each part of the
// window (the window itself, the serial panel, the status bar, every tab)
// reads and writes its own group of values and checks them itself; the store
// only walks the parts and moves their groups in and out of the settings.
// A file that cannot be read leaves every part as it is.
class SettingsStore
{
public:
    // settings must outlive the store.
    explicit SettingsStore(QSettings &settings);

    // The language chosen for the texts, read before the window is built.
    std::optional<UiLanguage> rememberedLanguage() const;
    // Puts the remembered values into window's parts.
    void restore(MainWindow &window);
    // Puts the command line's choices into window for this run. Unless the
    // user changes them, save() leaves the remembered values in their place.
    void applyForThisRun(MainWindow &window, const StartOptions &options);
    // Remembers what window's parts show now.
    void save(const MainWindow &window);

private:
    SettingsGroup read(const QString &group) const;
    void write(const QString &key, const QVariant &value);

    QSettings &m_settings;
    // Values the command line chose for this run, by key.
    QHash<QString, QVariant> m_runValues;
};

#endif // SETTINGSSTORE_H

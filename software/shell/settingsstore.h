#ifndef SETTINGSSTORE_H
#define SETTINGSSTORE_H

#include "uilanguage.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

class MainWindow;
class QSettings;
struct StartOptions;

// What the program remembers between runs: the serial panel, the current tab
// and the tabs' settings and the window's place and size.
//
// Every value is read on its own and used only when it makes sense: a
// missing value, one of the wrong type or out of range, a file that cannot be
// read, each leave the window's own value in place. Remembering one more
// value is a line in restore() and one in save().
class SettingsStore
{
public:
    // settings must outlive the store.
    explicit SettingsStore(QSettings &settings);

    // The language chosen for the texts, read before the window is built.
    std::optional<UiLanguage> rememberedLanguage() const;
    // Puts the remembered values into window.
    void restore(MainWindow &window);
    // Puts the command line's choices into window for this run. Unless the
    // user changes them, save() leaves the remembered values in their place.
    void applyForThisRun(MainWindow &window, const StartOptions &options);
    // Remembers what window shows now.
    void save(const MainWindow &window);

    // The typed readers behind restore(), each giving nothing for a missing
    // value, one of another type or one outside its range.
    std::optional<int> readInt(const QString &key, int minimum, int maximum) const;
    std::optional<double> readDouble(const QString &key, double minimum, double maximum) const;
    std::optional<bool> readBool(const QString &key) const;
    // Text of at most maxLength characters, none of them a control character.
    std::optional<QString> readText(const QString &key, int maxLength) const;
    // At most maxCount texts of at most maxLength characters each, without
    // control characters other than line feeds and tabs.
    std::optional<QStringList> readTextList(const QString &key, int maxCount, int maxLength) const;
    // The index in choices of the text stored under key.
    std::optional<int> readChoice(const QString &key, const QStringList &choices) const;
    std::optional<QByteArray> readBytes(const QString &key, int maxSize) const;

private:
    void write(const QString &key, const QVariant &value);

    QSettings &m_settings;
    // Values the command line chose for this run, by key.
    QHash<QString, QVariant> m_runValues;
};

#endif // SETTINGSSTORE_H

#ifndef SETTINGSGROUP_H
#define SETTINGSGROUP_H

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <optional>

// The remembered values of one part of the program, by their keys within the
// part's group ("port" of "serial", "ch1/scale" of "scope"), as the settings
// keep them. A part reads each value on its own and uses it only when it
// makes sense: the readers give nothing for a missing value, one of the wrong
// type and one out of range, so that the part's own value stays in place.
class SettingsGroup
{
public:
    SettingsGroup() = default;
    explicit SettingsGroup(QVariantMap values);

    // What was written, by key. An invalid value means: forget the key.
    const QVariantMap &values() const { return m_values; }

    void write(const QString &key, const QVariant &value);
    // A path, or nothing remembered for an empty one.
    void writePath(const QString &key, const QString &path);

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
    // An absolute path to an existing file: a plug-in is loaded from exactly
    // there and never searched for elsewhere.
    std::optional<QString> readFilePath(const QString &key) const;

    // A port name or a device path, and a plug-in's path.
    static constexpr int kMaxPathLength = 4096;

private:
    QVariantMap m_values;
};

#endif // SETTINGSGROUP_H

#include "settingsgroup.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <utility>

namespace {

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

} // namespace

SettingsGroup::SettingsGroup(QVariantMap values)
    : m_values(std::move(values))
{ }

void SettingsGroup::write(const QString &key, const QVariant &value)
{
    m_values.insert(key, value);
}

void SettingsGroup::writePath(const QString &key, const QString &path)
{
    // Without a plug-in nothing is loaded at the next start either.
    write(key, path.isEmpty() ? QVariant() : QVariant(path));
}

std::optional<int> SettingsGroup::readInt(const QString &key, int minimum, int maximum) const
{
    const QVariant value = m_values.value(key);
    bool ok = false;
    qlonglong number = 0;
    // Text files keep numbers as text; other stores keep their types.
    if (value.typeId() == QMetaType::QString)
        number = value.toString().toLongLong(&ok, 10);
    else if (isNumber(value))
        number = value.toLongLong(&ok);
    if (!ok || number < minimum || number > maximum)
        return std::nullopt;
    return int(number);
}

std::optional<double> SettingsGroup::readDouble(const QString &key, double minimum,
                                                double maximum) const
{
    const QVariant value = m_values.value(key);
    bool ok = false;
    double number = 0;
    if (value.typeId() == QMetaType::QString)
        number = value.toString().toDouble(&ok);
    else if (value.typeId() == QMetaType::Double || isNumber(value))
        number = value.toDouble(&ok);
    if (!ok || !std::isfinite(number) || number < minimum || number > maximum)
        return std::nullopt;
    return number;
}

std::optional<bool> SettingsGroup::readBool(const QString &key) const
{
    const QVariant value = m_values.value(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    // Not QVariant's own conversion, which takes any other text for true.
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (text == QLatin1String("true"))
            return true;
        if (text == QLatin1String("false"))
            return false;
    }
    return std::nullopt;
}

std::optional<QString> SettingsGroup::readText(const QString &key, int maxLength) const
{
    const QVariant value = m_values.value(key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString text = value.toString();
    if (text.size() > maxLength)
        return std::nullopt;
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return std::nullopt;
    }
    return text;
}

std::optional<QStringList> SettingsGroup::readTextList(const QString &key, int maxCount,
                                                       int maxLength) const
{
    const auto found = m_values.constFind(key);
    if (found == m_values.constEnd())
        return std::nullopt;
    const QVariant &value = *found;
    QStringList list;
    // A text file keeps a list of one as a plain text, and an empty one as
    // no valid value.
    if (value.typeId() == QMetaType::QString)
        list.append(value.toString());
    else if (value.typeId() == QMetaType::QStringList)
        list = value.toStringList();
    else if (!value.isValid())
        return QStringList();
    else
        return std::nullopt;
    if (list.size() > maxCount)
        return std::nullopt;
    for (const QString &text : std::as_const(list)) {
        if (text.size() > maxLength)
            return std::nullopt;
        for (const QChar c : text) {
            if (c.category() == QChar::Other_Control && c != u'\n' && c != u'\t')
                return std::nullopt;
        }
    }
    return list;
}

std::optional<int> SettingsGroup::readChoice(const QString &key, const QStringList &choices) const
{
    const auto text = readText(key, 64);
    if (!text)
        return std::nullopt;
    const int index = int(choices.indexOf(*text));
    if (index < 0)
        return std::nullopt;
    return index;
}

std::optional<QByteArray> SettingsGroup::readBytes(const QString &key, int maxSize) const
{
    const QVariant value = m_values.value(key);
    if (value.typeId() != QMetaType::QByteArray || value.toByteArray().size() > maxSize)
        return std::nullopt;
    return value.toByteArray();
}

std::optional<QString> SettingsGroup::readFilePath(const QString &key) const
{
    const auto path = readText(key, kMaxPathLength);
    if (!path)
        return std::nullopt;
    const QFileInfo info(*path);
    if (!info.isAbsolute() || !info.isFile())
        return std::nullopt;
    return QDir::cleanPath(info.absoluteFilePath());
}

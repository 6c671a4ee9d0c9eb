#include "settingsstore.h"

#include "ccd.h"
#include "startoptions.h"
#include "languagebutton.h"
#include "linearccd.h"
#include "mainwindow.h"
#include "statusbarpanel.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <cmath>
#include <limits>

namespace {

const QString kPort = QStringLiteral("serial/port");
const QString kBaudRate = QStringLiteral("serial/baudRate");
const QString kParity = QStringLiteral("serial/parity");
const QString kDataBits = QStringLiteral("serial/dataBits");
const QString kStopBits = QStringLiteral("serial/stopBits");
const QString kAutoReconnect = QStringLiteral("serial/autoReconnect");
const QString kGeometry = QStringLiteral("window/geometry");
const QString kTab = QStringLiteral("window/tab");
const QString kLanguage = QStringLiteral("window/language");
const QString kLinearMode = QStringLiteral("linearccd/mode");
const QString kLinearThreshold = QStringLiteral("linearccd/threshold");
const QString kLinearPlugin = QStringLiteral("linearccd/plugin");
const QString kCameraMode = QStringLiteral("camera/mode");
const QString kCameraThreshold = QStringLiteral("camera/threshold");
const QString kCameraWidth = QStringLiteral("camera/width");
const QString kCameraHeight = QStringLiteral("camera/height");
const QString kCameraZoom = QStringLiteral("camera/autoZoom");
const QString kCameraPlugin = QStringLiteral("camera/plugin");

// A port name or a device path, and a plug-in's path.
constexpr int kMaxPathLength = 4096;
// saveGeometry() writes a few dozen bytes.
constexpr int kMaxGeometrySize = 4096;

const QStringList kThresholdModes
        = { QStringLiteral("mid"), QStringLiteral("fixed"), QStringLiteral("custom") };

ThresholdMode modeAt(int index)
{
    const ThresholdMode modes[]
            = { ThresholdMode::MidValue, ThresholdMode::Fixed, ThresholdMode::Custom };
    return modes[index];
}

QString modeName(ThresholdMode mode)
{
    switch (mode) {
    case ThresholdMode::MidValue:
        break;
    case ThresholdMode::Fixed:
        return kThresholdModes.at(1);
    case ThresholdMode::Custom:
        return kThresholdModes.at(2);
    }
    return kThresholdModes.at(0);
}

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

SettingsStore::SettingsStore(QSettings &settings)
    : m_settings(settings)
{ }

std::optional<UiLanguage> SettingsStore::rememberedLanguage() const
{
    // Codes are two letters: anything longer is nonsense.
    if (const auto code = readText(kLanguage, 2))
        return uiLanguageFromCode(*code);
    return std::nullopt;
}

void SettingsStore::restore(MainWindow &window)
{
    window.languageButton()->setChosen(rememberedLanguage().value_or(UiLanguage::Chinese));
    if (const auto geometry = readBytes(kGeometry, kMaxGeometrySize))
        window.restoreGeometry(*geometry);
    if (const auto port = readText(kPort, kMaxPathLength); port && !port->trimmed().isEmpty())
        window.setPortEntry(*port);
    if (const auto rate = readInt(kBaudRate, 0, std::numeric_limits<int>::max()))
        window.setBaudRate(*rate);
    if (const auto index = readInt(kParity, 0, 2))
        window.setParityIndex(*index);
    if (const auto index = readInt(kDataBits, 0, 3))
        window.setDataBitsIndex(*index);
    if (const auto index = readInt(kStopBits, 0, 1))
        window.setStopBitsIndex(*index);
    if (const auto on = readBool(kAutoReconnect))
        window.statusPanel()->setAutoReconnect(*on);
    if (const auto tab = readInt(kTab, 0, 3))
        window.setCurrentTab(*tab);

    // Plug-ins first, so that a custom mode finds its algorithm.
    LinearCCD *linear = window.linearCCD();
    if (const auto path = readFilePath(kLinearPlugin))
        linear->loadAlgorithmQuietly(*path);
    if (const auto threshold = readInt(kLinearThreshold, 0, 255))
        linear->setFixedThreshold(*threshold);
    if (const auto mode = readChoice(kLinearMode, kThresholdModes))
        linear->setThresholdMode(modeAt(*mode));

    CCD *camera = window.ccd();
    if (const auto path = readFilePath(kCameraPlugin))
        camera->loadAlgorithmQuietly(*path);
    QSize size = camera->pictureSize();
    if (const auto width = readInt(kCameraWidth, 1, 320))
        size.setWidth(*width);
    if (const auto height = readInt(kCameraHeight, 1, 240))
        size.setHeight(*height);
    camera->setPictureSize(size);
    if (const auto on = readBool(kCameraZoom))
        camera->setAutoZoom(*on);
    if (const auto threshold = readInt(kCameraThreshold, 0, 255))
        camera->setFixedThreshold(*threshold);
    if (const auto mode = readChoice(kCameraMode, kThresholdModes))
        camera->setThresholdMode(modeAt(*mode));
}

void SettingsStore::applyForThisRun(MainWindow &window, const StartOptions &options)
{
    if (options.port) {
        window.setPortEntry(*options.port);
        m_runValues.insert(kPort, window.portEntry());
    }
    if (options.baudRate && window.setBaudRate(*options.baudRate))
        m_runValues.insert(kBaudRate, *options.baudRate);
    if (options.tab && window.setCurrentTab(*options.tab))
        m_runValues.insert(kTab, *options.tab);
    if (options.language) {
        window.languageButton()->setChosen(*options.language);
        m_runValues.insert(kLanguage, uiLanguageCode(*options.language));
    }
}

void SettingsStore::save(const MainWindow &window)
{
    write(kGeometry, window.saveGeometry());
    write(kPort, window.portEntry());
    write(kBaudRate, window.baudRate());
    write(kParity, window.parityIndex());
    write(kDataBits, window.dataBitsIndex());
    write(kStopBits, window.stopBitsIndex());
    write(kAutoReconnect, window.statusPanel()->autoReconnect());
    write(kTab, window.currentTab());
    // A language picked in the window is remembered even when it is the one
    // the command line chose for this run.
    if (window.languageButton()->pickedByUser())
        m_runValues.remove(kLanguage);
    write(kLanguage, uiLanguageCode(window.languageButton()->chosen()));

    const LinearCCD *linear = window.linearCCD();
    write(kLinearMode, modeName(linear->thresholdMode()));
    write(kLinearThreshold, linear->fixedThreshold());
    writePath(kLinearPlugin, linear->algorithmPath());

    const CCD *camera = window.ccd();
    write(kCameraMode, modeName(camera->thresholdMode()));
    write(kCameraThreshold, camera->fixedThreshold());
    write(kCameraWidth, camera->pictureSize().width());
    write(kCameraHeight, camera->pictureSize().height());
    write(kCameraZoom, camera->autoZoom());
    writePath(kCameraPlugin, camera->algorithmPath());

    m_settings.sync();
}

std::optional<int> SettingsStore::readInt(const QString &key, int minimum, int maximum) const
{
    const QVariant value = m_settings.value(key);
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

std::optional<double> SettingsStore::readDouble(const QString &key, double minimum,
                                                double maximum) const
{
    const QVariant value = m_settings.value(key);
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

std::optional<bool> SettingsStore::readBool(const QString &key) const
{
    const QVariant value = m_settings.value(key);
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

std::optional<QString> SettingsStore::readText(const QString &key, int maxLength) const
{
    const QVariant value = m_settings.value(key);
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

std::optional<QStringList> SettingsStore::readTextList(const QString &key, int maxCount,
                                                       int maxLength) const
{
    const QVariant value = m_settings.value(key);
    QStringList list;
    // A text file keeps a list of one as a plain text, and an empty one as
    // no valid value.
    if (value.typeId() == QMetaType::QString)
        list.append(value.toString());
    else if (value.typeId() == QMetaType::QStringList)
        list = value.toStringList();
    else if (!value.isValid() && m_settings.contains(key))
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

std::optional<int> SettingsStore::readChoice(const QString &key, const QStringList &choices) const
{
    const auto text = readText(key, 64);
    if (!text)
        return std::nullopt;
    const int index = int(choices.indexOf(*text));
    if (index < 0)
        return std::nullopt;
    return index;
}

std::optional<QByteArray> SettingsStore::readBytes(const QString &key, int maxSize) const
{
    const QVariant value = m_settings.value(key);
    if (value.typeId() != QMetaType::QByteArray || value.toByteArray().size() > maxSize)
        return std::nullopt;
    return value.toByteArray();
}

std::optional<QString> SettingsStore::readFilePath(const QString &key) const
{
    const auto path = readText(key, kMaxPathLength);
    if (!path)
        return std::nullopt;
    const QFileInfo info(*path);
    if (!info.isAbsolute() || !info.isFile())
        return std::nullopt;
    return QDir::cleanPath(info.absoluteFilePath());
}

void SettingsStore::write(const QString &key, const QVariant &value)
{
    // A value the command line chose and the user kept is this run's only.
    const auto run = m_runValues.constFind(key);
    if (run != m_runValues.constEnd() && *run == value)
        return;
    m_settings.setValue(key, value);
}

void SettingsStore::writePath(const QString &key, const QString &path)
{
    // Without a plug-in nothing is loaded at the next start either.
    if (path.isEmpty())
        m_settings.remove(key);
    else
        write(key, path);
}

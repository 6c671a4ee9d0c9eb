#include "settingsstore.h"

#include "comassistant.h"
#include "languagebutton.h"
#include "lineending.h"
#include "mainwindow.h"
#include "oscilloscope.h"
#include "repeatsender.h"
#include "sendhistory.h"
#include "startoptions.h"
#include "statusbarpanel.h"
#include "textencoding.h"

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
const QString kTerminalDisplay = QStringLiteral("terminal/display");
const QString kTerminalSend = QStringLiteral("terminal/send");
const QString kTerminalEncoding = QStringLiteral("terminal/encoding");
const QString kTerminalTimestamps = QStringLiteral("terminal/timestamps");
const QString kTerminalLineEnding = QStringLiteral("terminal/lineEnding");
const QString kTerminalRepeatPeriod = QStringLiteral("terminal/repeatPeriod");
const QString kTerminalHistory = QStringLiteral("terminal/history");
const QString kScopeChannel = QStringLiteral("scope/channel");
const QString kScopeVerticalDial = QStringLiteral("scope/verticalDial");
const QString kScopeHorizontalScale = QStringLiteral("scope/horizontalScale");

// Per scope channel, numbered 1..4 as on its buttons.
QString scopeKey(int ch, const char *name)
{
    return QStringLiteral("scope/ch%1/%2").arg(ch + 1).arg(QLatin1String(name));
}

// A port name or a device path.
constexpr int kMaxPathLength = 4096;
// saveGeometry() writes a few dozen bytes.
constexpr int kMaxGeometrySize = 4096;

const QStringList kDisplayModes = { QStringLiteral("text"), QStringLiteral("hex") };

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

    ComAssistant *terminal = window.terminal();
    if (const auto mode = readChoice(kTerminalDisplay, kDisplayModes))
        terminal->setHexDisplay(*mode == 1);
    if (const auto mode = readChoice(kTerminalSend, kDisplayModes))
        terminal->setHexSend(*mode == 1);
    const QStringList encodings = TextEncoding::available();
    if (const auto index = readChoice(kTerminalEncoding, encodings))
        terminal->setTextEncoding(encodings.at(*index));
    if (const auto on = readBool(kTerminalTimestamps))
        terminal->setTimestamps(*on);
    if (const auto ending = readChoice(kTerminalLineEnding, lineEndingNames()))
        terminal->setLineEnding(LineEnding(*ending));
    if (const auto period
        = readInt(kTerminalRepeatPeriod, RepeatSender::kMinPeriodMs, RepeatSender::kMaxPeriodMs))
        terminal->setRepeatPeriod(*period);
    // "text:" or "hex:" and the editor's content, each.
    if (const auto history
        = readTextList(kTerminalHistory, SendHistory::kLimit, SendHistory::kMaxTextLength + 5))
        terminal->setSendHistory(*history);

    Oscilloscope *scope = window.oscilloscope();
    for (int ch = 0; ch < 4; ++ch) {
        if (const auto scale = readInt(scopeKey(ch, "scale"), 0, 14))
            scope->setChannelScaleIndex(ch, *scale);
        const auto maximum = readDouble(scopeKey(ch, "maximum"), -1e6, 1e6);
        const auto minimum = readDouble(scopeKey(ch, "minimum"), -1e6, 1e6);
        // A limit on its own could break the rule with the other box's value.
        if (maximum && minimum)
            scope->setLimits(ch, *maximum, *minimum);
    }
    if (const auto channel = readInt(kScopeChannel, 1, 4))
        scope->setCurrentChannel(*channel - 1);
    if (const auto position = readInt(kScopeVerticalDial, 1, 14))
        scope->setVerticalDial(*position);
    if (const auto index = readInt(kScopeHorizontalScale, 0, 13))
        scope->setHorizontalScaleIndex(*index);
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

    const ComAssistant *terminal = window.terminal();
    write(kTerminalDisplay, kDisplayModes.at(terminal->hexDisplay() ? 1 : 0));
    write(kTerminalSend, kDisplayModes.at(terminal->hexSend() ? 1 : 0));
    write(kTerminalEncoding, terminal->textEncoding());
    write(kTerminalTimestamps, terminal->timestamps());
    write(kTerminalLineEnding, lineEndingNames().at(int(terminal->lineEnding())));
    write(kTerminalRepeatPeriod, terminal->repeatPeriod());
    write(kTerminalHistory, terminal->sendHistory());

    const Oscilloscope *scope = window.oscilloscope();
    for (int ch = 0; ch < 4; ++ch) {
        write(scopeKey(ch, "scale"), scope->channelScaleIndex(ch));
        write(scopeKey(ch, "maximum"), scope->maximum(ch));
        write(scopeKey(ch, "minimum"), scope->minimum(ch));
    }
    write(kScopeChannel, scope->currentChannel() + 1);
    write(kScopeVerticalDial, scope->verticalDial());
    write(kScopeHorizontalScale, scope->horizontalScaleIndex());

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

void SettingsStore::write(const QString &key, const QVariant &value)
{
    // A value the command line chose and the user kept is this run's only.
    const auto run = m_runValues.constFind(key);
    if (run != m_runValues.constEnd() && *run == value)
        return;
    m_settings.setValue(key, value);
}

#include "paramset.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>

namespace {

const char *const kTypeNames[] = { "slider", "number", "switch", "button" };
// Positions a slider can take between its ends, as its steps count them.
constexpr double kMaxSteps = 1e7;

QString modeName(CommandMode mode)
{
    return mode == CommandMode::Hex ? QStringLiteral("hex") : QStringLiteral("text");
}

QString shortcutName(int shortcut)
{
    return shortcut == 0 ? QString() : QStringLiteral("Ctrl+%1").arg(shortcut);
}

// Reads the values of one object of the file; the first problem stays in
// error and every later read gives the default.
class Reader
{
public:
    Reader(const QJsonObject &object, QString &error)
        : m_object(object)
        , m_error(error)
    { }

    QString text(const char *key, bool required)
    {
        const QJsonValue value = m_object.value(QLatin1String(key));
        if (value.isString())
            return value.toString();
        if (!value.isUndefined() || required)
            fail(QCoreApplication::translate("ParamSet", "“%1”应为文字").arg(QLatin1String(key)));
        return QString();
    }

    double number(const char *key, double fallback)
    {
        const QJsonValue value = m_object.value(QLatin1String(key));
        if (value.isUndefined())
            return fallback;
        if (!value.isDouble() || std::fabs(value.toDouble()) > ParamSet::kMaxMagnitude) {
            fail(QCoreApplication::translate("ParamSet", "“%1”应为绝对值不超过%2的数")
                         .arg(QLatin1String(key))
                         .arg(ParamSet::kMaxMagnitude));
            return fallback;
        }
        return value.toDouble();
    }

    int integer(const char *key, int fallback)
    {
        const double value = number(key, fallback);
        if (value != std::floor(value)) {
            fail(QCoreApplication::translate("ParamSet", "“%1”应为整数").arg(QLatin1String(key)));
            return fallback;
        }
        return int(value);
    }

    bool boolean(const char *key)
    {
        const QJsonValue value = m_object.value(QLatin1String(key));
        if (!value.isUndefined() && !value.isBool())
            fail(QCoreApplication::translate("ParamSet", "“%1”应为true或false")
                         .arg(QLatin1String(key)));
        return value.toBool();
    }

    CommandMode mode()
    {
        const QString name = text("mode", false);
        if (name.isEmpty() || name == QLatin1String("text"))
            return CommandMode::Text;
        if (name != QLatin1String("hex"))
            fail(QCoreApplication::translate("ParamSet", "“mode”应为text或hex"));
        return CommandMode::Hex;
    }

    void fail(const QString &problem)
    {
        if (m_error.isEmpty())
            m_error = problem;
    }

private:
    const QJsonObject &m_object;
    QString &m_error;
};

std::optional<ParamControl> readControl(const QJsonObject &object, QString &error)
{
    Reader reader(object, error);
    ParamControl control;
    const QString type = reader.text("type", true);
    int typeIndex = 0;
    while (typeIndex < 4 && type != QLatin1String(kTypeNames[typeIndex]))
        ++typeIndex;
    if (typeIndex == 4 && error.isEmpty())
        error = QCoreApplication::translate(
                        "ParamSet", "未知的控件类型“%1”（可用slider、number、switch、button）")
                        .arg(type);
    control.type = ParamControl::Type(typeIndex % 4);
    control.name = reader.text("name", true);
    control.mode = reader.mode();
    if (control.type == ParamControl::Type::Switch) {
        control.on = reader.text("on", true);
        control.off = reader.text("off", true);
    } else {
        control.command = reader.text("command", true);
    }
    if (control.hasValue()) {
        control.minimum = reader.number("min", 0);
        control.maximum = reader.number("max", 100);
        control.step = reader.number("step", 1);
        control.decimals = reader.integer("decimals", 0);
        control.value = reader.number("value", control.minimum);
        control.onRelease = reader.boolean("onRelease");
    }
    if (!error.isEmpty())
        return std::nullopt;
    if (control.hasValue())
        control.value = qBound(control.minimum, control.value, control.maximum);
    if (const auto problem = ParamSet::checkControl(control)) {
        error = *problem;
        return std::nullopt;
    }
    return control;
}

std::optional<QuickCommand> readCommand(const QJsonObject &object, QString &error)
{
    Reader reader(object, error);
    QuickCommand command;
    command.name = reader.text("name", true);
    command.mode = reader.mode();
    command.command = reader.text("command", true);
    const QString shortcut = reader.text("shortcut", false);
    for (int n = 1; n <= 9; ++n) {
        if (shortcut.compare(shortcutName(n), Qt::CaseInsensitive) == 0)
            command.shortcut = n;
    }
    if (!shortcut.isEmpty() && command.shortcut == 0)
        reader.fail(QCoreApplication::translate("ParamSet", "快捷键“%1”无效（可用Ctrl+1到Ctrl+9）")
                            .arg(shortcut));
    command.periodMs = reader.integer("periodMs", 0);
    if (!error.isEmpty())
        return std::nullopt;
    if (const auto problem = ParamSet::checkCommand(command)) {
        error = *problem;
        return std::nullopt;
    }
    return command;
}

// The array under key, which may be missing; false with error set when it is
// something else or too long.
bool readArray(const QJsonObject &root, const char *key, QJsonArray &array, QString &error)
{
    const QJsonValue value = root.value(QLatin1String(key));
    if (value.isUndefined())
        return true;
    if (!value.isArray()) {
        error = QCoreApplication::translate("ParamSet", "“%1”应为列表").arg(QLatin1String(key));
        return false;
    }
    array = value.toArray();
    if (array.size() > ParamSet::kMaxItems) {
        error = QCoreApplication::translate("ParamSet", "“%1”多于%2项")
                        .arg(QLatin1String(key))
                        .arg(ParamSet::kMaxItems);
        return false;
    }
    return true;
}

} // namespace

QString ParamControl::commandText() const
{
    if (type == Type::Switch)
        return CommandTemplate::oneLine(on, mode) + u'\n' + CommandTemplate::oneLine(off, mode);
    return CommandTemplate::oneLine(command, mode);
}

bool ParamControl::operator==(const ParamControl &other) const
{
    return type == other.type && name == other.name && mode == other.mode
            && command == other.command && on == other.on && off == other.off
            && minimum == other.minimum && maximum == other.maximum && step == other.step
            && decimals == other.decimals && value == other.value && onRelease == other.onRelease;
}

bool QuickCommand::operator==(const QuickCommand &other) const
{
    return name == other.name && mode == other.mode && command == other.command
            && shortcut == other.shortcut && periodMs == other.periodMs;
}

bool ParamSet::operator==(const ParamSet &other) const
{
    return controls == other.controls && commands == other.commands;
}

QByteArray ParamSet::toJson(QJsonDocument::JsonFormat format) const
{
    QJsonArray controlArray;
    for (const ParamControl &control : controls) {
        QJsonObject object;
        object.insert(QStringLiteral("type"), QLatin1String(kTypeNames[int(control.type)]));
        object.insert(QStringLiteral("name"), control.name);
        if (control.hasValue()) {
            object.insert(QStringLiteral("min"), control.minimum);
            object.insert(QStringLiteral("max"), control.maximum);
            object.insert(QStringLiteral("step"), control.step);
            object.insert(QStringLiteral("decimals"), control.decimals);
            object.insert(QStringLiteral("value"), control.value);
        }
        object.insert(QStringLiteral("mode"), modeName(control.mode));
        if (control.type == ParamControl::Type::Switch) {
            object.insert(QStringLiteral("on"), control.on);
            object.insert(QStringLiteral("off"), control.off);
        } else {
            object.insert(QStringLiteral("command"), control.command);
        }
        if (control.hasValue())
            object.insert(QStringLiteral("onRelease"), control.onRelease);
        controlArray.append(object);
    }
    QJsonArray commandArray;
    for (const QuickCommand &command : commands) {
        QJsonObject object;
        object.insert(QStringLiteral("name"), command.name);
        object.insert(QStringLiteral("mode"), modeName(command.mode));
        object.insert(QStringLiteral("command"), command.command);
        object.insert(QStringLiteral("shortcut"), shortcutName(command.shortcut));
        object.insert(QStringLiteral("periodMs"), command.periodMs);
        commandArray.append(object);
    }
    QJsonObject root;
    root.insert(QStringLiteral("format"), QStringLiteral("smartcar-params"));
    root.insert(QStringLiteral("version"), kVersion);
    root.insert(QStringLiteral("controls"), controlArray);
    root.insert(QStringLiteral("commands"), commandArray);
    return QJsonDocument(root).toJson(format);
}

std::optional<ParamSet> ParamSet::fromJson(const QByteArray &json, QString *error)
{
    QString problem;
    const auto refuse = [&](const QString &text) {
        if (error)
            *error = text;
        return std::nullopt;
    };
    if (json.size() > kMaxFileSize)
        return refuse(tr("文件大于1MB，不是调参文件"));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return refuse(tr("不是有效的JSON（第%1个字节处：%2）")
                              .arg(parseError.offset + 1)
                              .arg(parseError.errorString()));
    const QJsonObject root = document.object();
    if (!document.isObject()
        || root.value(QStringLiteral("format")).toString() != QLatin1String("smartcar-params"))
        return refuse(tr("不是调参文件：“format”应为“smartcar-params”"));
    const QJsonValue version = root.value(QStringLiteral("version"));
    if (!version.isDouble() || version.toDouble() != std::floor(version.toDouble())
        || version.toDouble() < 1)
        return refuse(tr("“version”应为正整数"));
    if (version.toDouble() > kVersion)
        return refuse(tr("文件的版本%1比本程序能读的版本%2新，请更新本程序")
                              .arg(version.toDouble())
                              .arg(kVersion));

    ParamSet set;
    QJsonArray controlArray;
    QJsonArray commandArray;
    if (!readArray(root, "controls", controlArray, problem)
        || !readArray(root, "commands", commandArray, problem))
        return refuse(problem);
    for (qsizetype n = 0; n < controlArray.size(); ++n) {
        if (!controlArray.at(n).isObject())
            return refuse(tr("第%1个控件应为对象").arg(n + 1));
        const auto control = readControl(controlArray.at(n).toObject(), problem);
        if (!control)
            return refuse(tr("第%1个控件：%2").arg(n + 1).arg(problem));
        set.controls.append(*control);
    }
    for (qsizetype n = 0; n < commandArray.size(); ++n) {
        if (!commandArray.at(n).isObject())
            return refuse(tr("第%1个快捷指令应为对象").arg(n + 1));
        const auto command = readCommand(commandArray.at(n).toObject(), problem);
        if (!command)
            return refuse(tr("第%1个快捷指令：%2").arg(n + 1).arg(problem));
        set.commands.append(*command);
    }
    if (const auto whole = set.check())
        return refuse(*whole);
    return set;
}

std::optional<QString> ParamSet::checkControl(const ParamControl &control)
{
    const QString name = control.name.trimmed();
    if (name.isEmpty() || name != control.name || name.size() > kMaxNameLength)
        return tr("名称应为1到%1个字符，首尾无空格").arg(kMaxNameLength);
    for (const QString *text : { &control.command, &control.on, &control.off }) {
        if (text->size() > kMaxCommandLength)
            return tr("命令长于%1个字符").arg(kMaxCommandLength);
    }
    if (control.hasValue()) {
        for (const double value :
             { control.minimum, control.maximum, control.step, control.value }) {
            if (!std::isfinite(value) || std::fabs(value) > kMaxMagnitude)
                return tr("数值的绝对值不能超过%1").arg(kMaxMagnitude);
        }
        if (!(control.minimum < control.maximum))
            return tr("最小值应小于最大值");
        if (!(control.step > 0) || (control.maximum - control.minimum) / control.step > kMaxSteps)
            return tr("步长应大于0，且不超过%1步").arg(kMaxSteps);
        if (control.value < control.minimum || control.value > control.maximum)
            return tr("当前值应在最小值和最大值之间");
        if (control.decimals < 0 || control.decimals > CommandTemplate::kMaxDecimals)
            return tr("小数位数应在0到%1之间").arg(CommandTemplate::kMaxDecimals);
        // A finer step would move the slider without changing the value shown.
        const double finest = std::pow(10.0, -control.decimals);
        if (control.step < finest * (1 - 1e-9))
            return tr("步长不能小于%1，即%2位小数所能表示的最小值")
                    .arg(finest)
                    .arg(control.decimals);
    }
    const std::optional<ValueRange> range
            = control.hasValue() ? std::optional<ValueRange>(control.range()) : std::nullopt;
    if (control.type == ParamControl::Type::Switch) {
        if (const auto problem = CommandTemplate::check(control.on, control.mode, range))
            return tr("开命令：%1").arg(*problem);
        if (const auto problem = CommandTemplate::check(control.off, control.mode, range))
            return tr("关命令：%1").arg(*problem);
        return std::nullopt;
    }
    return CommandTemplate::check(control.command, control.mode, range);
}

std::optional<QString> ParamSet::checkCommand(const QuickCommand &command)
{
    const QString name = command.name.trimmed();
    if (name.isEmpty() || name != command.name || name.size() > kMaxNameLength)
        return tr("名称应为1到%1个字符，首尾无空格").arg(kMaxNameLength);
    if (command.command.size() > kMaxCommandLength)
        return tr("命令长于%1个字符").arg(kMaxCommandLength);
    if (command.shortcut < 0 || command.shortcut > 9)
        return tr("快捷键应为Ctrl+1到Ctrl+9");
    if (command.periodMs != 0
        && (command.periodMs < kMinPeriodMs || command.periodMs > kMaxPeriodMs))
        return tr("重复周期应为0（不重复）或%1到%2毫秒").arg(kMinPeriodMs).arg(kMaxPeriodMs);
    return CommandTemplate::check(command.command, command.mode, std::nullopt);
}

std::optional<QString> ParamSet::check() const
{
    if (controls.size() > kMaxItems || commands.size() > kMaxItems)
        return tr("控件和快捷指令各不能多于%1个").arg(kMaxItems);
    for (qsizetype n = 0; n < controls.size(); ++n) {
        for (qsizetype m = 0; m < n; ++m) {
            if (controls.at(m).name == controls.at(n).name)
                return tr("有两个控件都叫“%1”").arg(controls.at(n).name);
        }
    }
    for (qsizetype n = 0; n < commands.size(); ++n) {
        for (qsizetype m = 0; m < n; ++m) {
            if (commands.at(n).shortcut != 0 && commands.at(m).shortcut == commands.at(n).shortcut)
                return tr("快捷键Ctrl+%1用了两次").arg(commands.at(n).shortcut);
        }
    }
    return std::nullopt;
}

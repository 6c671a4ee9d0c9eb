#include "commandline.h"

#include "baudrates.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <iterator>

namespace {

const char *const kProgram = "smartcar-debug-assistant";

// The options QGuiApplication, QApplication and the X11 platform take out of
// the command line themselves; the first group takes a value.
const char *const kQtOptionsWithValue[] = {
    "platform",
    "platformpluginpath",
    "platformtheme",
    "plugin",
    "qwindowgeometry",
    "qwindowicon",
    "qwindowtitle",
    "geometry",
    "icon",
    "title",
    "session",
    "style",
    "stylesheet",
    "display",
    "name",
    "visual",
    "qmljsdebugger",
};
const char *const kQtFlags[] = {
    "reverse", "testability", "widgetcount", "qdevel", "nograb", "dograb",
};

// The tabs by the names --tab takes, in their order in the window.
const char *const kTabNames[] = { "terminal", "scope", "ccd", "camera", "plotter" };

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace

CommandLine::Action CommandLine::parse(const QStringList &arguments)
{
    const QCommandLineOption help(QStringList { QStringLiteral("h"), QStringLiteral("help") });
    const QCommandLineOption version(
            QStringList { QStringLiteral("v"), QStringLiteral("version") });

    QCommandLineParser parser;
    // Qt's options are single words after one dash (-style fusion), so every
    // option is read as a word, whether it has one dash or two.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({ help, version });
    parser.addOption(QCommandLineOption(QStringLiteral("port"), QString(), QStringLiteral("name")));
    parser.addOption(QCommandLineOption(QStringLiteral("baud"), QString(), QStringLiteral("rate")));
    parser.addOption(QCommandLineOption(QStringLiteral("open")));
    parser.addOption(QCommandLineOption(QStringLiteral("tab"), QString(), QStringLiteral("name")));
    parser.addOption(QCommandLineOption(QStringLiteral("lang"), QString(), QStringLiteral("code")));
    parser.addOption(
            QCommandLineOption(QStringLiteral("params"), QString(), QStringLiteral("file")));
    for (const char *name : kQtOptionsWithValue)
        parser.addOption(QCommandLineOption(QLatin1String(name), QString(), QStringLiteral("x")));
    for (const char *name : kQtFlags)
        parser.addOption(QCommandLineOption(QLatin1String(name)));

    m_error.clear();
    m_options = StartOptions();
    if (!parser.parse(arguments)) {
        // The parser's sentence, in the style of the program's other messages.
        m_error = parser.errorText();
        if (m_error.endsWith(QLatin1Char('.')))
            m_error.chop(1);
        if (!m_error.isEmpty())
            m_error[0] = m_error.at(0).toLower();
        m_action = Action::Fail;
    } else if (parser.isSet(help)) {
        m_action = Action::ShowHelp;
    } else if (parser.isSet(version)) {
        m_action = Action::ShowVersion;
    } else if (!parser.positionalArguments().isEmpty()) {
        m_error = QStringLiteral("unexpected argument '%1'")
                          .arg(parser.positionalArguments().constFirst());
        m_action = Action::Fail;
    } else {
        m_error = readOptions(parser);
        m_action = m_error.isEmpty() ? Action::Run : Action::Fail;
    }
    return m_action;
}

QString CommandLine::readOptions(const QCommandLineParser &parser)
{
    // An option given twice counts with its last value.
    if (parser.isSet(QStringLiteral("port"))) {
        const QString port = parser.value(QStringLiteral("port")).trimmed();
        if (port.isEmpty())
            return QStringLiteral("empty port name");
        m_options.port = port;
    }
    if (parser.isSet(QStringLiteral("baud"))) {
        const QString text = parser.value(QStringLiteral("baud"));
        const std::optional<qint32> rate = baudRateForText(text);
        if (!rate) {
            return QStringLiteral("unsupported baud rate '%1' (choose %2 to %3)")
                    .arg(text)
                    .arg(kMinBaudRate)
                    .arg(kMaxBaudRate);
        }
        m_options.baudRate = *rate;
    }
    if (parser.isSet(QStringLiteral("tab"))) {
        const QString name = parser.value(QStringLiteral("tab"));
        for (int tab = 0; tab < int(std::size(kTabNames)); ++tab) {
            if (name == QLatin1String(kTabNames[tab]))
                m_options.tab = tab;
        }
        if (!m_options.tab)
            return QStringLiteral(
                           "unknown tab '%1' (choose terminal, scope, ccd, camera or plotter)")
                    .arg(name);
    }
    if (parser.isSet(QStringLiteral("lang"))) {
        const QString code = parser.value(QStringLiteral("lang"));
        m_options.language = uiLanguageFromCode(code);
        if (!m_options.language)
            return QStringLiteral("unknown language '%1' (choose zh or en)").arg(code);
    }
    if (parser.isSet(QStringLiteral("params"))) {
        const QString path = parser.value(QStringLiteral("params"));
        QFile file(path);
        QString problem;
        // Only a plain file: a named pipe would wait for a writer.
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
            problem = QStringLiteral("no such file");
        else
            m_options.params = ParamSet::fromJson(file.read(ParamSet::kMaxFileSize + 1), &problem);
        if (!m_options.params)
            return QStringLiteral("cannot load tuning set '%1': %2").arg(path, problem);
    }
    m_options.open = parser.isSet(QStringLiteral("open"));
    return QString();
}

CommandLine::Action CommandLine::parse(int argc, char *argv[])
{
    QStringList arguments;
    for (int n = 0; n < argc; ++n)
        arguments.append(QString::fromLocal8Bit(argv[n]));
    return parse(arguments);
}

int CommandLine::finish() const
{
    switch (m_action) {
    case Action::ShowHelp:
        print(stdout, helpText());
        return 0;
    case Action::ShowVersion:
        print(stdout, versionText() + QLatin1Char('\n'));
        return 0;
    case Action::Fail:
        print(stderr,
              QStringLiteral("%1: %2 (see --help)\n").arg(QLatin1String(kProgram), m_error));
        return 2;
    case Action::Run:
        break;
    }
    return 0;
}

QString CommandLine::helpText()
{
    return QStringLiteral(
                   "Usage: %1 [OPTIONS]\n"
                   "\n"
                   "A debugging assistant for smart-car controller boards: a serial terminal,\n"
                   "a four-channel oscilloscope, a linear CCD line viewer, a grey camera\n"
                   "picture viewer and a plotter of named curves, each reading what the board\n"
                   "sends over a serial port.\n"
                   "\n"
                   "Options:\n"
                   "  --port NAME    the port to use: a listed name such as COM3 or ttyUSB0,\n"
                   "                 a device path, or a network address such as\n"
                   "                 tcp://192.168.4.1:8080\n"
                   "  --baud N       the baud rate: 2400, 4800, 9600, 14400, 19200, 38400,\n"
                   "                 56000, 57600, 115200, 128000, 256000 or any other\n"
                   "                 from 50 to 12000000 that the adapter takes\n"
                   "  --open         open the port once the window shows\n"
                   "  --tab NAME     the tab to show: terminal, scope, ccd, camera\n"
                   "                 or plotter\n"
                   "  --lang CODE    the language of the window: zh (Chinese, the default)\n"
                   "                 or en (English)\n"
                   "  --params FILE  the tuning panel's controls and quick commands: a JSON\n"
                   "                 file such as the panel exports\n"
                   "  -h, --help     show this text\n"
                   "  -v, --version  show the version\n"
                   "\n"
                   "--port, --baud, --tab, --lang and --params hold for this run only: they\n"
                   "take the place of the remembered choices, which stay remembered unless\n"
                   "changed in the window.\n"
                   "Qt's own options, such as -style NAME or -platform NAME, are accepted too.\n"
                   "\n"
                   "Exit status: 0, or 2 for a bad command line (no window shows then).\n")
            .arg(QLatin1String(kProgram));
}

QString CommandLine::versionText()
{
    return QStringLiteral("%1 %2").arg(QLatin1String(kProgram), QStringLiteral(ASSISTANT_VERSION));
}

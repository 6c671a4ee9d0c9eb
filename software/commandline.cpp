#include "commandline.h"

#include <QCommandLineParser>

#include <cstdio>

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
    for (const char *name : kQtOptionsWithValue)
        parser.addOption(QCommandLineOption(QLatin1String(name), QString(), QStringLiteral("x")));
    for (const char *name : kQtFlags)
        parser.addOption(QCommandLineOption(QLatin1String(name)));

    m_error.clear();
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
        m_action = Action::Run;
    }
    return m_action;
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
                   "a four-channel oscilloscope, a linear CCD line viewer and a grey camera\n"
                   "picture viewer, each reading what the board sends over a serial port.\n"
                   "\n"
                   "Options:\n"
                   "  -h, --help     show this text\n"
                   "  -v, --version  show the version\n"
                   "\n"
                   "Qt's own options, such as -style NAME or -platform NAME, are accepted too.\n"
                   "\n"
                   "Exit status: 0, or 2 for a bad command line (no window shows then).\n")
            .arg(QLatin1String(kProgram));
}

QString CommandLine::versionText()
{
    return QStringLiteral("%1 %2").arg(QLatin1String(kProgram), QStringLiteral(ASSISTANT_VERSION));
}

#include "commandline.h"
#include "testsupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QSettings>
#include <QTest>

// The program's command line: what it asks for, Qt's own options let through,
// and the program answering --help, --version and mistakes without a display.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void actions_data();
    void actions();
    void startOptions();
    void errorsAreOneLine_data();
    void errorsAreOneLine();
    void programAnswersWithoutADisplay_data();
    void programAnswersWithoutADisplay();
    void openedByTheProgramAndSavedWhenStopped();
};

void TestCommandLine::actions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<CommandLine::Action>("action");
    QTest::newRow("nothing") << QStringList() << CommandLine::Action::Run;
    QTest::newRow("--help") << QStringList { "--help" } << CommandLine::Action::ShowHelp;
    QTest::newRow("-h") << QStringList { "-h" } << CommandLine::Action::ShowHelp;
    QTest::newRow("-help") << QStringList { "-help" } << CommandLine::Action::ShowHelp;
    QTest::newRow("--version") << QStringList { "--version" } << CommandLine::Action::ShowVersion;
    QTest::newRow("-v") << QStringList { "-v" } << CommandLine::Action::ShowVersion;
    QTest::newRow("help wins") << QStringList { "--version", "--help" }
                               << CommandLine::Action::ShowHelp;
    // Qt's own options are the application object's business, not mistakes.
    QTest::newRow("qt options") << QStringList { "-style",    "fusion",           "-platform",
                                                 "offscreen", "-reverse",         "--qwindowtitle",
                                                 "a title",   "-stylesheet=x.qss" }
                                << CommandLine::Action::Run;
    QTest::newRow("qt option and version") << QStringList { "-platform", "offscreen", "--version" }
                                           << CommandLine::Action::ShowVersion;
}

void TestCommandLine::actions()
{
    QFETCH(QStringList, arguments);
    QFETCH(CommandLine::Action, action);
    CommandLine commandLine;
    QCOMPARE(commandLine.parse(QStringList { QStringLiteral("program") } + arguments), action);
    QVERIFY(commandLine.errorText().isEmpty());
}

void TestCommandLine::startOptions()
{
    CommandLine commandLine;
    QCOMPARE(commandLine.parse({ "program" }), CommandLine::Action::Run);
    QVERIFY(!commandLine.options().port && !commandLine.options().baudRate
            && !commandLine.options().tab && !commandLine.options().open);

    QCOMPARE(commandLine.parse(
                     { "program", "--port", "COM3", "--baud", "9600", "--open", "--tab", "ccd" }),
             CommandLine::Action::Run);
    QCOMPARE(*commandLine.options().port, QStringLiteral("COM3"));
    QCOMPARE(*commandLine.options().baudRate, 9600);
    QCOMPARE(*commandLine.options().tab, 2);
    QVERIFY(commandLine.options().open);

    // One dash or two, a value after = or as the next word; a path with spaces
    // is one word of the shell's; the last of repeated options counts.
    QCOMPARE(commandLine.parse({ "program", "-port=/tmp/my board", "--tab", "terminal", "-tab",
                                 "camera", "--baud=256000" }),
             CommandLine::Action::Run);
    QCOMPARE(*commandLine.options().port, QStringLiteral("/tmp/my board"));
    QCOMPARE(*commandLine.options().tab, 3);
    QCOMPARE(*commandLine.options().baudRate, 256000);
    QVERIFY(!commandLine.options().open);
    QVERIFY(!commandLine.options().language);

    QCOMPARE(commandLine.parse({ "program", "--lang", "en" }), CommandLine::Action::Run);
    QCOMPARE(commandLine.options().language, UiLanguage::English);
    QCOMPARE(commandLine.parse({ "program", "-lang=zh" }), CommandLine::Action::Run);
    QCOMPARE(commandLine.options().language, UiLanguage::Chinese);
    QVERIFY(!commandLine.options().params);

    QCOMPARE(commandLine.parse({ "program", "--params", SAMPLE_PARAMS }), CommandLine::Action::Run);
    QCOMPARE(commandLine.options().params->controls.size(), 6);
}

void TestCommandLine::errorsAreOneLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("unknown option") << QStringList { "--bogus" } << "bogus";
    QTest::newRow("unknown before help") << QStringList { "--bogus", "--help" } << "bogus";
    QTest::newRow("positional") << QStringList { "COM3" } << "COM3";
    QTest::newRow("value for a flag") << QStringList { "--version=2" } << "version";
    QTest::newRow("qt option without value") << QStringList { "-style" } << "style";
    QTest::newRow("rate above the range") << QStringList { "--baud", "12000001" } << "12000001";
    QTest::newRow("rate not a number") << QStringList { "--baud", "fast" } << "fast";
    QTest::newRow("rate with decimals") << QStringList { "--baud=115200.0" } << "115200.0";
    QTest::newRow("rate beyond int") << QStringList { "--baud", "99999999999" } << "99999999999";
    QTest::newRow("no rate") << QStringList { "--baud" } << "baud";
    QTest::newRow("unknown tab") << QStringList { "--tab", "sideways" } << "sideways";
    QTest::newRow("tab by title") << QStringList { "--tab", "Scope" } << "Scope";
    QTest::newRow("empty port") << QStringList { "--port", " " } << "port";
    QTest::newRow("value for --open") << QStringList { "--open=yes" } << "open";
    QTest::newRow("unknown language") << QStringList { "--lang", "English" } << "English";
    QTest::newRow("no tuning set")
            << QStringList { "--params", "/nonexistent.json" } << "/nonexistent.json";
    // An XML file (the translation) is no tuning set: the problem is named.
    QTest::newRow("bad tuning set") << QStringList { "--params", TS_FILE_FOR_PARAMS } << "JSON";
}

void TestCommandLine::errorsAreOneLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, mentions);
    CommandLine commandLine;
    QCOMPARE(commandLine.parse(QStringList { QStringLiteral("program") } + arguments),
             CommandLine::Action::Fail);
    const QString error = commandLine.errorText();
    QVERIFY2(error.contains(mentions), qPrintable(error));
    QVERIFY(!error.contains(QLatin1Char('\n')));

    // A good command line parsed later by the same object leaves no error behind.
    QCOMPARE(commandLine.parse(QStringList { QStringLiteral("program") }),
             CommandLine::Action::Run);
    QVERIFY(commandLine.errorText().isEmpty());
}

void TestCommandLine::programAnswersWithoutADisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString program = QStringLiteral("smartcar-debug-assistant");
    QTest::newRow("version") << QStringList { "--version" } << 0
                             << program + QStringLiteral(" " ASSISTANT_VERSION "\n") << QString();
    QTest::newRow("help") << QStringList { "--help" } << 0 << CommandLine::helpText() << QString();
    QTest::newRow("bad option") << QStringList { "--tabs", "scope" } << 2 << QString()
                                << program
                    + QStringLiteral(": unknown option 'tabs' (see --help)\n");
    QTest::newRow("bad rate") << QStringList { "--port", "COM3", "--baud", "49" } << 2 << QString()
                              << program
                    + QStringLiteral(": unsupported baud rate '49' (choose 50 to 12000000) "
                                     "(see --help)\n");
    QTest::newRow("bad tab") << QStringList { "--open", "--tab", "oscilloscope" } << 2 << QString()
                             << program
                    + QStringLiteral(": unknown tab 'oscilloscope' (choose terminal, scope, ccd, "
                                     "camera or plotter) (see --help)\n");
}

void TestCommandLine::programAnswersWithoutADisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);

    // With the X11 platform and no display, creating the application object
    // would abort the program: answering must come before it.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ASSISTANT_PROGRAM), arguments);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), status);
    QCOMPARE(QString::fromLocal8Bit(process.readAllStandardOutput()), out);
    QCOMPARE(QString::fromLocal8Bit(process.readAllStandardError()), err);
}

void TestCommandLine::openedByTheProgramAndSavedWhenStopped()
{
#if !defined(Q_OS_LINUX)
    QSKIP("looks at the program's open files in /proc");
#else
    SKIP_WITHOUT_SOCAT();
    VirtualSerialPair pair;
    QVERIFY(pair.start());
    const QString device = QFileInfo(pair.first()).canonicalFilePath();
    QTemporaryDir config;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ASSISTANT_PROGRAM),
                  { "--port", pair.first(), "--baud", "9600", "--open", "--tab", "scope", "--lang",
                    "en" });
    QVERIFY(process.waitForStarted(10000));

    const QString fds = QStringLiteral("/proc/%1/fd").arg(process.processId());
    bool holds = false;
    const QDeadlineTimer deadline(20000);
    while (!holds && !deadline.hasExpired() && process.state() == QProcess::Running) {
        const QStringList entries = QDir(fds).entryList(QDir::System | QDir::NoDotAndDotDot);
        for (const QString &entry : entries)
            holds = holds || QFile::symLinkTarget(fds + QLatin1Char('/') + entry) == device;
        QTest::qWait(50);
    }
    // Asked to stop, it ends as when its window is closed: the port is closed
    // (another program may open it at once) and the settings are saved.
    process.terminate();
    QVERIFY(process.waitForFinished(10000));
    QVERIFY2(holds, "the program did not open the port named on its command line");
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QSerialPort again(pair.first());
    QVERIFY(again.open(QIODevice::ReadWrite));

    QSettings saved(config.filePath(QStringLiteral("Tessavo/smartcar-debug-assistant.conf")),
                    QSettings::IniFormat);
    QVERIFY2(saved.contains(QStringLiteral("window/geometry")), qPrintable(saved.fileName()));
    // The command line's choices were for that run only.
    QVERIFY(!saved.contains(QStringLiteral("serial/port")));
    QVERIFY(!saved.contains(QStringLiteral("serial/baudRate")));
    QVERIFY(!saved.contains(QStringLiteral("window/tab")));
    QVERIFY(!saved.contains(QStringLiteral("window/language")));
#endif
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"

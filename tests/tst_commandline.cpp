#include "commandline.h"

#include <QProcess>
#include <QTest>

// The program's command line: what it asks for, Qt's own options let through,
// and the program answering --help, --version and mistakes without a display.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void actions_data();
    void actions();
    void errorsAreOneLine_data();
    void errorsAreOneLine();
    void programAnswersWithoutADisplay_data();
    void programAnswersWithoutADisplay();
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

void TestCommandLine::errorsAreOneLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("unknown option") << QStringList { "--bogus" } << "bogus";
    QTest::newRow("unknown before help") << QStringList { "--bogus", "--help" } << "bogus";
    QTest::newRow("positional") << QStringList { "COM3" } << "COM3";
    QTest::newRow("value for a flag") << QStringList { "--version=2" } << "version";
    QTest::newRow("qt option without value") << QStringList { "-style" } << "style";
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
    QTest::newRow("bad option") << QStringList { "--tab", "scope" } << 2 << QString()
                                << program
                    + QStringLiteral(": unknown option 'tab' (see --help)\n");
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

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"

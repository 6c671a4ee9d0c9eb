#include "simoptions.h"
#include "testsupport.h"
#include "tst_boardsim_support.h"
#include "unitsource.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTest>

// The simulator as a program: what arrives on its virtual port, how fast, how
// it refuses bad arguments and how it ends.
class TestBoardSim : public QObject
{
    Q_OBJECT

private slots:
    void helpAndVersion();
    void scopeFrames();
    void pixelFrames_data();
    void pixelFrames();
    void textLines();
    void replaySendsTheFileExactly();
    void outputMatchesTheGeneratorAndRepeatsWithASeed();
    void pacedByTheClock();
    void reportsWhatItSent_data();
    void reportsWhatItSent();
    void badArguments_data();
    void badArguments();
    void stopsWhenTheReaderCloses();
    void stopsOnSignals();
    void staysForTheNextReader();
    void writesToANamedPort();
};

namespace {

// Everything the simulator sends for these arguments, made by its own generator.
QByteArray expectedOutput(const QStringList &arguments, qint64 units)
{
    SimOptions options;
    QString error;
    if (parseSimArguments(QStringList { QStringLiteral("sim") } + arguments, true, options, error)
        != ParseOutcome::Run)
        return QByteArray();
    const std::unique_ptr<UnitSource> source = createUnitSource(options, error);
    QByteArray out;
    source->generate(out, units);
    return out;
}

QByteArray capture(const QStringList &arguments, qint64 bytes)
{
    BoardSim sim;
    if (!sim.start(arguments))
        return QByteArray();
    PortReader reader(sim.path());
    return reader.read(bytes, 20000);
}

} // namespace

void TestBoardSim::helpAndVersion()
{
    QProcess process;
    process.start(QStringLiteral(BOARDSIM_PROGRAM), { QStringLiteral("--help") });
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), 0);
    const QString text = QString::fromLocal8Bit(process.readAllStandardOutput());
    for (const char *word : { "text", "scope", "ccd", "camera", "replay", "--rate", "--count",
                              "--seed", "--port", "--version" })
        QVERIFY2(text.contains(QLatin1String(word)), word);

    // The version wins over a mode's mistakes, like the help.
    process.start(QStringLiteral(BOARDSIM_PROGRAM),
                  { QStringLiteral("camera"), QStringLiteral("--freq"), QStringLiteral("x"),
                    QStringLiteral("--version") });
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardOutput(),
             QByteArray("smartcar-board-sim " BOARDSIM_VERSION "\n"));
    QVERIFY(process.readAllStandardError().isEmpty());
}

void TestBoardSim::scopeFrames()
{
    SKIP_WITHOUT_PTYS();
    const int frames = 300;
    const QByteArray data
            = capture({ QStringLiteral("scope"), QStringLiteral("--rate"), QStringLiteral("5000"),
                        QStringLiteral("--count"), QString::number(frames),
                        QStringLiteral("--amplitude"), QStringLiteral("1000,2000,3000,4000") },
                      frames * 11);
    QCOMPARE(data.size(), frames * 11);
    for (int k = 0; k < frames; ++k) {
        const auto *frame = reinterpret_cast<const uchar *>(data.constData()) + k * 11;
        QCOMPARE(frame[0], uchar(0xFF));
        QCOMPARE(frame[1], uchar(0xFF));
        for (int ch = 0; ch < 4; ++ch) {
            const int raw = frame[2 + 2 * ch] * 256 + frame[3 + 2 * ch];
            QVERIFY(qAbs(raw - 32768) <= (ch + 1) * 1000);
        }
        // The square wave sits at one of its two levels.
        const int square = frame[4] * 256 + frame[5];
        QVERIFY(square == 32768 + 2000 || square == 32768 - 2000);
        QCOMPARE(int(frame[10]), k % 255);
    }
}

void TestBoardSim::pixelFrames_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("pixels");
    QTest::newRow("ccd") << QStringList { QStringLiteral("ccd") } << 128;
    QTest::newRow("camera default size") << QStringList { QStringLiteral("camera") } << 4800;
    QTest::newRow("camera 17x5") << QStringList { QStringLiteral("camera"),
                                                  QStringLiteral("--width"), QStringLiteral("17"),
                                                  QStringLiteral("--height"), QStringLiteral("5") }
                                 << 85;
}

void TestBoardSim::pixelFrames()
{
    SKIP_WITHOUT_PTYS();
    QFETCH(QStringList, arguments);
    QFETCH(int, pixels);
    const int frames = 6;
    const QByteArray data
            = capture(arguments
                              + QStringList { QStringLiteral("--rate"), QStringLiteral("100"),
                                              QStringLiteral("--count"), QString::number(frames) },
                      qint64(frames) * (pixels + 1));
    QCOMPARE(data.size(), frames * (pixels + 1));
    for (int k = 0; k < frames; ++k) {
        const QByteArray frame = data.mid(k * (pixels + 1), pixels + 1);
        QCOMPARE(frame.indexOf(char(0xFF)), pixels);
    }
}

void TestBoardSim::textLines()
{
    SKIP_WITHOUT_PTYS();
    const QStringList arguments
            = { QStringLiteral("text"),   QStringLiteral("--seed"), QStringLiteral("5"),
                QStringLiteral("--rate"), QStringLiteral("100"),    QStringLiteral("--count"),
                QStringLiteral("8") };
    const QByteArray expected = expectedOutput(arguments, 8);
    const QByteArray data = capture(arguments, expected.size());
    QCOMPARE(data, expected);
    const QStringList lines = QString::fromLocal8Bit(data).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 9);
    QVERIFY(lines.last().isEmpty());
    for (int i = 0; i < 8; ++i) {
        QVERIFY2(lines.at(i).startsWith(QLatin1Char('[')), qPrintable(lines.at(i)));
        QVERIFY2(lines.at(i).contains(QStringLiteral("速度"))
                         || lines.at(i).contains(QStringLiteral("事件")),
                 qPrintable(lines.at(i)));
    }
}

void TestBoardSim::replaySendsTheFileExactly()
{
    SKIP_WITHOUT_PTYS();
    QByteArray content;
    for (int round = 0; round < 3; ++round) {
        for (int b = 0; b < 256; ++b)
            content.append(char(b));
    }
    QTemporaryFile file;
    QVERIFY(file.open());
    file.write(content);
    file.close();

    // The whole file, then silence; and a count that stops early.
    const struct
    {
        QStringList options;
        QByteArray expected;
    } runs[] = { { { QStringLiteral("--rate"), QStringLiteral("20000") }, content },
                 { { QStringLiteral("--count"), QStringLiteral("300") }, content.left(300) } };
    for (const auto &run : runs) {
        BoardSim sim;
        QVERIFY(sim.start(QStringList { QStringLiteral("replay"), file.fileName() } + run.options));
        PortReader reader(sim.path());
        QCOMPARE(reader.read(run.expected.size(), 20000), run.expected);
        QVERIFY(reader.read(1, 300).isEmpty());
    }
}

void TestBoardSim::outputMatchesTheGeneratorAndRepeatsWithASeed()
{
    SKIP_WITHOUT_PTYS();
    const QStringList run
            = { QStringLiteral("camera"),   QStringLiteral("--width"), QStringLiteral("32"),
                QStringLiteral("--height"), QStringLiteral("8"),       QStringLiteral("--rate"),
                QStringLiteral("100"),      QStringLiteral("--count"), QStringLiteral("4") };
    const QStringList seven = run + QStringList { QStringLiteral("--seed"), QStringLiteral("7") };
    const QStringList eight = run + QStringList { QStringLiteral("--seed"), QStringLiteral("8") };
    const QByteArray first = capture(seven, 4 * 257);
    QCOMPARE(first.size(), 4 * 257);
    QCOMPARE(capture(seven, 4 * 257), first);
    QCOMPARE(first, expectedOutput(seven, 4));
    QVERIFY(capture(eight, 4 * 257) != first);
}

void TestBoardSim::pacedByTheClock()
{
    SKIP_WITHOUT_PTYS();
    // Ten lines at 20 a second: the last one is due 450 ms after the first.
    BoardSim sim;
    QVERIFY(sim.start({ QStringLiteral("ccd"), QStringLiteral("--rate"), QStringLiteral("20"),
                        QStringLiteral("--count"), QStringLiteral("10") }));
    QElapsedTimer clock;
    clock.start();
    PortReader reader(sim.path());
    QVERIFY(reader.isOpen());
    QCOMPARE(reader.read(10 * 129, 20000).size(), 10 * 129);
    QVERIFY2(clock.elapsed() >= 420, qPrintable(QString::number(clock.elapsed())));
}

void TestBoardSim::reportsWhatItSent_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("time limit") << QStringList { "ccd", "--rate", "200", "--time", "0.3" };
    // Far more than the line holds at once: the rest goes out as it drains.
    QTest::newRow("count at full speed")
            << QStringList { "scope", "--rate", "1000000", "--count", "100000" };
}

// The last notice names the units and bytes sent; exactly those arrive, as
// the generator makes them, and nothing after them.
void TestBoardSim::reportsWhatItSent()
{
    SKIP_WITHOUT_PTYS();
    QFETCH(QStringList, arguments);
    arguments << "--seed"
              << "4";
    BoardSim sim;
    QVERIFY(sim.start(arguments));
    PortReader reader(sim.path());
    QVERIFY(reader.isOpen());
    QByteArray received;
    QString notices;
    const QRegularExpression sent(QStringLiteral("sent (\\d+) \\S+ \\((\\d+) bytes\\)"));
    QRegularExpressionMatch match;
    const QDeadlineTimer deadline(30000);
    while (!(match = sent.match(notices += sim.process().readAllStandardError())).hasMatch()
           && !deadline.hasExpired()) {
        received += reader.read(1 << 20, 50);
        QCoreApplication::processEvents();
    }
    QVERIFY(match.hasMatch());
    const qint64 units = match.captured(1).toLongLong();
    const qint64 bytes = match.captured(2).toLongLong();
    QVERIFY(units > 0);
    received += reader.read(bytes - received.size(), 20000);
    QCOMPARE(received.size(), bytes);
    QVERIFY(received == expectedOutput(arguments, units));
    QVERIFY(reader.read(1, 300).isEmpty());
}

void TestBoardSim::badArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("no mode") << QStringList {} << QStringLiteral("mode");
    QTest::newRow("unknown mode") << QStringList { "radar" } << QStringLiteral("radar");
    QTest::newRow("unknown option") << QStringList { "--fast", "ccd" } << QStringLiteral("fast");
    QTest::newRow("missing value") << QStringList { "ccd", "--rate" } << QStringLiteral("--rate");
    QTest::newRow("zero rate") << QStringList { "ccd", "--rate", "0" } << QStringLiteral("--rate");
    QTest::newRow("rate no number")
            << QStringList { "scope", "--rate", "fast" } << QStringLiteral("fast");
    QTest::newRow("zero count") << QStringList { "text", "--count", "0" }
                                << QStringLiteral("--count");
    QTest::newRow("negative time")
            << QStringList { "text", "--time", "-1" } << QStringLiteral("--time");
    QTest::newRow("bad seed") << QStringList { "text", "--seed", "x1" } << QStringLiteral("--seed");
    QTest::newRow("width too large")
            << QStringList { "camera", "--width", "321" } << QStringLiteral("321");
    QTest::newRow("height zero") << QStringList { "camera", "--height", "0" }
                                 << QStringLiteral("--height");
    QTest::newRow("width in ccd mode")
            << QStringList { "ccd", "--width", "10" } << QStringLiteral("camera");
    QTest::newRow("two frequencies")
            << QStringList { "scope", "--freq", "1,2" } << QStringLiteral("1,2");
    QTest::newRow("amplitude too large")
            << QStringList { "scope", "--amplitude", "32768" } << QStringLiteral("32768");
    QTest::newRow("replay without file") << QStringList { "replay" } << QStringLiteral("FILE");
    QTest::newRow("replay missing file") << QStringList { "replay", "/nonexistent/board.bin" }
                                         << QStringLiteral("/nonexistent/board.bin");
    QTest::newRow("extra argument") << QStringList { "text", "more" } << QStringLiteral("more");
    QTest::newRow("loop outside replay")
            << QStringList { "text", "--loop" } << QStringLiteral("replay");
    QTest::newRow("framing outside plot")
            << QStringList { "scope", "--framing", "teleplot" } << QStringLiteral("plot");
    QTest::newRow("unknown framing")
            << QStringList { "plot", "--framing", "csv" } << QStringLiteral("csv");
    QTest::newRow("too many channels")
            << QStringList { "plot", "--channels", "65" } << QStringLiteral("65");
}

void TestBoardSim::badArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, mentions);

    // Through a named port, so that anything sent would arrive at the other end.
    SKIP_WITHOUT_SOCAT();
    VirtualSerialPair pair;
    QVERIFY2(pair.start(), "socat did not make a port pair");
    PortReader other(pair.second());
    QVERIFY(other.isOpen());

    QProcess process;
    process.start(QStringLiteral(BOARDSIM_PROGRAM),
                  QStringList { QStringLiteral("--port"), pair.first() } + arguments);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(process.readAllStandardOutput().isEmpty());
    const QString error = QString::fromLocal8Bit(process.readAllStandardError());
    QCOMPARE(error.count(QLatin1Char('\n')), 1);
    QVERIFY(error.endsWith(QLatin1Char('\n')));
    QVERIFY2(error.startsWith(QStringLiteral("smartcar-board-sim: ")), qPrintable(error));
    QVERIFY2(error.contains(mentions), qPrintable(error));
    QVERIFY(other.read(1, 300).isEmpty());
}

void TestBoardSim::stopsWhenTheReaderCloses()
{
    SKIP_WITHOUT_PTYS();
    BoardSim sim;
    QVERIFY(sim.start({ QStringLiteral("scope") }));
    PortReader reader(sim.path());
    QCOMPARE(reader.read(110, 10000).size(), 110);
    reader.close();
    QVERIFY(sim.finishedCleanly());
}

void TestBoardSim::stopsOnSignals()
{
    SKIP_WITHOUT_PTYS();
    // Interrupted while waiting for a reader, terminated while sending.
    BoardSim waiting;
    QVERIFY(waiting.start({ QStringLiteral("camera") }));
    waiting.sendSignal(SIGINT);
    QVERIFY(waiting.finishedCleanly());

    BoardSim sending;
    QVERIFY(sending.start(
            { QStringLiteral("text"), QStringLiteral("--rate"), QStringLiteral("100") }));
    PortReader reader(sending.path());
    QVERIFY(!reader.read(10, 10000).isEmpty());
    sending.sendSignal(SIGTERM);
    QVERIFY(sending.finishedCleanly());
}

void TestBoardSim::staysForTheNextReader()
{
    SKIP_WITHOUT_PTYS();
    BoardSim sim;
    QVERIFY(sim.start({ QStringLiteral("ccd"), QStringLiteral("--stay"), QStringLiteral("--rate"),
                        QStringLiteral("200") }));
    QByteArray notices;
    for (int session = 1; session <= 3; ++session) {
        PortReader reader(sim.path());
        QVERIFY(reader.isOpen());
        // Each reader starts at the beginning of a line, whatever the one
        // before it left unread: here the rest of a line and the lines after it.
        const QByteArray lines = reader.read(129 + 50, 10000);
        QCOMPARE(lines.size(), 129 + 50);
        QCOMPARE(lines.indexOf(char(0xFF)), 128);
        QTest::qWait(50);
        reader.close();
        // Reopen only once the simulator has seen the port closed.
        QTRY_VERIFY_WITH_TIMEOUT((notices += sim.process().readAllStandardError())
                                                 .count("waiting for it to open again")
                                         == session,
                                 10000);
    }
    QCOMPARE(sim.process().state(), QProcess::Running);
    sim.sendSignal(SIGTERM);
    QVERIFY(sim.finishedCleanly());
}

void TestBoardSim::writesToANamedPort()
{
    SKIP_WITHOUT_SOCAT();
    VirtualSerialPair pair;
    QVERIFY2(pair.start(), "socat did not make a port pair");
    PortReader other(pair.second());
    QVERIFY(other.isOpen());

    QProcess process;
    const QStringList arguments
            = { QStringLiteral("ccd"), QStringLiteral("--count"), QStringLiteral("3"),
                QStringLiteral("--seed"), QStringLiteral("4") };
    process.start(QStringLiteral(BOARDSIM_PROGRAM),
                  QStringList { QStringLiteral("--port"), pair.first() } + arguments);
    // Nothing on standard output: there is no path to type in.
    QCOMPARE(other.read(3 * 129, 20000), expectedOutput(arguments, 3));
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), 0);
    QVERIFY(process.readAllStandardOutput().isEmpty());
}

QTEST_GUILESS_MAIN(TestBoardSim)
#include "tst_boardsim.moc"

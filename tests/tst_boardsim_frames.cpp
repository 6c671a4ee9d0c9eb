#include "camerasource.h"
#include "capturefile.h"
#include "capturereplaysource.h"
#include "ccdsource.h"
#include "pacer.h"
#include "replaysource.h"
#include "scopesource.h"
#include "simoptions.h"
#include "textsource.h"
#include "unitsource.h"

#include <QTemporaryFile>
#include <QTest>

// What the simulated board sends, made without a port: options, frame layouts,
// the simulated track and the pacing arithmetic.
class TestBoardSimFrames : public QObject
{
    Q_OBJECT

private slots:
    void optionDefaultsAndValues();
    void optionErrorsAreOneLine_data();
    void optionErrorsAreOneLine();
    void scopeFrameLayout();
    void scopeWaveforms();
    void scopeNoiseAndCounter();
    void ccdLinesShowTwoDriftingEdges();
    void cameraPicturesShowTheTrack_data();
    void cameraPicturesShowTheTrack();
    void textLinesInTheLocalEncoding();
    void seedDecidesEverything();
    void replayEndsOrLoops();
    void replayFileErrors();
    void captureKeepsItsRecordedPace();
    void pacerSpreadsUnitsAndSkipsBacklog();
};

namespace {

SimOptions parse(const QStringList &arguments, ParseOutcome expected = ParseOutcome::Run)
{
    SimOptions options;
    QString error;
    const ParseOutcome outcome = parseSimArguments(
            QStringList { QStringLiteral("sim") } + arguments, true, options, error);
    if (outcome != expected)
        qWarning() << "unexpected outcome for" << arguments << error;
    return options;
}

QByteArray generate(UnitSource &source, qint64 n)
{
    QByteArray out;
    source.generate(out, n);
    return out;
}

int rawAt(const QByteArray &frames, int frame, int channel)
{
    const auto *bytes = reinterpret_cast<const uchar *>(frames.constData()) + frame * 11;
    return bytes[2 + 2 * channel] * 256 + bytes[3 + 2 * channel];
}

} // namespace

void TestBoardSimFrames::optionDefaultsAndValues()
{
    const SimOptions ccd = parse({ QStringLiteral("ccd") });
    QCOMPARE(ccd.mode, SimMode::Ccd);
    QCOMPARE(ccd.rate, 50.0);
    QCOMPARE(ccd.count, 0);
    QVERIFY(!ccd.seedGiven);
    QVERIFY(ccd.port.isEmpty());

    const SimOptions scope
            = parse({ QStringLiteral("--freq"), QStringLiteral("3"), QStringLiteral("scope"),
                      QStringLiteral("--amplitude"), QStringLiteral("1,2,3,4"),
                      QStringLiteral("--seed"), QStringLiteral("18446744073709551615"),
                      QStringLiteral("--rate"), QStringLiteral("0.5") });
    QCOMPARE(scope.frequencies, (std::array<double, 4> { 3, 3, 3, 3 }));
    QCOMPARE(scope.amplitudes, (std::array<int, 4> { 1, 2, 3, 4 }));
    QCOMPARE(scope.seed, Q_UINT64_C(18446744073709551615));
    QVERIFY(scope.seedGiven);
    QCOMPARE(scope.rate, 0.5);

    const SimOptions camera
            = parse({ QStringLiteral("camera"), QStringLiteral("--width"), QStringLiteral("320"),
                      QStringLiteral("--height"), QStringLiteral("1"), QStringLiteral("--count"),
                      QStringLiteral("7") });
    QCOMPARE(camera.width, 320);
    QCOMPARE(camera.height, 1);
    QCOMPARE(camera.count, 7);

    // A replay goes at the line speed unless told otherwise.
    const SimOptions replay
            = parse({ QStringLiteral("replay"), QStringLiteral("log.bin"), QStringLiteral("--port"),
                      QStringLiteral("COM4"), QStringLiteral("--baud"), QStringLiteral("9600"),
                      QStringLiteral("--loop") });
    QCOMPARE(replay.file, QStringLiteral("log.bin"));
    QCOMPARE(replay.port, QStringLiteral("COM4"));
    QCOMPARE(replay.rate, 960.0);
    QVERIFY(replay.loop);

    parse({ QStringLiteral("text"), QStringLiteral("--help") }, ParseOutcome::Help);
}

void TestBoardSimFrames::optionErrorsAreOneLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("virtualPorts");
    QTest::newRow("nan rate") << QStringList { "ccd", "--rate", "nan" } << true;
    QTest::newRow("huge rate") << QStringList { "ccd", "--rate", "1e7" } << true;
    QTest::newRow("negative frequency") << QStringList { "scope", "--freq", "-1" } << true;
    QTest::newRow("five amplitudes") << QStringList { "scope", "--amplitude", "1,2,3,4,5" } << true;
    QTest::newRow("empty port") << QStringList { "ccd", "--port", "" } << true;
    QTest::newRow("baud without port") << QStringList { "ccd", "--baud", "9600" } << true;
    QTest::newRow("no virtual ports") << QStringList { "ccd" } << false;
}

void TestBoardSimFrames::optionErrorsAreOneLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, virtualPorts);
    SimOptions options;
    options.rate = 123.0;
    QString error;
    QCOMPARE(parseSimArguments(QStringList { QStringLiteral("sim") } + arguments, virtualPorts,
                               options, error),
             ParseOutcome::Error);
    QVERIFY(!error.isEmpty());
    QVERIFY(!error.contains(QLatin1Char('\n')));
    QCOMPARE(options.rate, 123.0);
}

void TestBoardSimFrames::scopeFrameLayout()
{
    QCOMPARE(scopeFrame({ 0x0000, 0xFFFF, 0x8000, 0x1234 }, 7),
             QByteArray::fromHex("FFFF0000FFFF8000123407"));
}

void TestBoardSimFrames::scopeWaveforms()
{
    // One period every 1000 frames: quarter periods fall on whole frames.
    ScopeSource source(1000.0, { 1.0, 1.0, 1.0, 0.0 }, { 10000, 20000, 30000, 0 }, 1);
    const QByteArray frames = generate(source, 1000);
    QCOMPARE(frames.size(), 11000);
    const int mid = kScopeMidScale;
    const struct
    {
        int frame;
        int sine, square, triangle;
    } points[] = { { 0, mid, mid + 20000, mid },
                   { 250, mid + 10000, mid + 20000, mid + 30000 },
                   { 500, mid, mid - 20000, mid },
                   { 750, mid - 10000, mid - 20000, mid - 30000 } };
    for (const auto &p : points) {
        QVERIFY(qAbs(rawAt(frames, p.frame, 0) - p.sine) <= 1);
        QCOMPARE(rawAt(frames, p.frame, 1), p.square);
        QVERIFY(qAbs(rawAt(frames, p.frame, 2) - p.triangle) <= 1);
        QCOMPARE(rawAt(frames, p.frame, 3), mid);
    }
    // Full amplitude reaches both ends of the sample range without wrapping.
    QCOMPARE(rawSample(1.0, 32767), quint16(65535));
    QCOMPARE(rawSample(-1.0, 32767), quint16(1));
}

void TestBoardSimFrames::scopeNoiseAndCounter()
{
    // Noise changing 10 times a second at 1000 frames a second: held for 100 frames.
    ScopeSource source(1000.0, { 1.0, 1.0, 1.0, 10.0 }, { 1, 1, 1, 5000 }, 3);
    const QByteArray frames = generate(source, 600);
    QSet<int> levels;
    for (int k = 0; k < 600; ++k) {
        const int noise = rawAt(frames, k, 3);
        QVERIFY(qAbs(noise - kScopeMidScale) <= 5000);
        if (k % 100 != 0)
            QCOMPARE(noise, rawAt(frames, k - 1, 3));
        levels.insert(noise);
        QCOMPARE(int(uchar(frames.at(k * 11 + 10))), k % 255);
    }
    QVERIFY(levels.size() >= 5);
}

void TestBoardSimFrames::ccdLinesShowTwoDriftingEdges()
{
    // 40 seconds of lines at 50 a second.
    const std::array<double, 3> phases { 0.1, 0.6, 0.3 };
    SimRandom random(9);
    double leftLow = 128, leftHigh = 0;
    for (int k = 0; k < 2000; ++k) {
        const CcdEdges edges = ccdEdges(k / 50.0, phases);
        const QByteArray line = ccdLine(edges, random);
        QCOMPARE(line.size(), kCcdPixels + 1);
        QCOMPARE(line.indexOf(char(0xFF)), kCcdPixels);
        const auto pixel = [&line](double x) { return int(uchar(line.at(int(x)))); };
        QVERIFY(edges.left >= 6 && edges.right <= 122);
        QVERIFY(pixel(edges.left) < 60);
        QVERIFY(pixel(edges.right) < 60);
        QVERIFY(pixel((edges.left + edges.right) / 2) > 150);
        QVERIFY(pixel(edges.left + 6) > pixel(edges.left - 6) + 40);
        leftLow = qMin(leftLow, edges.left);
        leftHigh = qMax(leftHigh, edges.left);
    }
    QVERIFY(leftHigh - leftLow > 15);
}

void TestBoardSimFrames::cameraPicturesShowTheTrack_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("default") << 120 << 40;
    QTest::newRow("largest") << 320 << 240;
    QTest::newRow("one pixel") << 1 << 1;
    QTest::newRow("narrow") << 7 << 3;
}

void TestBoardSimFrames::cameraPicturesShowTheTrack()
{
    QFETCH(int, width);
    QFETCH(int, height);
    const std::array<double, 2> phases { 0.2, 0.7 };
    SimRandom random(4);
    for (const double seconds : { 0.0, 3.0, 7.5, 12.0, 19.0 }) {
        const QByteArray picture = cameraPicture(width, height, seconds, phases, random);
        QCOMPARE(picture.size(), width * height + 1);
        QCOMPARE(picture.indexOf(char(0xFF)), width * height);
        for (int row = 0; row < height; ++row) {
            const CameraTrackRow track = cameraTrackRow(width, height, row, seconds, phases);
            const auto pixel
                    = [&](double x) { return int(uchar(picture.at(row * width + int(x)))); };
            if (track.centre >= 0 && track.centre < width && track.halfWidth >= 2)
                QVERIFY(pixel(track.centre) > 150);
            for (const double beside :
                 { track.centre - track.halfWidth - 1.5, track.centre + track.halfWidth + 1.5 }) {
                if (beside >= 0 && beside < width)
                    QVERIFY(pixel(beside) < 110);
            }
        }
    }
    // Seen from the car, the track narrows towards the top.
    QVERIFY(cameraTrackRow(width, height, 0, 0, phases).halfWidth
            <= cameraTrackRow(width, height, height - 1, 0, phases).halfWidth);
}

void TestBoardSimFrames::textLinesInTheLocalEncoding()
{
    TextSource source(10.0, 2);
    const QByteArray bytes = generate(source, 200);
    QVERIFY(!bytes.contains('\0'));
    QVERIFY(!bytes.contains('\r'));
    const QString text = QString::fromLocal8Bit(bytes);
    QCOMPARE(text.toLocal8Bit(), bytes);
    QVERIFY(text.endsWith(QLatin1Char('\n')));
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 200);
    QVERIFY(lines.first().startsWith(QStringLiteral("[    0.000] 速度:")));
    QVERIFY(lines.at(199).startsWith(QStringLiteral("[   19.900] ")));
    QVERIFY(text.contains(QStringLiteral("事件：")));
}

void TestBoardSimFrames::seedDecidesEverything()
{
    const auto run = [](quint64 seed) {
        QByteArray out;
        TextSource(10.0, seed).generate(out, 20);
        ScopeSource(500.0, { 1, 1, 1, 0 }, { 9, 9, 9, 9000 }, seed).generate(out, 20);
        CcdSource(50.0, seed).generate(out, 3);
        CameraSource(30, 10, 10.0, seed).generate(out, 3);
        return out;
    };
    QCOMPARE(run(42), run(42));
    QVERIFY(run(42) != run(43));

    // Generating in pieces gives the same bytes as in one go.
    CcdSource whole(50.0, 5), pieces(50.0, 5);
    QByteArray split = generate(pieces, 2);
    split += generate(pieces, 3);
    QCOMPARE(split, generate(whole, 5));
}

void TestBoardSimFrames::replayEndsOrLoops()
{
    ReplaySource once(QByteArrayLiteral("abcde"), false);
    QByteArray out;
    QCOMPARE(once.generate(out, 3), 3);
    QCOMPARE(once.generate(out, 3), 2);
    QCOMPARE(once.generate(out, 3), 0);
    QCOMPARE(out, QByteArrayLiteral("abcde"));

    ReplaySource looping(QByteArrayLiteral("abc"), true);
    QCOMPARE(generate(looping, 8), QByteArrayLiteral("abcabcab"));
}

void TestBoardSimFrames::replayFileErrors()
{
    SimOptions options;
    options.mode = SimMode::Replay;
    QString error;
    options.file = QStringLiteral("/nonexistent/board.bin");
    QVERIFY(!createUnitSource(options, error));
    QVERIFY(error.contains(options.file));

    QTemporaryFile empty;
    QVERIFY(empty.open());
    options.file = empty.fileName();
    error.clear();
    QVERIFY(!createUnitSource(options, error));
    QVERIFY(error.contains(QStringLiteral("empty")));
}

// A capture file is recognised by its header: its bytes are due at their
// recorded times, counted from the first record; damage is reported and what
// comes before it is sent.
void TestBoardSimFrames::captureKeepsItsRecordedPace()
{
    QByteArray file = CaptureFormat::header();
    CaptureFormat::appendRecord(file, 5000000, "ab");
    CaptureFormat::appendRecord(file, 5100000, "cde");
    CaptureFormat::appendRecord(file, 5300000, "f");
    QTemporaryFile capture;
    QVERIFY(capture.open());
    capture.write(file.chopped(1));
    capture.flush();

    SimOptions options;
    options.mode = SimMode::Replay;
    options.file = capture.fileName();
    QString error;
    QString warning;
    std::unique_ptr<UnitSource> source = createUnitSource(options, error, &warning);
    QVERIFY(source);
    QVERIFY(warning.contains(QStringLiteral("damaged")));
    const qint64 ms = 1000000;
    const QList<qint64> due = { source->dueBy(0), source->dueBy(99 * ms), source->dueBy(100 * ms),
                                source->dueBy(10000 * ms) };
    QCOMPARE(due, (QList<qint64> { 2, 2, 5, 5 }));
    QCOMPARE(generate(*source, 9), QByteArrayLiteral("abcde"));

    CaptureFormat::appendRecord(file, 5300000, "g");
    QList<CaptureRecord> records;
    QVERIFY(CaptureReplaySource::readCapture(file, records, error));
    // Looping starts over the mean gap (100 ms) after the last record.
    CaptureReplaySource looping(records, true);
    QCOMPARE(looping.dueBy(299 * ms), 5);
    QCOMPARE(looping.dueBy(300 * ms), 7);
    QCOMPARE(looping.dueBy(400 * ms), 9);
    QCOMPARE(generate(looping, 9), QByteArrayLiteral("abcdefgab"));
    // Any other file has no pace of its own.
    QCOMPARE(ReplaySource(file, false).dueBy(ms), -1);
}

void TestBoardSimFrames::pacerSpreadsUnitsAndSkipsBacklog()
{
    const qint64 ms = 1000000;
    Pacer pacer(10.0);
    pacer.restart(1000 * ms);
    QCOMPARE(pacer.take(1000 * ms), 1);
    QCOMPARE(pacer.take(1050 * ms), 0);
    QCOMPARE(pacer.take(1100 * ms), 1);
    QCOMPARE(pacer.take(1100 * ms), 0);
    QCOMPARE(pacer.take(1350 * ms), 2);
    QCOMPARE(pacer.take(1700 * ms), 4);
    // Stalled for seconds: one unit now, then the normal pace from here.
    QCOMPARE(pacer.take(9000 * ms), 1);
    QCOMPARE(pacer.take(9050 * ms), 0);
    QCOMPARE(pacer.take(9100 * ms), 1);
}

QTEST_GUILESS_MAIN(TestBoardSimFrames)
#include "tst_boardsim_frames.moc"

#include "mainwindow.h"
#include "oscilloscopewave.h"
#include "picview.h"
#include "testsupport.h"
#include "tst_boardsim_support.h"
#include "waveview.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QSerialPort>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <QSet>

#include <memory>

namespace {

constexpr int kWaitMs = 20000;

QByteArray joined(const QList<QByteArray> &units)
{
    QByteArray bytes;
    for (const QByteArray &unit : units)
        bytes += unit;
    return bytes;
}

// Every byte the terminal has received, read back from its hexadecimal display.
QByteArray terminalBytes(const MainWindow &window)
{
    return QByteArray::fromHex(
            window.findChild<QPlainTextEdit *>("DataGetted")->toPlainText().toLatin1());
}

// Frames of 11 bytes whose first ten bytes lie within [begin, end) of the
// stream: those a decoder that starts at begin decodes by end.
qsizetype framesWithin(qsizetype begin, qsizetype end)
{
    const qsizetype first = (begin + 10) / 11;
    const qsizetype last = end >= 10 ? (end - 10) / 11 : -1;
    return qMax<qsizetype>(0, last - first + 1);
}

bool waitForNotice(BoardSim &sim, QByteArray &notices, const char *text, int times)
{
    const QDeadlineTimer deadline(kWaitMs);
    while ((notices += sim.process().readAllStandardError()).count(text) < times) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(20);
    }
    return true;
}

} // namespace

// The main window's receive buffer as the tabs share it, with the simulated
// board sending: what a tab leaves goes to the next current tab with the next
// arrival, and survives closing and reopening the port.
class TestE2EHandover : public QObject
{
    Q_OBJECT

private slots:
    void tabSwitchesWhileDataFlows();
    void closeAndReopenKeepsUnconsumedBytes();
    void reopeningOnEveryTabWhileDataFlows();
};

// Scope frames flow while the terminal takes turns with each other tab. The
// terminal witnesses the hand-over: each stretch it receives starts with what
// the tab before it left and continues the stream at exactly that point, so
// the bytes in between are the ones that tab consumed, and they match its rules.
void TestE2EHandover::tabSwitchesWhileDataFlows()
{
    SKIP_WITHOUT_PTYS();
    constexpr int kFrames = 16000;
    // CH4 takes a new noise value in every frame, so any few frames are unique.
    const QStringList arguments
            = { QStringLiteral("scope"),  QStringLiteral("--seed"), QStringLiteral("31"),
                QStringLiteral("--rate"), QStringLiteral("2000"),   QStringLiteral("--count"),
                QString::number(kFrames), QStringLiteral("--freq"), QStringLiteral("1,0.5,2,0") };
    const QByteArray stream = joined(simUnits(arguments, kFrames));
    QCOMPARE(stream.size(), qsizetype(kFrames) * 11);

    BoardSim sim;
    QVERIFY(sim.start(arguments));
    DialogDriver dialogs;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *tabs = window.findChild<QTabWidget *>("tabWidget");
    const OscilloscopeWave *scope = window.findChild<OscilloscopeWave *>();
    const WaveView *ccdLine = window.findChild<WaveView *>();
    const PicView *picture = window.findChild<QGroupBox *>("groupBoxPic")->findChild<PicView *>();
    // Small pictures, so that the camera tab acts after a few dozen frames.
    window.findChild<QSpinBox *>("spinBoxWidth")->setValue(16);
    window.findChild<QSpinBox *>("spinBoxHeight")->setValue(16);
    const QByteArray blankPicture = imageBytes(*picture->image());

    QCOMPARE(tabs->currentIndex(), 0);
    typePortAndOpen(&window, sim.path());
    QVERIFY(window.findChild<QSerialPort *>());
    QTRY_VERIFY_WITH_TIMEOUT(terminalBytes(window).size() >= 110, kWaitMs);

    // The stream up to streamEnd has been consumed; the terminal's current
    // stretch began at stretchStart in the stream and at shown in its display.
    qsizetype stretchStart = 0;
    qsizetype shown = 0;
    for (int tab = 1; tab <= 3; ++tab) {
        // Leaving the terminal: it has taken every byte delivered to it.
        const QByteArray stretch = terminalBytes(window).mid(shown);
        QVERIFY(window.recvBuffer().isEmpty());
        QCOMPARE(stream.mid(stretchStart, stretch.size()), stretch);
        const qsizetype streamEnd = stretchStart + stretch.size();
        const qsizetype samplesBefore = scope->samples(0).size();

        tabs->setCurrentIndex(tab);
        switch (tab) {
        case 1:
            QTRY_VERIFY_WITH_TIMEOUT(scope->samples(0).size() >= samplesBefore + 20, kWaitMs);
            break;
        case 2:
            QTRY_VERIFY_WITH_TIMEOUT(ccdLine->data() != QByteArray(128, '\0'), kWaitMs);
            break;
        case 3:
            QTRY_VERIFY_WITH_TIMEOUT(imageBytes(*picture->image()) != blankPicture, kWaitMs);
            break;
        }

        // Back to the terminal: its next arrival starts with what the tab left.
        const QByteArray handed = window.recvBuffer();
        shown = terminalBytes(window).size();
        tabs->setCurrentIndex(0);
        QTRY_VERIFY_WITH_TIMEOUT(terminalBytes(window).size() >= shown + handed.size() + 33,
                                 kWaitMs);
        const QByteArray arrived = terminalBytes(window).mid(shown);
        QVERIFY(arrived.startsWith(handed));
        stretchStart = stream.indexOf(arrived, streamEnd);
        QVERIFY2(stretchStart >= streamEnd, "the terminal's bytes do not continue the stream");
        const QByteArray consumed = stream.mid(streamEnd, stretchStart - streamEnd);

        switch (tab) {
        case 1:
            // Whole frames only, at most nine bytes of the next one left.
            QVERIFY(handed.size() <= 9);
            QCOMPARE(scope->samples(0).size() - samplesBefore,
                     framesWithin(streamEnd, stretchStart));
            break;
        case 2:
            // Everything up to the last end byte; the line shown came before it.
            QVERIFY(consumed.endsWith(char(0xFF)));
            QVERIFY(consumed.contains(ccdLine->data() + char(0xFF)));
            break;
        case 3:
            QVERIFY(consumed.endsWith(char(0xFF)));
            QVERIFY(consumed.contains(imageBytes(*picture->image()) + char(0xFF)));
            break;
        }
    }

    // The terminal stays current: it receives the rest of the stream to the end.
    const qsizetype rest = stream.size() - stretchStart;
    QTRY_COMPARE_WITH_TIMEOUT(terminalBytes(window).size(), shown + rest, 30000);
    QCOMPARE(terminalBytes(window).mid(shown), stream.mid(stretchStart));
    QVERIFY(window.recvBuffer().isEmpty());
    QVERIFY(dialogs.boxes.isEmpty());
}

// Debug text (no end byte in it) goes to the linear CCD tab, which keeps it
// all waiting for a line end. Closing the port keeps those bytes; after a tab
// switch and a reopen they are the first the terminal receives, followed by
// what the board sends from then on, from the start of a line.
void TestE2EHandover::closeAndReopenKeepsUnconsumedBytes()
{
    SKIP_WITHOUT_PTYS();
    constexpr int kLines = 300;
    const QStringList arguments
            = { QStringLiteral("text"),   QStringLiteral("--seed"), QStringLiteral("17"),
                QStringLiteral("--rate"), QStringLiteral("100"),    QStringLiteral("--count"),
                QString::number(kLines),  QStringLiteral("--stay") };
    const QList<QByteArray> lines = simUnits(arguments, kLines);
    const QByteArray stream = joined(lines);
    QVERIFY(!stream.contains(char(0xFF)));

    BoardSim sim;
    QVERIFY(sim.start(arguments));
    DialogDriver dialogs;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *tabs = window.findChild<QTabWidget *>("tabWidget");
    auto *openButton = window.findChild<QPushButton *>("openPort");

    tabs->setCurrentIndex(2);
    typePortAndOpen(&window, sim.path());
    QVERIFY(window.findChild<QSerialPort *>());
    QTRY_VERIFY_WITH_TIMEOUT(window.recvBuffer().size() >= 300, kWaitMs);

    QTest::mouseClick(openButton, Qt::LeftButton);
    QVERIFY(!window.findChild<QSerialPort *>());
    const QByteArray kept = window.recvBuffer();
    QCOMPARE(kept, stream.left(kept.size()));
    QByteArray notices;
    QVERIFY(waitForNotice(sim, notices, "waiting for it to open again", 1));

    // Switching tabs while the port is closed delivers nothing.
    tabs->setCurrentIndex(0);
    QTest::qWait(100);
    QCOMPARE(window.recvBuffer(), kept);
    QVERIFY(terminalBytes(window).isEmpty());

    typePortAndOpen(&window, sim.path());
    QVERIFY(window.findChild<QSerialPort *>());
    QVERIFY(waitForNotice(sim, notices, "sent 300 lines", 1));
    QTRY_VERIFY_WITH_TIMEOUT(terminalBytes(window).endsWith(lines.last()), kWaitMs);

    const QByteArray received = terminalBytes(window);
    QVERIFY(received.startsWith(kept));
    const QByteArray after = received.mid(kept.size());
    QVERIFY(!after.isEmpty());
    QCOMPARE(after, stream.right(after.size()));
    qsizetype lineStart = stream.size();
    for (qsizetype i = lines.size() - 1; i >= 0 && lineStart > stream.size() - after.size(); --i)
        lineStart -= lines.at(i).size();
    QCOMPARE(lineStart, stream.size() - after.size());
    QVERIFY(window.recvBuffer().isEmpty());
    QVERIFY(dialogs.boxes.isEmpty());
}

// CCD lines flow while the port is opened on each tab in turn, the next tab
// is made current during the flow and the port is closed again. Closing ends
// the deliveries at once and leaves the buffer as the last tab left it; the
// window stays usable and every line the linear CCD tab shows is a real one.
void TestE2EHandover::reopeningOnEveryTabWhileDataFlows()
{
    SKIP_WITHOUT_PTYS();
    const QStringList arguments
            = { QStringLiteral("ccd"),    QStringLiteral("--seed"), QStringLiteral("3"),
                QStringLiteral("--rate"), QStringLiteral("500"),    QStringLiteral("--stay") };
    // Far more lines than the test lasts.
    QSet<QByteArray> lines;
    for (const QByteArray &line : simUnits(arguments, 20000))
        lines.insert(line.left(128));

    BoardSim sim;
    QVERIFY(sim.start(arguments));
    DialogDriver dialogs;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *tabs = window.findChild<QTabWidget *>("tabWidget");
    auto *openButton = window.findChild<QPushButton *>("openPort");
    const WaveView *ccdLine = window.findChild<WaveView *>();

    QByteArray notices;
    for (int round = 0; round < 8; ++round) {
        tabs->setCurrentIndex(round % 4);
        typePortAndOpen(&window, sim.path());
        auto *port = window.findChild<QSerialPort *>();
        QVERIFY(port);
        auto arrivals = std::make_unique<QSignalSpy>(port, &QSerialPort::readyRead);
        QTRY_VERIFY_WITH_TIMEOUT(arrivals->size() >= 3, kWaitMs);
        tabs->setCurrentIndex((round + 1) % 4);
        arrivals->clear();
        QTRY_VERIFY_WITH_TIMEOUT(arrivals->size() >= 3, kWaitMs);
        arrivals.reset();

        QTest::mouseClick(openButton, Qt::LeftButton);
        QVERIFY(!window.findChild<QSerialPort *>());
        const QByteArray kept = window.recvBuffer();
        QVERIFY(waitForNotice(sim, notices, "waiting for it to open again", round + 1));
        QCOMPARE(window.recvBuffer(), kept);
        QCOMPARE(openButton->text(), QStringLiteral("打开串口"));
        QVERIFY2(lines.contains(ccdLine->data()) || ccdLine->data() == QByteArray(128, '\0'),
                 "the linear CCD tab shows a line the board did not send");
    }
    QVERIFY(lines.contains(ccdLine->data()));
    QVERIFY(dialogs.boxes.isEmpty());
    sim.sendSignal(SIGINT);
    QVERIFY(sim.finishedCleanly());
}

QTEST_MAIN(TestE2EHandover)
#include "tst_e2e_handover.moc"

#include "capturefile.h"
#include "captureplayer.h"
#include "mainwindow.h"
#include "oscilloscopewave.h"
#include "picview.h"
#include "replaycontrols.h"
#include "serialpanel.h"
#include "simoptions.h"
#include "statusbarpanel.h"
#include "testsupport.h"
#include "unitsource.h"
#include "waveview.h"

#include <QApplication>
#include <QBuffer>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

namespace {

constexpr int kWaitMs = 20000;

// What a tab shows, as bytes to compare.
QByteArray tabState(const MainWindow &window, int tab)
{
    switch (tab) {
    case 0:
        return window.findChild<QPlainTextEdit *>("DataGetted")->toPlainText().toUtf8();
    case 1: {
        QByteArray samples;
        const auto *scope = window.findChild<OscilloscopeWave *>();
        for (int ch = 0; ch < 4; ++ch)
            for (double v : scope->samples(ch))
                samples += QByteArray::number(v, 'g', 17) + ' ';
        return samples;
    }
    case 2:
        return window.findChild<WaveView *>()->data();
    default:
        return imageBytes(
                *window.findChild<QGroupBox *>("groupBoxPic")->findChild<PicView *>()->image());
    }
}

// The terminal's hexadecimal display, without its line breaks.
QByteArray terminalHex(const MainWindow &window)
{
    return window.findChild<QPlainTextEdit *>("DataGetted")->toPlainText().simplified().toLatin1();
}

QByteArray boardBytes(SimMode mode, qint64 units)
{
    SimOptions options;
    options.mode = mode;
    options.rate = 500;
    options.seed = 7;
    QString error;
    QByteArray bytes;
    createUnitSource(options, error)->generate(bytes, units);
    return bytes;
}

QList<CaptureRecord> readCapture(const QString &path, CaptureReader::Status &end)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    CaptureReader reader(&file);
    QList<CaptureRecord> records;
    if (reader.open() != CaptureReader::Kind::Capture)
        return records;
    CaptureRecord record;
    while ((end = reader.next(record)) == CaptureReader::Status::Record)
        records.append(record);
    return records;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

} // namespace

// Recording what the port receives and replaying it into the window, with
// the board played over a pair of virtual ports.
class TestReplay : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void recordThenReplayIntoEachTab_data();
    void recordThenReplayIntoEachTab();
    void recordingEndsWithThePort();
    void failedWriteEndsRecording();
    void replayLocksThePanel();
    void damagedCaptureSaysSo();
    void rawFilePlaysAtTheChosenRate();

private:
    // Opens a port of a new virtual pair in window; the test writes to the other end.
    bool openPort(MainWindow &window);
    void boardWrite(const QByteArray &bytes);
    QToolButton *button(MainWindow &window, const char *name)
    {
        return window.findChild<QToolButton *>(name);
    }
    void replay(MainWindow &window, const QString &path, int speedIndex);

    QTemporaryDir *m_dir = nullptr;
    VirtualSerialPair *m_pair = nullptr;
    QSerialPort *m_board = nullptr;
    DialogDriver *m_dialogs = nullptr;
};

void TestReplay::init()
{
    m_dir = new QTemporaryDir;
    m_dialogs = new DialogDriver;
}

void TestReplay::cleanup()
{
    delete m_dialogs;
    delete m_board;
    delete m_pair;
    delete m_dir;
    m_dialogs = nullptr;
    m_board = nullptr;
    m_pair = nullptr;
    m_dir = nullptr;
}

bool TestReplay::openPort(MainWindow &window)
{
    m_pair = new VirtualSerialPair;
    if (!m_pair->start())
        return false;
    m_board = new QSerialPort(m_pair->second());
    if (!m_board->open(QIODevice::ReadWrite))
        return false;
    window.serialPanel()->setPortEntry(m_pair->first());
    window.serialPanel()->openChosenPort();
    return window.connection()->isOpen();
}

void TestReplay::boardWrite(const QByteArray &bytes)
{
    m_board->write(bytes);
    QTRY_COMPARE_WITH_TIMEOUT(m_board->bytesToWrite(), 0, kWaitMs);
}

void TestReplay::replay(MainWindow &window, const QString &path, int speedIndex)
{
    window.findChild<QToolButton *>("replaySpeed")->menu()->actions().at(speedIndex)->trigger();
    m_dialogs->fileAnswers = { path };
    QTest::mouseClick(button(window, "replayButton"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(window.player()->isActive(), kWaitMs);
}

void TestReplay::recordThenReplayIntoEachTab_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("terminal") << 0 << boardBytes(SimMode::Text, 30);
    QTest::newRow("oscilloscope") << 1 << boardBytes(SimMode::Scope, 900);
    QTest::newRow("linear CCD") << 2 << boardBytes(SimMode::Ccd, 25);
    QTest::newRow("camera") << 3 << boardBytes(SimMode::Camera, 4);
}

// The live run is recorded: the file holds exactly the bytes sent, in
// several records whose times never go back. Replayed as fast as possible
// into a fresh window, it leaves the tab as the live run left it.
void TestReplay::recordThenReplayIntoEachTab()
{
    QFETCH(int, tab);
    QFETCH(QByteArray, bytes);
    SKIP_WITHOUT_SOCAT();
    const QString path = m_dir->filePath(QStringLiteral("run.cap"));

    MainWindow live;
    live.setCurrentTab(tab);
    live.show();
    QVERIFY(openPort(live));
    m_dialogs->fileAnswers = { path };
    QTest::mouseClick(button(live, "recordButton"), Qt::LeftButton);
    QVERIFY(button(live, "recordButton")->isChecked());
    QCOMPARE(m_dialogs->offeredNames.value(0).left(8), QStringLiteral("capture_"));
    const qsizetype step = bytes.size() / 7 + 1;
    for (qsizetype at = 0; at < bytes.size(); at += step) {
        boardWrite(bytes.mid(at, step));
        QTest::qWait(30);
    }
    QTRY_COMPARE_WITH_TIMEOUT(live.connection()->receivedBytes(), bytes.size(), kWaitMs);
    QTest::mouseClick(button(live, "recordButton"), Qt::LeftButton);
    QVERIFY(!button(live, "recordButton")->isChecked());

    CaptureReader::Status end = CaptureReader::Status::Record;
    const QList<CaptureRecord> records = readCapture(path, end);
    QCOMPARE(end, CaptureReader::Status::End);
    QVERIFY(records.size() >= 3);
    QByteArray recorded;
    for (qsizetype i = 0; i < records.size(); ++i) {
        recorded += records[i].bytes;
        if (i > 0)
            QVERIFY(records[i].micros >= records[i - 1].micros);
    }
    QCOMPARE(recorded, bytes);

    MainWindow replayed;
    replayed.setCurrentTab(tab);
    replayed.show();
    QSignalSpy finished(replayed.player(), &CapturePlayer::finished);
    replay(replayed, path, 6);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, kWaitMs);
    QCOMPARE(finished[0][0].value<CapturePlayer::Outcome>(), CapturePlayer::Outcome::Finished);
    QVERIFY(!tabState(live, tab).isEmpty());
    QCOMPARE(tabState(replayed, tab), tabState(live, tab));
    QCOMPARE(replayed.recvBuffer(), live.recvBuffer());
    QVERIFY(m_dialogs->boxes.isEmpty());
}

// A plain dump holds the bytes alone; closing the port ends the recording
// with everything received, and 录制 waits for the next port.
void TestReplay::recordingEndsWithThePort()
{
    SKIP_WITHOUT_SOCAT();
    const QString path = m_dir->filePath(QStringLiteral("run.bin"));
    MainWindow window;
    window.show();
    QToolButton *record = button(window, "recordButton");
    QVERIFY(!record->isEnabled());
    QVERIFY(openPort(window));
    QVERIFY(record->isEnabled());
    m_dialogs->fileAnswers = { path };
    QTest::mouseClick(record, Qt::LeftButton);
    const QByteArray bytes = boardBytes(SimMode::Scope, 3000);
    boardWrite(bytes);
    QTRY_COMPARE_WITH_TIMEOUT(window.connection()->receivedBytes(), bytes.size(), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(window.findChild<QLabel *>("recordProgress")
                                     ->text()
                                     .endsWith(QStringLiteral("33.0 KB")),
                             kWaitMs);
    window.findChild<QPushButton *>("openPort")->click();
    QVERIFY(!record->isChecked());
    QVERIFY(!record->isEnabled());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
}

// A full disk ends the recording with one box; the capture stays readable.
void TestReplay::failedWriteEndsRecording()
{
    SKIP_WITHOUT_SOCAT();
    const QString path = m_dir->filePath(QStringLiteral("full.cap"));
    MainWindow window;
    window.show();
    QVERIFY(openPort(window));
    m_dialogs->fileAnswers = { path };
    QTest::mouseClick(button(window, "recordButton"), Qt::LeftButton);
    {
        FileSizeLimit limit(2000);
        if (!limit.isActive())
            QSKIP("needs a file size limit");
        for (int i = 0; i < 10; ++i) {
            boardWrite(QByteArray(500, char('0' + i)));
            QTest::qWait(100);
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->boxes.size(), 1, kWaitMs);
    }
    QCOMPARE(m_dialogs->boxes[0].title, QStringLiteral("错误"));
    QVERIFY(m_dialogs->boxes[0].text.contains(path));
    QVERIFY(!button(window, "recordButton")->isChecked());
    CaptureReader::Status end = CaptureReader::Status::Record;
    const QList<CaptureRecord> records = readCapture(path, end);
    QCOMPARE(end, CaptureReader::Status::End);
    QVERIFY(!records.isEmpty());
    QCOMPARE(records[0].bytes.left(1), QByteArray("0"));
}

// While a replay plays, the panel is locked as with a port open, and no
// port can open; pausing keeps it so, the end unlocks it. With a port open,
// replay is not offered.
void TestReplay::replayLocksThePanel()
{
    QByteArray file = CaptureFormat::header();
    for (int i = 0; i < 20; ++i)
        CaptureFormat::appendRecord(file, quint64(i) * 200000, QByteArray::number(i) + ' ');
    const QString path = m_dir->filePath(QStringLiteral("slow.cap"));
    writeFile(path, file);

    MainWindow window;
    // A tab that shows its frame health, the widest section.
    window.setCurrentTab(1);
    window.resize(1000, 550);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QStatusBar *bar = window.statusBar();
    const int barHeight = bar->height();
    QSignalSpy opened(&window, &MainWindow::comOpen);
    QSignalSpy closed(&window, &MainWindow::comClose);
    const char *panel[]
            = { "comList",      "baudrateList", "updataComBnt", "ParityList",   "DataBitsList",
                "StopBitsList", "openPort",     "spinBoxWidth", "spinBoxHeight" };
    replay(window, path, 2);
    QCOMPARE(opened.size(), 1);
    for (const char *name : panel)
        QVERIFY2(!window.findChild<QWidget *>(name)->isEnabled(), name);
    window.serialPanel()->openChosenPort();
    QVERIFY(!window.connection()->isOpen());
    QVERIFY(!button(window, "recordButton")->isEnabled());
    QVERIFY(window.findChild<QProgressBar *>("replayProgress")->isVisible());
    QCOMPARE(window.width(), 1000);
    QTRY_COMPARE(bar->height(), barHeight);
    // Sections stand in the order added, before the port's counters.
    QWidget *frameHealth = bar->findChild<QWidget *>("frameHealthLabel");
    QVERIFY(frameHealth->isVisible());
    QVERIFY(window.replayControls()->geometry().right() < frameHealth->geometry().left());
    QVERIFY(frameHealth->geometry().right()
            < bar->findChild<QWidget *>("trafficCounters")->geometry().left());
    for (QWidget *part : bar->findChildren<QWidget *>()) {
        if (part->isVisible() && part->parentWidget() == bar)
            QVERIFY2(bar->rect().contains(part->geometry()), qPrintable(part->objectName()));
    }

    QTest::mouseClick(button(window, "replayPause"), Qt::LeftButton);
    QCOMPARE(window.player()->state(), CapturePlayer::State::Paused);
    const qint64 delivered = window.player()->deliveredBytes();
    QTest::qWait(500);
    QCOMPARE(window.player()->deliveredBytes(), delivered);
    QVERIFY(!window.findChild<QWidget *>("comList")->isEnabled());
    QTest::mouseClick(button(window, "replayPause"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(window.player()->deliveredBytes() > delivered, kWaitMs);

    QTest::mouseClick(button(window, "replayButton"), Qt::LeftButton);
    QVERIFY(!window.player()->isActive());
    QCOMPARE(closed.size(), 1);
    QCOMPARE(opened.size(), 1);
    for (const char *name : panel)
        QVERIFY2(window.findChild<QWidget *>(name)->isEnabled(), name);
    QVERIFY(!window.findChild<QProgressBar *>("replayProgress")->isVisible());
    QVERIFY(m_dialogs->boxes.isEmpty());

    if (!VirtualSerialPair::isAvailable())
        return;
    QVERIFY(openPort(window));
    QVERIFY(!button(window, "replayButton")->isEnabled());
}

// A capture cut short plays up to the cut, then a box says where it broke.
void TestReplay::damagedCaptureSaysSo()
{
    QByteArray file = CaptureFormat::header();
    CaptureFormat::appendRecord(file, 0, "good ");
    CaptureFormat::appendRecord(file, 10, "bytes");
    const qsizetype damage = file.size();
    CaptureFormat::appendRecord(file, 20, "lost");
    const QString path = m_dir->filePath(QStringLiteral("cut.cap"));
    writeFile(path, file.chopped(2));

    MainWindow window;
    window.setCurrentTab(0);
    window.show();
    QSignalSpy finished(window.player(), &CapturePlayer::finished);
    replay(window, path, 2);
    QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->boxes.size(), 1, kWaitMs);
    QCOMPARE(finished[0][0].value<CapturePlayer::Outcome>(), CapturePlayer::Outcome::Damaged);
    QVERIFY(m_dialogs->boxes[0].text.contains(QString::number(damage)));
    QCOMPARE(terminalHex(window), QByteArray("good bytes").toHex(' ').toUpper());
    QVERIFY(window.findChild<QWidget *>("comList")->isEnabled());
}

// A file without the capture's header plays as plain bytes, at the rate the
// dialog is given.
void TestReplay::rawFilePlaysAtTheChosenRate()
{
    const QByteArray bytes = boardBytes(SimMode::Text, 20);
    const QString path = m_dir->filePath(QStringLiteral("saved.bin"));
    writeFile(path, bytes);
    MainWindow window;
    window.setCurrentTab(0);
    window.show();
    int offered = 0;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&] {
        if (auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget())) {
            offered = dialog->intValue();
            dialog->setIntValue(2000);
            dialog->accept();
        }
    });
    answer.start(10);
    QSignalSpy finished(window.player(), &CapturePlayer::finished);
    replay(window, path, 2);
    QCOMPARE(offered, ReplayControls::kDefaultRawRate);
    QCOMPARE(window.player()->durationMs(), bytes.size() * 1000 / 2000);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, kWaitMs);
    QCOMPARE(terminalHex(window), bytes.toHex(' ').toUpper());
}

QTEST_MAIN(TestReplay)
#include "tst_replay.moc"

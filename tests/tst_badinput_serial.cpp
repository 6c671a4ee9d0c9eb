#include "ccd.h"
#include "comassistant.h"
#include "linearccd.h"
#include "mainwindow.h"
#include "oscilloscope.h"
#include "oscilloscopewave.h"
#include "picview.h"
#include "serialconnection.h"
#include "testsupport.h"
#include "waveview.h"

#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <memory>

namespace {

// One of everything a board sends: a line of text, scope frames, a CCD line
// and a 120 x 40 picture; no pixel or sample byte is 0xFF.
QByteArray scopeFrames()
{
    return QByteArray::fromHex("FFFF1000200030004000AA"
                               "FFFF1100210031004100AA");
}

QByteArray ccdLine()
{
    QByteArray line(128, '\0');
    for (int i = 0; i < line.size(); ++i)
        line[i] = char(i * 2);
    return line + '\xFF';
}

QByteArray picture(int width, int height, int seed)
{
    QByteArray bytes(width * height, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 7 + seed) % 250);
    return bytes;
}

} // namespace

// What the tabs hold of the bytes received: none of it may be lost when a
// port is refused, goes away or carries noise.
struct Received
{
    QString terminal;
    QList<double> scope[4];
    QByteArray ccdLine;
    QByteArray picture;

    bool operator==(const Received &other) const
    {
        return terminal == other.terminal && ccdLine == other.ccdLine && picture == other.picture
                && std::equal(std::begin(scope), std::end(scope), std::begin(other.scope));
    }
};

// The main window against bad ports and bad bytes: every refusal is told in
// the program's words, and what was received before stays shown.
class TestBadInputSerial : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void refusedPorts_data();
    void refusedPorts();
    void portVanishesDuringSend();
    void noiseFeedsEveryTab_data();
    void noiseFeedsEveryTab();
    void pictureSizeChanges();

private:
    bool openPort(const QString &entry);
    void boardWrite(const QByteArray &bytes);
    void showTab(int index)
    {
        m_window->findChild<QTabWidget *>("tabWidget")->setCurrentIndex(index);
    }
    QPushButton *openButton() const { return m_window->findChild<QPushButton *>("openPort"); }
    QByteArray shownPicture() const
    {
        return imageBytes(*m_window->ccd()->findChild<PicView *>()->image());
    }
    Received received() const;

    // Released by cleanup(), or by the next init() after a failed one.
    std::unique_ptr<VirtualSerialPair> m_pair;
    std::unique_ptr<QSerialPort> m_board;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<DialogDriver> m_dialogs;
    Received m_before;
};

void TestBadInputSerial::init()
{
    SKIP_WITHOUT_SOCAT();
    cleanup();
    m_pair = std::make_unique<VirtualSerialPair>();
    QVERIFY2(m_pair->start(), "socat did not make a port pair");
    m_board = std::make_unique<QSerialPort>(m_pair->second());
    QVERIFY(m_board->open(QIODevice::ReadWrite));
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    m_dialogs = std::make_unique<DialogDriver>();

    // Every tab receives something first, over the real port.
    QVERIFY(openPort(m_pair->first()));
    const QByteArray perTab[]
            = { "left=12 right=115\n", scopeFrames(), ccdLine(), picture(120, 40, 0) + '\xFF' };
    qint64 sent = 0;
    for (int tab = 0; tab < 4; ++tab) {
        showTab(tab);
        boardWrite(perTab[tab]);
        sent += perTab[tab].size();
        QTRY_COMPARE_WITH_TIMEOUT(m_window->connection()->receivedBytes(), sent, 5000);
    }
    QTRY_COMPARE_WITH_TIMEOUT(shownPicture(), picture(120, 40, 0), 5000);
    QTest::mouseClick(openButton(), Qt::LeftButton);
    m_before = received();
    QVERIFY(!m_before.terminal.isEmpty() && !m_before.scope[0].isEmpty()
            && !m_before.ccdLine.isEmpty());
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestBadInputSerial::cleanup()
{
    m_dialogs.reset();
    m_window.reset();
    m_board.reset();
    m_pair.reset();
}

bool TestBadInputSerial::openPort(const QString &entry)
{
    m_window->findChild<QComboBox *>("comList")->setEditText(entry);
    QTest::mouseClick(openButton(), Qt::LeftButton);
    return m_window->connection()->isOpen();
}

// The program reads in this same process, so the event loop runs while the
// board writes.
void TestBadInputSerial::boardWrite(const QByteArray &bytes)
{
    m_board->write(bytes);
    QTRY_COMPARE_WITH_TIMEOUT(m_board->bytesToWrite(), 0, 10000);
}

Received TestBadInputSerial::received() const
{
    Received r;
    r.terminal = m_window->findChild<QPlainTextEdit *>("DataGetted")->toPlainText();
    const auto *wave = m_window->oscilloscope()->findChild<OscilloscopeWave *>();
    for (int ch = 0; ch < 4; ++ch)
        r.scope[ch] = wave->samples(ch);
    r.ccdLine = m_window->linearCCD()->findChild<WaveView *>()->data();
    r.picture = shownPicture();
    return r;
}

void TestBadInputSerial::refusedPorts_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("message");
    const QString cannotOpen = QStringLiteral("无法打开该串口！");
    QTest::newRow("nothing") << QString()
                             << QStringLiteral("不能打开指定串口\n请检查串口是否被占用");
    QTest::newRow("blanks") << QStringLiteral("   ")
                            << QStringLiteral("不能打开指定串口\n请检查串口是否被占用");
    QTest::newRow("missing path") << QStringLiteral("/dev/ttyNOSUCHPORT") << cannotOpen;
    QTest::newRow("directory") << QStringLiteral("/tmp") << cannotOpen;
    QTest::newRow("regular file") << QStringLiteral("@file") << cannotOpen;
    QTest::newRow("/dev/null") << QStringLiteral("/dev/null") << cannotOpen;
    QTest::newRow("held by another process") << QStringLiteral("@held") << cannotOpen;
}

void TestBadInputSerial::refusedPorts()
{
    QFETCH(QString, entry);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("notes.txt"));
    const QByteArray content("not a port\n");
    QProcess holder;
    if (entry == QLatin1String("@file")) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(content) == content.size());
        entry = file;
    } else if (entry == QLatin1String("@held")) {
        // The simulated board holds the port the way every Qt program does:
        // with a lock file, which also binds a user who may open any device.
        holder.setProcessChannelMode(QProcess::MergedChannels);
        holder.start(QStringLiteral(BOARDSIM_PROGRAM),
                     { QStringLiteral("text"), QStringLiteral("--port"), m_pair->first() });
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += holder.readAll()).contains("Ctrl+C"), 10000);
        entry = m_pair->first();
    }

    for (int attempt = 0; attempt < 2; ++attempt) {
        QVERIFY(!openPort(entry));
        QCOMPARE(m_dialogs->boxes.size(), attempt + 1);
        QCOMPARE(m_dialogs->boxes.last().title, QStringLiteral("错误"));
        QCOMPARE(m_dialogs->boxes.last().text, message);
        QCOMPARE(openButton()->text(), QStringLiteral("打开串口"));
        QVERIFY(m_window->findChild<QComboBox *>("comList")->isEnabled());
    }
    QVERIFY(received() == m_before);
    if (QFileInfo::exists(file)) {
        QFile in(file);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QCOMPARE(in.readAll(), content);
    }
    holder.kill();
    holder.waitForFinished();
}

void TestBadInputSerial::portVanishesDuringSend()
{
    QVERIFY(openPort(m_pair->first()));
    showTab(0);
    m_window->findChild<QPlainTextEdit *>("DataSend")->setPlainText(QString(4096, u'x'));
    // The board takes nothing, so the send is still under way when the cable goes.
    m_board->close();
    QTest::mouseClick(m_window->findChild<QPushButton *>("SendBnt"), Qt::LeftButton);
    m_pair->stop();

    QTRY_COMPARE_WITH_TIMEOUT(openButton()->text(), QStringLiteral("打开串口"), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(!m_dialogs->boxes.isEmpty(), 5000);
    QTest::qWait(300);
    // One box tells the one cause.
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes[0].text,
             QStringLiteral("串口连接已断开！\n请检查设备后重新打开串口。"));
    QVERIFY(received() == m_before);
}

void TestBadInputSerial::noiseFeedsEveryTab_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("hexDisplay");
    QTest::newRow("terminal, hexadecimal") << 0 << true;
    QTest::newRow("terminal, text") << 0 << false;
    QTest::newRow("oscilloscope") << 1 << true;
    QTest::newRow("linear CCD") << 2 << true;
    QTest::newRow("camera") << 3 << true;
}

// A board at the wrong baud rate sends noise: every byte is counted and
// shown as far as the tab shows bytes, the buffer stays bounded and nothing
// is reported.
void TestBadInputSerial::noiseFeedsEveryTab()
{
    QFETCH(int, tab);
    QFETCH(bool, hexDisplay);
    m_window->terminal()->setHexDisplay(hexDisplay);
    showTab(tab);
    QVERIFY(openPort(m_pair->first()));

    constexpr qsizetype kChunk = 4096;
    constexpr qsizetype kTotal = 96 * kChunk;
    QRandomGenerator random(42 + tab);
    QByteArray noise(kChunk, Qt::Uninitialized);
    qsizetype largestBuffer = 0;
    for (qsizetype sent = 0; sent < kTotal; sent += kChunk) {
        random.fillRange(reinterpret_cast<quint32 *>(noise.data()), kChunk / 4);
        boardWrite(noise);
        largestBuffer = std::max(largestBuffer, m_window->recvBuffer().size());
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_window->connection()->receivedBytes(), kTotal, 10000);
    QVERIFY(largestBuffer <= MainWindow::kRecvBufferLimit);
    QVERIFY(m_window->connection()->isOpen());
    QVERIFY(m_dialogs->boxes.isEmpty());
    if (tab == 0 && hexDisplay) {
        // Three characters a byte, with the history before the noise kept.
        const QString shown = received().terminal;
        QVERIFY(shown.startsWith(QStringLiteral("6C 65 66 74")));
        QCOMPARE(shown.size(), m_before.terminal.size() + 3 * kTotal);
    }
}

// The board changes its picture size between deliveries, then the user
// changes the tab's: no box, a bounded buffer, and each picture shown is a
// run of the bytes received, never a mix with bytes from elsewhere.
void TestBadInputSerial::pictureSizeChanges()
{
    showTab(3);
    QVERIFY(openPort(m_pair->first()));
    QByteArray stream;
    for (const QSize size : { QSize(160, 40), QSize(80, 30), QSize(120, 40), QSize(320, 240) })
        stream += picture(size.width(), size.height(), size.width()) + '\xFF';
    for (qsizetype pos = 0; pos < stream.size(); pos += 1000) {
        boardWrite(stream.mid(pos, 1000));
        const QByteArray shown = shownPicture();
        QVERIFY(shown == m_before.picture || stream.contains(shown));
    }
    QTRY_VERIFY_WITH_TIMEOUT(m_window->recvBuffer().isEmpty(), 5000);
    QVERIFY(m_dialogs->boxes.isEmpty());
    // The status bar tells of every end byte that does not fit the size.
    QCOMPARE(m_window->ccd()->frameStats().misplaced, 3);

    // The size is chosen while the port is closed; what the user types is
    // held to the tab's bounds, far below the receive buffer's.
    QTest::mouseClick(openButton(), Qt::LeftButton);
    auto *width = m_window->findChild<QSpinBox *>("spinBoxWidth");
    auto *height = m_window->findChild<QSpinBox *>("spinBoxHeight");
    for (QSpinBox *box : { width, height }) {
        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("99999"));
        QTest::keyClick(box, Qt::Key_Enter);
    }
    QVERIFY(qint64(width->value()) * height->value() < MainWindow::kRecvBufferLimit);
    width->setValue(80);
    height->setValue(30);
    QVERIFY(openPort(m_pair->first()));
    boardWrite(picture(80, 30, 5) + '\xFF');
    QTRY_COMPARE_WITH_TIMEOUT(shownPicture(), picture(80, 30, 5), 5000);
    QVERIFY(m_dialogs->boxes.isEmpty());
}

QTEST_MAIN(TestBadInputSerial)
#include "tst_badinput_serial.moc"

#include "ccd.h"
#include "comassistant.h"
#include "mainwindow.h"
#include "serialconnection.h"
#include "serialpanel.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#if defined(Q_OS_LINUX)
#    include <asm/termbits.h>
#    include <fcntl.h>
#    include <sys/ioctl.h>
#    include <unistd.h>

namespace {

// The output rate the line itself holds, read through a second descriptor:
// a pseudo-terminal keeps the rate it was set to.
qint64 lineRate(const QString &device)
{
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    termios2 tio {};
    const int result = ::ioctl(fd, TCGETS2, &tio);
    ::close(fd);
    return result == 0 ? qint64(tio.c_ospeed) : -1;
}

} // namespace
#endif

// The main window against a real pair of virtual serial ports: the program
// opens one end, the test plays the board on the other.
class TestSerialE2E : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openAndCloseCycle();
    void lineSettingsFollowTheLists();
    void typedRateReachesTheLine();
    void refusedRateKeepsThePortClosed();
    void terminalBothWays();
    void unconsumedBytesSurviveCloseAndTabSwitch();
    void receiveBufferKeepsNewestMebibyte();
    void lostDeviceClosesThePort();
    void repeatedSendEndsWithThePort();
    void closingWindowClosesPortFirst();

private:
    bool openProgramPort();
    QWidget *widget(const char *name) const { return m_window->findChild<QWidget *>(name); }
    QPushButton *openButton() const { return m_window->findChild<QPushButton *>("openPort"); }
    QString received() const
    {
        return m_window->findChild<QPlainTextEdit *>("DataGetted")->toPlainText();
    }
    // Writes from the board's end while the program, in this same process,
    // keeps reading: the event loop must run or a full line would stall both.
    void boardWrite(const QByteArray &bytes)
    {
        m_board->write(bytes);
        QTRY_COMPARE_WITH_TIMEOUT(m_board->bytesToWrite(), 0, 10000);
    }

    VirtualSerialPair *m_pair = nullptr;
    QSerialPort *m_board = nullptr;
    MainWindow *m_window = nullptr;
    DialogDriver *m_dialogs = nullptr;
};

void TestSerialE2E::init()
{
    SKIP_WITHOUT_SOCAT();
    m_pair = new VirtualSerialPair;
    QVERIFY2(m_pair->start(), "socat did not make a port pair");
    m_board = new QSerialPort(m_pair->second());
    QVERIFY(m_board->open(QIODevice::ReadWrite));
    m_window = new MainWindow;
    m_window->show();
    m_dialogs = new DialogDriver;
}

void TestSerialE2E::cleanup()
{
    delete m_dialogs;
    delete m_window;
    delete m_board;
    delete m_pair;
    m_dialogs = nullptr;
    m_window = nullptr;
    m_board = nullptr;
    m_pair = nullptr;
}

bool TestSerialE2E::openProgramPort()
{
    m_window->findChild<QComboBox *>("comList")->setEditText(m_pair->first());
    QTest::mouseClick(openButton(), Qt::LeftButton);
    return m_window->findChild<QSerialPort *>() != nullptr;
}

void TestSerialE2E::openAndCloseCycle()
{
    QSignalSpy opened(m_window, &MainWindow::comOpen);
    QSignalSpy closed(m_window, &MainWindow::comClose);
    const char *settings[] = { "comList",    "baudrateList", "updataComBnt",
                               "ParityList", "DataBitsList", "StopBitsList" };

    for (int round = 1; round <= 2; ++round) {
        QVERIFY(openProgramPort());
        QCOMPARE(opened.size(), round);
        QCOMPARE(openButton()->text(), QStringLiteral("关闭串口"));
        QVERIFY(openButton()->isChecked());
        for (const char *name : settings)
            QVERIFY(!widget(name)->isEnabled());
        // The camera tab locks its picture size while the port is open.
        QVERIFY(!widget("spinBoxWidth") || !widget("spinBoxWidth")->isEnabled());

        QTest::mouseClick(openButton(), Qt::LeftButton);
        QCOMPARE(closed.size(), round);
        QVERIFY(!m_window->findChild<QSerialPort *>());
        QCOMPARE(openButton()->text(), QStringLiteral("打开串口"));
        QVERIFY(!openButton()->isChecked());
        for (const char *name : settings)
            QVERIFY(widget(name)->isEnabled());
        QVERIFY(!widget("spinBoxWidth") || widget("spinBoxWidth")->isEnabled());
    }
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestSerialE2E::lineSettingsFollowTheLists()
{
    QVERIFY(openProgramPort());
    auto *port = m_window->findChild<QSerialPort *>();
    QCOMPARE(port->baudRate(), 115200);
    QCOMPARE(port->dataBits(), QSerialPort::Data8);
    QCOMPARE(port->parity(), QSerialPort::NoParity);
    QCOMPARE(port->stopBits(), QSerialPort::OneStop);
    QCOMPARE(port->flowControl(), QSerialPort::NoFlowControl);
    QTest::mouseClick(openButton(), Qt::LeftButton);

    m_window->findChild<QComboBox *>("baudrateList")->setCurrentIndex(10);
    m_window->findChild<QComboBox *>("StopBitsList")->setCurrentIndex(1);
    QVERIFY(openProgramPort());
    port = m_window->findChild<QSerialPort *>();
    QCOMPARE(port->baudRate(), 256000);
    QCOMPARE(port->stopBits(), QSerialPort::TwoStop);
    QTest::mouseClick(openButton(), Qt::LeftButton);

    // A virtual port refuses parity and short characters; the port still
    // opens and works, and nothing is reported.
    m_window->findChild<QComboBox *>("baudrateList")->setCurrentIndex(0);
    m_window->findChild<QComboBox *>("ParityList")->setCurrentIndex(2);
    m_window->findChild<QComboBox *>("DataBitsList")->setCurrentIndex(3);
    QVERIFY(openProgramPort());
    QCOMPARE(m_window->findChild<QSerialPort *>()->baudRate(), 2400);
    boardWrite("ok");
    QTRY_COMPARE_WITH_TIMEOUT(received(), QStringLiteral("6F 6B "), 5000);
    QVERIFY(m_dialogs->boxes.isEmpty());
    QCOMPARE(openButton()->text(), QStringLiteral("关闭串口"));
}

void TestSerialE2E::typedRateReachesTheLine()
{
    auto *baud = m_window->findChild<QComboBox *>("baudrateList");
    baud->lineEdit()->selectAll();
    QTest::keyClicks(baud->lineEdit(), QStringLiteral("2000000"));
    // The written items stay as they are, and the typed rate stays in the box.
    QCOMPARE(baud->count(), 11);
    QCOMPARE(baud->currentText(), QStringLiteral("2000000"));
    QVERIFY(openProgramPort());
    QCOMPARE(m_window->findChild<QSerialPort *>()->baudRate(), 2000000);
#if defined(Q_OS_LINUX)
    QCOMPARE(lineRate(m_pair->first()), 2000000);
#endif
    boardWrite("ok");
    QTRY_COMPARE_WITH_TIMEOUT(received(), QStringLiteral("6F 6B "), 5000);
    QVERIFY(m_dialogs->boxes.isEmpty());
    QCOMPARE(m_window->serialPanel()->baudRate(), 2000000);
}

void TestSerialE2E::refusedRateKeepsThePortClosed()
{
    QSignalSpy opened(m_window, &MainWindow::comOpen);
    // Beyond what any adapter runs at: put there as a restored file or a
    // script might, past the box's own check of what is typed.
    m_window->findChild<QComboBox *>("baudrateList")->setEditText(QStringLiteral("20000000"));
    QVERIFY(!openProgramPort());
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes.first().title, QStringLiteral("错误"));
    QVERIFY(m_dialogs->boxes.first().text.contains(QStringLiteral("20000000")));
    QCOMPARE(opened.size(), 0);
    QCOMPARE(openButton()->text(), QStringLiteral("打开串口"));
    QVERIFY(widget("baudrateList")->isEnabled());
}

void TestSerialE2E::terminalBothWays()
{
    QVERIFY(openProgramPort());
    boardWrite(QByteArray::fromHex("00112233445566778899AABBCCDDEEFF10"));
    QTRY_COMPARE_WITH_TIMEOUT(
            received(), QStringLiteral("00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF\n10 "),
            5000);

    QTest::mouseClick(m_window->findChild<QPushButton *>("CleanDataGettedBnt"), Qt::LeftButton);
    QTest::mouseClick(m_window->findChild<QRadioButton *>("GettedTextBnt"), Qt::LeftButton);
    QVERIFY(received().isEmpty());
    boardWrite(QStringLiteral("左边线=12 右边线=115\n").toLocal8Bit());
    QTRY_COMPARE_WITH_TIMEOUT(received(), QStringLiteral("左边线=12 右边线=115\n"), 5000);

    QByteArray arrived;
    connect(m_board, &QSerialPort::readyRead, this, [&] { arrived += m_board->readAll(); });
    m_window->findChild<QPlainTextEdit *>("DataSend")->setPlainText(QStringLiteral("PID 1.5 0.2"));
    QTest::mouseClick(m_window->findChild<QPushButton *>("SendBnt"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(arrived, QByteArray("PID 1.5 0.2"), 5000);
}

void TestSerialE2E::unconsumedBytesSurviveCloseAndTabSwitch()
{
    auto *tabs = m_window->findChild<QTabWidget *>("tabWidget");
    QVERIFY(openProgramPort());
    // The camera tab waits for a picture end byte and leaves these in place.
    tabs->setCurrentIndex(3);
    boardWrite(QByteArray::fromHex("01020304050607"));
    QTRY_COMPARE_WITH_TIMEOUT(m_window->recvBuffer(), QByteArray::fromHex("01020304050607"), 5000);

    QTest::mouseClick(openButton(), Qt::LeftButton);
    tabs->setCurrentIndex(0);
    QCOMPARE(m_window->recvBuffer().size(), 7);
    QVERIFY(received().isEmpty());

    QVERIFY(openProgramPort());
    boardWrite(QByteArray::fromHex("0809"));
    QTRY_COMPARE_WITH_TIMEOUT(received(), QStringLiteral("01 02 03 04 05 06 07 08 09 "), 5000);
    QVERIFY(m_window->recvBuffer().isEmpty());
}

void TestSerialE2E::receiveBufferKeepsNewestMebibyte()
{
    QVERIFY(openProgramPort());
    m_window->findChild<QTabWidget *>("tabWidget")->setCurrentIndex(3);
    const qsizetype limit = MainWindow::kRecvBufferLimit;
    QByteArray stream(limit + limit / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < stream.size(); ++i)
        stream[i] = char(i % 251); // never 0xFF, so no picture ends
    for (qsizetype pos = 0; pos < stream.size(); pos += 64 * 1024)
        boardWrite(stream.mid(pos, 64 * 1024));
    QTRY_VERIFY_WITH_TIMEOUT(m_window->recvBuffer().size() == limit
                                     && m_window->recvBuffer().endsWith(stream.right(16)),
                             10000);
    QCOMPARE(m_window->recvBuffer(), stream.right(limit));
}

void TestSerialE2E::lostDeviceClosesThePort()
{
    QSignalSpy closed(m_window, &MainWindow::comClose);
    QVERIFY(openProgramPort());
    m_pair->stop();
    QTRY_COMPARE_WITH_TIMEOUT(closed.size(), 1, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->boxes.size(), 1, 5000);
    QCOMPARE(m_dialogs->boxes.at(0).title, QStringLiteral("错误"));
    QCOMPARE(m_dialogs->boxes.at(0).icon, QMessageBox::Critical);
    QVERIFY(m_dialogs->boxes.at(0).text.contains(QStringLiteral("断开")));
    QVERIFY(!m_window->findChild<QSerialPort *>());
    QCOMPARE(openButton()->text(), QStringLiteral("打开串口"));
    QVERIFY(!openButton()->isChecked());
    QVERIFY(widget("comList")->isEnabled());

    // The device is gone, as a pulled-out adapter is: opening again reports it
    // missing instead of pretending.
    QTest::mouseClick(openButton(), Qt::LeftButton);
    QCOMPARE(m_dialogs->boxes.size(), 2);
    QCOMPARE(m_dialogs->boxes.at(1).text, QStringLiteral("无法打开该串口！"));
    QCOMPARE(closed.size(), 1);
}

void TestSerialE2E::repeatedSendEndsWithThePort()
{
    QByteArray arrived;
    connect(m_board, &QSerialPort::readyRead, this, [&] { arrived += m_board->readAll(); });
    auto *repeat = m_window->findChild<QCheckBox *>("repeatSendBox");
    m_window->findChild<QPlainTextEdit *>("DataSend")->setPlainText(QStringLiteral("speed?"));
    m_window->terminal()->setLineEnding(LineEnding::CrLf);
    m_window->terminal()->setRepeatPeriod(10);

    // Closed with 关闭串口: the sends end, and the box unticks.
    QVERIFY(openProgramPort());
    repeat->click();
    QTRY_VERIFY_WITH_TIMEOUT(arrived.size() >= 8 * 20, 5000);
    QTest::mouseClick(openButton(), Qt::LeftButton);
    QVERIFY(!repeat->isChecked());
    QTest::qWait(100);
    const qsizetype count = arrived.size();
    QTest::qWait(200);
    QCOMPARE(arrived.size(), count);
    QCOMPARE(arrived, QByteArray("speed?\r\n").repeated(count / 8));
    QCOMPARE(m_window->connection()->sentBytes(), count);

    // The far end killed: one box, which says the port is gone, not one a tick.
    QVERIFY(openProgramPort());
    repeat->click();
    QTRY_VERIFY_WITH_TIMEOUT(arrived.size() > count + 8 * 5, 5000);
    m_pair->stop();
    QTRY_VERIFY_WITH_TIMEOUT(!repeat->isChecked(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->boxes.size(), 1, 5000);
    QTest::qWait(300);
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QVERIFY(m_dialogs->boxes.at(0).text.contains(QStringLiteral("断开")));
}

void TestSerialE2E::closingWindowClosesPortFirst()
{
    QVERIFY(openProgramPort());
    int closes = 0;
    bool tabsAlive = false;
    connect(m_window, &MainWindow::comClose, this, [&] {
        ++closes;
        tabsAlive = m_window->findChild<CCD *>() != nullptr
                && m_window->findChild<QTabWidget *>("tabWidget")->count() == 5;
    });
    delete m_window;
    m_window = nullptr;
    QCOMPARE(closes, 1);
    QVERIFY(tabsAlive);

    // The device was released: the board end can be reopened by another program.
    QSerialPort again(m_pair->first());
    QVERIFY(again.open(QIODevice::ReadWrite));
}

QTEST_MAIN(TestSerialE2E)
#include "tst_serial_e2e.moc"

#include "mainwindow.h"
#include "portwatcher.h"
#include "serialpanel.h"
#include "statusbarpanel.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

using State = SerialConnection::State;

// The serial panel over a cable that comes and goes: the status bar's
// counters and state, and the wait for a lost port with 自动重连 ticked. The
// test plays the board on the far end of a socat pair, and pulls the cable by
// ending socat.
class TestReconnect : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void countersFollowBothWays();
    void lostPortComesBackUnderItsName();
    void openButtonEndsTheWait();
    void untickingEndsTheWait();
    void withoutTheBoxTheLossIsReported();
    void portListRestsWhileOpen();

private:
    bool openProgramPort();
    bool startBoard();
    void pullCable();
    void boardWrite(const QByteArray &bytes)
    {
        m_board->write(bytes);
        QTRY_COMPARE_WITH_TIMEOUT(m_board->bytesToWrite(), 0, 10000);
    }
    QPushButton *openButton() const { return m_window->findChild<QPushButton *>("openPort"); }
    QCheckBox *autoReconnectBox() const
    {
        return m_window->statusBar()->findChild<QCheckBox *>("autoReconnectBox");
    }
    QString statusText(const char *name) const
    {
        if (auto *label = m_window->statusBar()->findChild<QLabel *>(name))
            return label->text();
        return m_window->statusBar()->findChild<QToolButton *>(name)->text();
    }
    QString received() const
    {
        return m_window->findChild<QPlainTextEdit *>("DataGetted")->toPlainText();
    }

    VirtualSerialPair *m_pair = nullptr;
    QSerialPort *m_board = nullptr;
    MainWindow *m_window = nullptr;
    DialogDriver *m_dialogs = nullptr;
};

void TestReconnect::init()
{
    SKIP_WITHOUT_SOCAT();
    m_pair = new VirtualSerialPair;
    QVERIFY(startBoard());
    m_window = new MainWindow;
    m_window->show();
    m_dialogs = new DialogDriver;
}

void TestReconnect::cleanup()
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

bool TestReconnect::openProgramPort()
{
    m_window->serialPanel()->setPortEntry(m_pair->first());
    QTest::mouseClick(openButton(), Qt::LeftButton);
    return m_window->connection()->isOpen();
}

// Starts socat under the pair's names (again) and opens the board's end.
bool TestReconnect::startBoard()
{
    if (!m_pair->start())
        return false;
    m_board = new QSerialPort(m_pair->second());
    return m_board->open(QIODevice::ReadWrite);
}

void TestReconnect::pullCable()
{
    delete m_board;
    m_board = nullptr;
    m_pair->stop();
}

void TestReconnect::countersFollowBothWays()
{
    QCOMPARE(statusText("portStateLabel"), QStringLiteral("串口已关闭"));
    QVERIFY(openProgramPort());
    QCOMPARE(statusText("portStateLabel"), m_pair->first() + QStringLiteral(" 115200 已打开"));

    QByteArray stream;
    for (int i = 0; i < 20000; ++i)
        stream.append(char(i * 7));
    boardWrite(stream);
    QByteArray arrived;
    connect(m_board, &QSerialPort::readyRead, this, [&] { arrived += m_board->readAll(); });
    auto *send = m_window->findChild<QPlainTextEdit *>("DataSend");
    send->setPlainText(QString(3000, QLatin1Char('s')));
    QTest::mouseClick(m_window->findChild<QPushButton *>("SendBnt"), Qt::LeftButton);
    send->setPlainText(QStringLiteral("PID 1.5"));
    QTest::mouseClick(m_window->findChild<QPushButton *>("SendBnt"), Qt::LeftButton);

    SerialConnection *connection = m_window->connection();
    QTRY_COMPARE_WITH_TIMEOUT(connection->receivedBytes(), qint64(stream.size()), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(arrived.size(), 3007, 10000);
    QCOMPARE(connection->sentBytes(), 3007);
    // Everything came within the last second or so.
    QVERIFY2(connection->receiveRate() > 0, qPrintable(QString::number(connection->receiveRate())));
    QTRY_COMPARE_WITH_TIMEOUT(statusText("trafficCounters"),
                              QStringLiteral("接收 20000  发送 3007"), 2000);

    // A click zeroes them; counting goes on from there.
    QTest::mouseClick(m_window->statusBar()->findChild<QToolButton *>("trafficCounters"),
                      Qt::LeftButton);
    QCOMPARE(statusText("trafficCounters"), QStringLiteral("接收 0  发送 0"));
    QCOMPARE(statusText("receiveRateLabel"), QStringLiteral("0 B/s"));
    boardWrite("12345");
    QTRY_COMPARE_WITH_TIMEOUT(statusText("trafficCounters"), QStringLiteral("接收 5  发送 0"),
                              2000);

    // The counts of a closed port stay to be read, and the rate runs down.
    QTest::mouseClick(openButton(), Qt::LeftButton);
    QCOMPARE(statusText("portStateLabel"), m_pair->first() + QStringLiteral(" 已关闭"));
    QTRY_COMPARE_WITH_TIMEOUT(statusText("receiveRateLabel"), QStringLiteral("0 B/s"), 3000);
    QCOMPARE(statusText("trafficCounters"), QStringLiteral("接收 5  发送 0"));
    // Opening again starts from zero.
    QVERIFY(openProgramPort());
    QCOMPARE(connection->receivedBytes(), 0);
    QCOMPARE(statusText("trafficCounters"), QStringLiteral("接收 0  发送 0"));
}

void TestReconnect::lostPortComesBackUnderItsName()
{
    QSignalSpy opened(m_window, &MainWindow::comOpen);
    QSignalSpy closed(m_window, &MainWindow::comClose);
    auto *width = m_window->findChild<QSpinBox *>("spinBoxWidth");
    QTest::mouseClick(autoReconnectBox(), Qt::LeftButton);
    QVERIFY(m_window->connection()->autoReconnect());
    QVERIFY(openProgramPort());
    boardWrite("before ");
    QTRY_COMPARE_WITH_TIMEOUT(received(), QStringLiteral("62 65 66 6F 72 65 20 "), 5000);

    pullCable();
    QTRY_COMPARE_WITH_TIMEOUT(m_window->connection()->state(), State::Waiting, 10000);
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("串口已断开，等待重新连接…"));
    // The panel is closed meanwhile, and the camera tab may change its size.
    QCOMPARE(closed.size(), 1);
    QCOMPARE(openButton()->text(), QStringLiteral("打开串口"));
    QVERIFY(!openButton()->isChecked());
    QVERIFY(width->isEnabled());
    QVERIFY(m_window->findChild<QWidget *>("comList")->isEnabled());
    // Still away after a few tries: nothing changes and no box shows.
    QTest::qWait(3 * SerialConnection::kRetryMs);
    QCOMPARE(m_window->connection()->state(), State::Waiting);
    QVERIFY(m_dialogs->boxes.isEmpty());

    QVERIFY(startBoard());
    QTRY_COMPARE_WITH_TIMEOUT(m_window->connection()->state(), State::Open, 5000);
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("已重新连接"));
    QCOMPARE(opened.size(), 2);
    QCOMPARE(closed.size(), 1);
    QCOMPARE(openButton()->text(), QStringLiteral("关闭串口"));
    QVERIFY(openButton()->isChecked());
    QVERIFY(!width->isEnabled());
    QVERIFY(!m_window->findChild<QWidget *>("comList")->isEnabled());
    QCOMPARE(m_window->serialPanel()->portEntry(), m_pair->first());
    QCOMPARE(m_window->connection()->deviceName(), m_pair->first());

    boardWrite("after");
    QTRY_COMPARE_WITH_TIMEOUT(received(), QStringLiteral("62 65 66 6F 72 65 20 61 66 74 65 72 "),
                              5000);
    QVERIFY(m_dialogs->boxes.isEmpty());
    // Counting went on across the reconnection.
    QCOMPARE(m_window->connection()->receivedBytes(), 12);

    // And the button closes it as ever.
    QTest::mouseClick(openButton(), Qt::LeftButton);
    QCOMPARE(m_window->connection()->state(), State::Closed);
    QCOMPARE(closed.size(), 2);
}

void TestReconnect::openButtonEndsTheWait()
{
    QSignalSpy opened(m_window, &MainWindow::comOpen);
    QSignalSpy closed(m_window, &MainWindow::comClose);
    m_window->statusPanel()->setAutoReconnect(true);
    QVERIFY(openProgramPort());
    pullCable();
    QTRY_COMPARE_WITH_TIMEOUT(m_window->connection()->state(), State::Waiting, 10000);

    // The device is still away: opening it fails as usual, and the wait is over.
    QTest::mouseClick(openButton(), Qt::LeftButton);
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes.at(0).text, QStringLiteral("无法打开该串口！"));
    QCOMPARE(m_window->connection()->state(), State::Closed);
    QVERIFY(m_window->statusBar()->currentMessage().isEmpty());

    QVERIFY(startBoard());
    QTest::qWait(3 * SerialConnection::kRetryMs);
    QCOMPARE(m_window->connection()->state(), State::Closed);
    QCOMPARE(opened.size(), 1);
    QCOMPARE(closed.size(), 1);

    // Once back, the button opens it again.
    QTest::mouseClick(openButton(), Qt::LeftButton);
    QCOMPARE(m_window->connection()->state(), State::Open);
    QCOMPARE(opened.size(), 2);
}

void TestReconnect::untickingEndsTheWait()
{
    QTest::mouseClick(autoReconnectBox(), Qt::LeftButton);
    QVERIFY(openProgramPort());
    pullCable();
    QTRY_COMPARE_WITH_TIMEOUT(m_window->connection()->state(), State::Waiting, 10000);
    QTest::mouseClick(autoReconnectBox(), Qt::LeftButton);
    QCOMPARE(m_window->connection()->state(), State::Closed);
    QVERIFY(m_window->statusBar()->currentMessage().isEmpty());
    QVERIFY(startBoard());
    QTest::qWait(3 * SerialConnection::kRetryMs);
    QCOMPARE(m_window->connection()->state(), State::Closed);
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestReconnect::withoutTheBoxTheLossIsReported()
{
    QVERIFY(!autoReconnectBox()->isChecked());
    QCOMPARE(autoReconnectBox()->text(), QStringLiteral("自动重连"));
    QVERIFY(openProgramPort());
    pullCable();
    QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->boxes.size(), 1, 10000);
    QCOMPARE(m_dialogs->boxes.at(0).text,
             QStringLiteral("串口连接已断开！\n请检查设备后重新打开串口。"));
    QCOMPARE(m_window->connection()->state(), State::Lost);
    QVERIFY(m_window->statusBar()->currentMessage().isEmpty());

    QVERIFY(startBoard());
    QTest::qWait(3 * SerialConnection::kRetryMs);
    QCOMPARE(m_window->connection()->state(), State::Lost);
}

void TestReconnect::portListRestsWhileOpen()
{
    PortWatcher *watcher = m_window->serialPanel()->portWatcher();
    QVERIFY(watcher->isActive());
    QVERIFY(openProgramPort());
    QVERIFY(!watcher->isActive());
    m_window->statusPanel()->setAutoReconnect(true);
    pullCable();
    QTRY_COMPARE_WITH_TIMEOUT(m_window->connection()->state(), State::Waiting, 10000);
    QVERIFY(watcher->isActive());
    QTest::mouseClick(openButton(), Qt::LeftButton);
    QVERIFY(watcher->isActive());
}

QTEST_MAIN(TestReconnect)
#include "tst_reconnect.moc"

#include "mainwindow.h"
#include "serialpanel.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

using State = SerialConnection::State;

// A network address in the window's port box: the panel, the status bar, the
// terminal and the boxes, over loopback with the test as the car's module.
class TestNetworkWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void clientThroughTheWindow();
    void eachErrorGivesOneBox_data();
    void eachErrorGivesOneBox();
    void closingCancelsTheConnection();
    void droppedConnectionReconnects();

private:
    void open(const QString &entry)
    {
        m_window->serialPanel()->setPortEntry(entry);
        QTest::mouseClick(button(), Qt::LeftButton);
    }
    QPushButton *button() const { return m_window->findChild<QPushButton *>("openPort"); }
    QString portState() const
    {
        return m_window->statusBar()->findChild<QLabel *>("portStateLabel")->text();
    }

    MainWindow *m_window = nullptr;
    DialogDriver *m_dialogs = nullptr;
};

void TestNetworkWindow::init()
{
    m_window = new MainWindow;
    m_window->show();
    m_dialogs = new DialogDriver;
}

void TestNetworkWindow::cleanup()
{
    delete m_dialogs;
    delete m_window;
    m_dialogs = nullptr;
    m_window = nullptr;
}

void TestNetworkWindow::clientThroughTheWindow()
{
    QTcpServer module;
    QVERIFY(module.listen(QHostAddress::LocalHost, 0));
    const QString entry = QStringLiteral("tcp://127.0.0.1:%1").arg(module.serverPort());
    m_window->serialPanel()->setPortEntry(entry);
    // The line settings mean nothing to an address; the port box still chooses.
    QVERIFY(!m_window->findChild<QComboBox *>("baudrateList")->isEnabled());
    QVERIFY(m_window->findChild<QComboBox *>("comList")->isEnabled());

    QTest::mouseClick(button(), Qt::LeftButton);
    QCOMPARE(button()->text(), QStringLiteral("关闭串口"));
    QVERIFY(module.waitForNewConnection(5000));
    std::unique_ptr<QTcpSocket> car(module.nextPendingConnection());
    QTRY_COMPARE(portState(), entry + QStringLiteral(" 已连接"));
    QVERIFY(!m_window->findChild<QComboBox *>("comList")->isEnabled());

    car->write("speed=12\r\n");
    // Shown as hex, as the terminal starts.
    QTRY_VERIFY(m_window->findChild<QPlainTextEdit *>("DataGetted")
                        ->toPlainText()
                        .contains(QStringLiteral("73 70 65 65 64 3D 31 32 0D 0A")));
    m_window->findChild<QPlainTextEdit *>("DataSend")->setPlainText(QStringLiteral("PID 1.5"));
    QTest::mouseClick(m_window->findChild<QPushButton *>("SendBnt"), Qt::LeftButton);
    QTRY_COMPARE(car->bytesAvailable(), 7);
    QCOMPARE(m_window->connection()->sentBytes(), 7);
    QCOMPARE(m_window->connection()->receivedBytes(), 10);

    QTest::mouseClick(button(), Qt::LeftButton);
    QCOMPARE(button()->text(), QStringLiteral("打开串口"));
    QVERIFY(m_window->findChild<QComboBox *>("baudrateList")->isEnabled() == false);
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestNetworkWindow::eachErrorGivesOneBox_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("cause");

    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 unused = probe.serverPort();
    probe.close();
    QTest::newRow("refused") << QStringLiteral("tcp://127.0.0.1:%1").arg(unused)
                             << QStringLiteral("连接被拒绝");
    QTest::newRow("malformed") << QStringLiteral("tcp://127.0.0.1:99999")
                               << QStringLiteral("端口号无效");
    QTest::newRow("unknown kind") << QStringLiteral("ws://127.0.0.1:80")
                                  << QStringLiteral("不支持的地址类型");
    QTest::newRow("host not found")
            << QStringLiteral("tcp://no-such-host.invalid:80") << QStringLiteral("");
    QTest::newRow("server port in use")
            << QStringLiteral("tcp-server://127.0.0.1:%1") << QStringLiteral("端口已被占用");
}

void TestNetworkWindow::eachErrorGivesOneBox()
{
    QFETCH(QString, entry);
    QFETCH(QString, cause);
    QTcpServer taken;
    if (entry.contains(QStringLiteral("%1"))) {
        QVERIFY(taken.listen(QHostAddress::LocalHost, 0));
        entry = entry.arg(taken.serverPort());
    }
    open(entry);
    QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->boxes.size(), 1, 10000);
    QCOMPARE(m_dialogs->boxes.constFirst().icon, QMessageBox::Critical);
    const QString text = m_dialogs->boxes.constFirst().text;
    QVERIFY2(text.contains(entry) && text.contains(cause), qPrintable(text));
    QTRY_COMPARE(m_window->connection()->state(), State::Closed);
    QCOMPARE(button()->text(), QStringLiteral("打开串口"));
    QVERIFY(!button()->isChecked());
    // Nothing more comes after the one box.
    QTest::qWait(200);
    QCOMPARE(m_dialogs->boxes.size(), 1);
}

void TestNetworkWindow::closingCancelsTheConnection()
{
    QTcpServer module;
    QVERIFY(module.listen(QHostAddress::LocalHost, 0));
    open(QStringLiteral("tcp://127.0.0.1:%1").arg(module.serverPort()));
    QCOMPARE(m_window->connection()->state(), State::Connecting);
    QVERIFY(portState().endsWith(QStringLiteral("正在连接…")));
    QTest::mouseClick(button(), Qt::LeftButton);
    QCOMPARE(m_window->connection()->state(), State::Closed);
    QTest::qWait(200);
    QCOMPARE(m_window->connection()->state(), State::Closed);
    QVERIFY(m_dialogs->boxes.isEmpty());
}

// The module restarts: with 自动重连 the program connects again by itself.
void TestNetworkWindow::droppedConnectionReconnects()
{
    m_window->statusBar()->findChild<QCheckBox *>("autoReconnectBox")->setChecked(true);
    auto module = std::make_unique<QTcpServer>();
    QVERIFY(module->listen(QHostAddress::LocalHost, 0));
    const quint16 port = module->serverPort();
    open(QStringLiteral("tcp://127.0.0.1:%1").arg(port));
    QVERIFY(module->waitForNewConnection(5000));
    QTRY_COMPARE(m_window->connection()->state(), State::Open);

    // Gone, and nobody listening for a few tries.
    module.reset();
    QTRY_COMPARE(m_window->connection()->state(), State::Waiting);
    QTest::qWait(3 * SerialConnection::kRetryMs);
    QCOMPARE(m_window->connection()->state(), State::Waiting);

    module = std::make_unique<QTcpServer>();
    QVERIFY(module->listen(QHostAddress::LocalHost, port));
    QTRY_COMPARE_WITH_TIMEOUT(m_window->connection()->state(), State::Open, 5000);
    QVERIFY(module->hasPendingConnections());
    QCOMPARE(button()->text(), QStringLiteral("关闭串口"));
    QVERIFY(m_dialogs->boxes.isEmpty());
}

QTEST_MAIN(TestNetworkWindow)
#include "tst_network_window.moc"

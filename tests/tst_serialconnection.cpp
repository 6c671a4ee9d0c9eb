#include "serialconnection.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

namespace {

using State = SerialConnection::State;

LineSettings defaults()
{
    return lineSettingsFor(QStringLiteral("115200"), 0, 0, 0);
}

QByteArray joined(const QSignalSpy &spy)
{
    QByteArray bytes;
    for (const QList<QVariant> &args : spy)
        bytes += args.at(0).toByteArray();
    return bytes;
}

QList<State> states(const QSignalSpy &spy)
{
    QList<State> list;
    for (const QList<QVariant> &args : spy)
        list << args.at(0).value<State>();
    return list;
}

// An adapter whose driver takes no rate above 1 Mbaud.
class SlowAdapterConnection : public SerialConnection
{
protected:
    bool setLineRate(QSerialPort &port, qint32 rate) override
    {
        return rate <= 1000000 && SerialConnection::setLineRate(port, rate);
    }
};

} // namespace

// The connection against a real pair of virtual serial ports: the test plays
// the board on the far end.
class TestSerialConnection : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openReadWriteClose();
    void failedOpenChangesNothing();
    void refusedRateClosesThePort();
    void lostDeviceKeepsWhatWasOpened();
    void waitsForTheLostDevice();
    void trafficArithmetic();

private:
    VirtualSerialPair *m_pair = nullptr;
    QSerialPort *m_board = nullptr;
};

void TestSerialConnection::init()
{
    m_pair = new VirtualSerialPair;
    QVERIFY2(m_pair->start(), "socat is needed for this test");
    m_board = new QSerialPort(m_pair->second());
    QVERIFY(m_board->open(QIODevice::ReadWrite));
}

void TestSerialConnection::cleanup()
{
    delete m_board;
    delete m_pair;
}

void TestSerialConnection::openReadWriteClose()
{
    QObject owner;
    auto *connection = new SerialConnection(&owner);
    QSignalSpy changed(connection, &SerialConnection::stateChanged);
    QSignalSpy received(connection, &ByteSource::bytesReceived);
    QSignalSpy written(connection, &SerialConnection::bytesWritten);
    QSerialPort *const *slot = connection->portSlot();
    QVERIFY(!*slot);

    const LineSettings settings = lineSettingsFor(QStringLiteral("57600"), 0, 0, 1);
    QVERIFY(connection->open(m_pair->first(), settings));
    QCOMPARE(connection->state(), State::Open);
    QCOMPARE(states(changed), QList<State>({ State::Open }));
    // The port is the owner's descendant and sits behind the slot.
    QCOMPARE(owner.findChild<QSerialPort *>(), *slot);
    QCOMPARE((*slot)->baudRate(), 57600);
    QCOMPARE((*slot)->stopBits(), QSerialPort::TwoStop);
    QCOMPARE((*slot)->flowControl(), QSerialPort::NoFlowControl);

    m_board->write("board says hi");
    QTRY_COMPARE_WITH_TIMEOUT(joined(received), QByteArray("board says hi"), 5000);

    // Reading on demand delivers even nothing.
    const qsizetype deliveries = received.size();
    connection->readPending();
    QCOMPARE(received.size(), deliveries + 1);
    QVERIFY(received.last().at(0).toByteArray().isEmpty());

    QByteArray arrived;
    connect(m_board, &QSerialPort::readyRead, this, [&] { arrived += m_board->readAll(); });
    QVERIFY(connection->write("PID 1.5"));
    QVERIFY(connection->write("!"));
    QTRY_COMPARE_WITH_TIMEOUT(arrived, QByteArray("PID 1.5!"), 5000);
    qint64 total = 0;
    for (const QList<QVariant> &args : written)
        total += args.at(0).toLongLong();
    QCOMPARE(total, 8);

    connection->close();
    QCOMPARE(connection->state(), State::Closed);
    QVERIFY(!*slot);
    QVERIFY(!owner.findChild<QSerialPort *>());
    connection->close();
    QCOMPARE(states(changed), QList<State>({ State::Open, State::Closed }));
    QCOMPARE(connection->deviceName(), m_pair->first());
    QCOMPARE(connection->settings().baudRate, 57600);

    // Closed: nothing is read or written.
    connection->readPending();
    QVERIFY(!connection->write("x"));
    QCOMPARE(received.size(), deliveries + 1);

    // The device is free again.
    QVERIFY(connection->open(m_pair->first(), defaults()));
    QCOMPARE((*slot)->baudRate(), 115200);
}

void TestSerialConnection::failedOpenChangesNothing()
{
    SerialConnection connection;
    QSignalSpy changed(&connection, &SerialConnection::stateChanged);
    QSignalSpy errors(&connection, &SerialConnection::errorOccurred);
    QVERIFY(!connection.open(QStringLiteral("/nonexistent/ttyNothing"), defaults()));
    QCOMPARE(connection.state(), State::Closed);
    QVERIFY(!*connection.portSlot());
    QVERIFY(!connection.findChild<QSerialPort *>());
    QVERIFY(changed.isEmpty());
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors.at(0).at(0).value<QSerialPort::SerialPortError>() != QSerialPort::NoError);
    QVERIFY(connection.deviceName().isEmpty());
}

void TestSerialConnection::refusedRateClosesThePort()
{
    SlowAdapterConnection connection;
    QSignalSpy opened(&connection, &SerialConnection::opened);
    QSignalSpy errors(&connection, &SerialConnection::errorOccurred);
    LineSettings settings = defaults();
    settings.baudRate = 3000000;
    QVERIFY(!connection.open(m_pair->first(), settings));
    QVERIFY(connection.baudRateRefused());
    QVERIFY(!connection.isOpen());
    QCOMPARE(connection.state(), State::Closed);
    QCOMPARE(opened.size(), 0);
    QCOMPARE(errors.size(), 1);
    QVERIFY(!connection.findChild<QSerialPort *>());

    // The device was let go: a rate the adapter takes opens it.
    settings.baudRate = 921600;
    QVERIFY(connection.open(m_pair->first(), settings));
    QVERIFY(!connection.baudRateRefused());
    QCOMPARE((*connection.portSlot())->baudRate(), 921600);
}

void TestSerialConnection::lostDeviceKeepsWhatWasOpened()
{
    SerialConnection connection;
    QSignalSpy changed(&connection, &SerialConnection::stateChanged);
    QSignalSpy errors(&connection, &SerialConnection::errorOccurred);
    const QString device = m_pair->first();
    QVERIFY(connection.open(device, defaults()));

    delete m_board;
    m_board = nullptr;
    m_pair->stop();
    QTRY_COMPARE_WITH_TIMEOUT(connection.state(), State::Lost, 10000);
    QCOMPARE(states(changed), QList<State>({ State::Open, State::Lost }));
    QVERIFY(!*connection.portSlot());
    QVERIFY(!connection.findChild<QSerialPort *>());
    QVERIFY(!errors.isEmpty());
    const auto error = errors.last().at(0).value<QSerialPort::SerialPortError>();
    QVERIFY(error == QSerialPort::ResourceError || error == QSerialPort::ReadError);
    // What was opened is kept, to open it again once the device is back.
    QCOMPARE(connection.deviceName(), device);
    QCOMPARE(connection.settings().baudRate, 115200);

    // Closing a lost connection does nothing, and while the device is away
    // opening fails and the loss stands.
    connection.close();
    QVERIFY(!connection.open(device, defaults()));
    QCOMPARE(connection.state(), State::Lost);
    QCOMPARE(changed.size(), 2);

    VirtualSerialPair other;
    QVERIFY(other.start());
    QVERIFY(connection.open(other.first(), defaults()));
    QCOMPARE(connection.state(), State::Open);
}

void TestSerialConnection::waitsForTheLostDevice()
{
    SerialConnection connection;
    QSignalSpy changed(&connection, &SerialConnection::stateChanged);
    QSignalSpy opened(&connection, &SerialConnection::opened);
    QSignalSpy closed(&connection, &SerialConnection::closed);
    QSignalSpy reconnected(&connection, &SerialConnection::reconnected);
    QSignalSpy received(&connection, &ByteSource::bytesReceived);
    connection.setAutoReconnect(true);
    QVERIFY(connection.open(m_pair->first(), lineSettingsFor(QStringLiteral("57600"), 0, 0, 0)));

    delete m_board;
    m_board = nullptr;
    m_pair->stop();
    QTRY_COMPARE_WITH_TIMEOUT(connection.state(), State::Waiting, 10000);
    QVERIFY(!*connection.portSlot());
    QCOMPARE(closed.size(), 1);

    QVERIFY(m_pair->start());
    QTRY_COMPARE_WITH_TIMEOUT(connection.state(), State::Open, 5000);
    QCOMPARE(states(changed), QList<State>({ State::Open, State::Waiting, State::Open }));
    QCOMPARE(opened.size(), 2);
    QCOMPARE(closed.size(), 1);
    QCOMPARE(reconnected.size(), 1);
    QCOMPARE(reconnected.at(0).at(0).toString(), m_pair->first());
    // With the settings it had.
    QCOMPARE((*connection.portSlot())->baudRate(), 57600);
    m_board = new QSerialPort(m_pair->second());
    QVERIFY(m_board->open(QIODevice::ReadWrite));
    m_board->write("back");
    QTRY_COMPARE_WITH_TIMEOUT(joined(received), QByteArray("back"), 5000);
}

void TestSerialConnection::trafficArithmetic()
{
    TrafficCounter counter;
    counter.addReceived(100, 0);
    counter.addReceived(50, 950);
    counter.addSent(7);
    counter.addSent(3);
    QCOMPARE(counter.received(), 150);
    QCOMPARE(counter.sent(), 10);
    QCOMPARE(counter.receiveRate(999), 150);
    // A second on, only what came within that second counts.
    QCOMPARE(counter.receiveRate(1050), 50);
    QCOMPARE(counter.receiveRate(1999), 0);
    // Long after, a slot of the ring holds a count from an earlier round.
    counter.addReceived(20, 100'020);
    QCOMPARE(counter.receiveRate(100'050), 20);
    QCOMPARE(counter.receiveRate(100'950), 20);
    counter.reset();
    QCOMPARE(counter.received(), 0);
    QCOMPARE(counter.sent(), 0);
    QCOMPARE(counter.receiveRate(100'050), 0);

    QCOMPARE(TrafficCounter::rateText(0), QStringLiteral("0 B/s"));
    QCOMPARE(TrafficCounter::rateText(999), QStringLiteral("999 B/s"));
    QCOMPARE(TrafficCounter::rateText(11520), QStringLiteral("11.5 KB/s"));
    QCOMPARE(TrafficCounter::rateText(256000), QStringLiteral("256 KB/s"));
    QCOMPARE(TrafficCounter::rateText(1234567), QStringLiteral("1.23 MB/s"));
}

QTEST_MAIN(TestSerialConnection)
#include "tst_serialconnection.moc"

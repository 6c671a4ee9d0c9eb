#include "scopeframedecoder.h"
#include "serialconnection.h"

#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QUdpSocket>

#include <memory>

namespace {

using State = SerialConnection::State;

// A port on loopback that nobody uses right now.
quint16 freePort(const QHostAddress &host = QHostAddress::LocalHost)
{
    QTcpServer probe;
    return probe.listen(host, 0) ? probe.serverPort() : 0;
}

NetworkAddress address(const QString &text)
{
    return NetworkAddress::parse(text);
}

} // namespace

// A network address opened in a port's place, over loopback: the test plays
// the board's module on the far end.
class TestNetworkLink : public QObject
{
    Q_OBJECT

private slots:
    void clientBothWays();
    void serverBothWaysOneClientAtATime_data();
    void serverBothWaysOneClientAtATime();
    void droppedClientIsALostPort();
    void udpFramesAcrossDatagrams();
};

void TestNetworkLink::clientBothWays()
{
    QTcpServer board;
    QVERIFY(board.listen(QHostAddress::LocalHost, 0));
    SerialConnection connection;
    QVERIFY(connection.openNetwork(
            address(QStringLiteral("tcp://127.0.0.1:%1").arg(board.serverPort()))));
    QCOMPARE(connection.state(), State::Connecting);
    QVERIFY(!connection.write("early"));
    QVERIFY(board.waitForNewConnection(5000));
    std::unique_ptr<QTcpSocket> module(board.nextPendingConnection());
    QTRY_COMPARE(connection.state(), State::Open);

    QByteArray sent;
    for (int i = 0; i < 50; ++i) {
        // Chunks of distinct bytes, so that a lost or doubled chunk shows.
        const QByteArray chunk(1000 + i, char('a' + i % 26));
        sent += chunk;
        module->write(chunk);
    }
    QByteArray got;
    connect(&connection, &ByteSource::bytesReceived, this,
            [&got](const QByteArray &bytes) { got += bytes; });
    QTRY_COMPARE_WITH_TIMEOUT(got.size(), sent.size(), 10000);
    QCOMPARE(got, sent);
    QCOMPARE(connection.receivedBytes(), qint64(sent.size()));

    QVERIFY(connection.write("hello board"));
    QTRY_COMPARE(module->bytesAvailable(), 11);
    QCOMPARE(module->readAll(), QByteArray("hello board"));
    QTRY_COMPARE(connection.sentBytes(), 11);

    QSignalSpy closed(&connection, &ByteLink::closed);
    connection.close();
    QCOMPARE(closed.size(), 1);
    QTRY_COMPARE(module->state(), QAbstractSocket::UnconnectedState);
}

void TestNetworkLink::serverBothWaysOneClientAtATime_data()
{
    QTest::addColumn<QString>("host");
    QTest::newRow("IPv4") << "127.0.0.1";
    QTest::newRow("IPv6") << "::1";
}

void TestNetworkLink::serverBothWaysOneClientAtATime()
{
    QFETCH(QString, host);
    const QHostAddress loopback(host);
    const quint16 port = freePort(loopback);
    if (port == 0)
        QSKIP("no such loopback address here");
    SerialConnection connection;
    QSignalSpy received(&connection, &ByteSource::bytesReceived);
    QVERIFY(connection.openNetwork(
            address(QStringLiteral("tcp-server://%1:%2")
                            .arg(host.contains(':') ? '[' + host + ']' : host)
                            .arg(port))));
    QCOMPARE(connection.state(), State::Open);
    QCOMPARE(connection.networkLink()->phase(), NetworkLink::Phase::Listening);
    QVERIFY(!connection.write("nobody"));

    QTcpSocket module;
    module.connectToHost(loopback, port);
    QVERIFY(module.waitForConnected(5000));
    QTRY_COMPARE(connection.networkLink()->phase(), NetworkLink::Phase::Connected);
    QVERIFY(!connection.networkLink()->peer().isEmpty());

    // A second client is turned away while the first is there.
    QTcpSocket second;
    second.connectToHost(loopback, port);
    QTRY_COMPARE(second.state(), QAbstractSocket::UnconnectedState);

    module.write("from the car");
    QTRY_COMPARE(connection.receivedBytes(), 12);
    QCOMPARE(received.last().at(0).toByteArray(), QByteArray("from the car"));
    QVERIFY(connection.write("to the car"));
    QTRY_COMPARE(module.bytesAvailable(), 10);
    QCOMPARE(connection.sentBytes(), 10);

    // The client leaving is no lost port: the next one comes in.
    module.disconnectFromHost();
    QTRY_COMPARE(connection.networkLink()->phase(), NetworkLink::Phase::Listening);
    QCOMPARE(connection.state(), State::Open);
    QTcpSocket next;
    next.connectToHost(loopback, port);
    QVERIFY(next.waitForConnected(5000));
    QTRY_COMPARE(connection.networkLink()->phase(), NetworkLink::Phase::Connected);

    // Closed, the port is free for someone else at once.
    connection.close();
    QTcpServer again;
    QVERIFY(again.listen(loopback, port));
}

void TestNetworkLink::droppedClientIsALostPort()
{
    QTcpServer board;
    QVERIFY(board.listen(QHostAddress::LocalHost, 0));
    SerialConnection connection;
    QSignalSpy states(&connection, &SerialConnection::stateChanged);
    QVERIFY(connection.openNetwork(
            address(QStringLiteral("tcp://127.0.0.1:%1").arg(board.serverPort()))));
    QVERIFY(board.waitForNewConnection(5000));
    delete board.nextPendingConnection();
    QTRY_COMPARE(connection.state(), State::Lost);
    QCOMPARE(states.last().at(0).value<State>(), State::Lost);
    QVERIFY(!connection.isOpen());
    QVERIFY(!connection.write("x"));
}

// A module sends whatever it has when its timer runs out, so datagrams end
// in the middle of frames: the frames come out whole all the same.
void TestNetworkLink::udpFramesAcrossDatagrams()
{
    const quint16 port = freePort();
    QVERIFY(port != 0);
    SerialConnection connection;
    QVERIFY(connection.openNetwork(address(QStringLiteral("udp://:%1").arg(port))));
    QCOMPARE(connection.networkLink()->phase(), NetworkLink::Phase::Listening);
    QByteArray buffer;
    connect(&connection, &ByteSource::bytesReceived, this,
            [&buffer](const QByteArray &bytes) { buffer += bytes; });

    constexpr int kFrames = 200;
    QByteArray stream;
    for (int i = 0; i < kFrames; ++i) {
        stream += "\xFF\xFF";
        for (int ch = 0; ch < 4; ++ch) {
            const quint16 raw = quint16(i * 4 + ch);
            stream += char(raw >> 8);
            stream += char(raw & 0xFF);
        }
        stream += char(i % 255);
    }
    QUdpSocket module;
    for (int at = 0, step = 0; at < stream.size(); at += 7 + step % 5, ++step)
        QVERIFY(module.writeDatagram(stream.mid(at, 7 + step % 5), QHostAddress::LocalHost, port)
                > 0);
    QTRY_COMPARE(connection.receivedBytes(), qint64(stream.size()));

    ScopeFrameDecoder decoder;
    const QList<ScopeFrame> frames = decoder.takeFrames(buffer);
    QCOMPARE(frames.size(), kFrames);
    for (int i = 0; i < kFrames; ++i)
        QCOMPARE(frames.at(i).raw[3], quint16(i * 4 + 3));
    QCOMPARE(decoder.stats().garbageBytes, 0);

    // Answers go to whoever sent last.
    QCOMPARE(connection.networkLink()->phase(), NetworkLink::Phase::Open);
    QVERIFY(connection.write("ack"));
    QTRY_VERIFY(module.hasPendingDatagrams());
    QCOMPARE(module.receiveDatagram().data(), QByteArray("ack"));
}

QTEST_GUILESS_MAIN(TestNetworkLink)
#include "tst_networklink.moc"

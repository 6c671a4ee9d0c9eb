#include "networkaddress.h"

#include <QTest>

using Kind = NetworkAddress::Kind;
using Error = NetworkAddress::Error;

// What the port box takes as a network address, and what it refuses.
class TestNetworkAddress : public QObject
{
    Q_OBJECT

private slots:
    void wellFormed_data();
    void wellFormed();
    void malformed_data();
    void malformed();
};

void TestNetworkAddress::wellFormed_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("localPort");
    QTest::addColumn<QString>("written");

    QTest::newRow("client") << " tcp://192.168.4.1:8080 " << Kind::TcpClient << "192.168.4.1"
                            << 8080 << 0 << "tcp://192.168.4.1:8080";
    QTest::newRow("client IPv6") << "tcp://[::1]:65535" << Kind::TcpClient << "::1" << 65535 << 0
                                 << "tcp://[::1]:65535";
    QTest::newRow("server, every interface")
            << "tcp-server://:8080" << Kind::TcpServer << "" << 8080 << 0 << "tcp-server://:8080";
    QTest::newRow("server on one address") << "tcp-server://127.0.0.1:1" << Kind::TcpServer
                                           << "127.0.0.1" << 1 << 0 << "tcp-server://127.0.0.1:1";
    QTest::newRow("udp receiver") << "udp://:9000" << Kind::Udp << "" << 9000 << 9000
                                  << "udp://:9000";
    QTest::newRow("udp sender") << "udp://10.0.0.2:9000" << Kind::Udp << "10.0.0.2" << 9000 << 0
                                << "udp://10.0.0.2:9000";
    QTest::newRow("udp sender, local port")
            << "udp://[fe80::1]:9000?local=9001" << Kind::Udp << "fe80::1" << 9000 << 9001
            << "udp://[fe80::1]:9000?local=9001";
}

void TestNetworkAddress::wellFormed()
{
    QFETCH(QString, entry);
    QVERIFY(NetworkAddress::isNetworkEntry(entry));
    const NetworkAddress address = NetworkAddress::parse(entry);
    QCOMPARE(address.error(), Error::None);
    QTEST(address.kind(), "kind");
    QTEST(address.host(), "host");
    QTEST(int(address.port()), "port");
    QTEST(int(address.localPort()), "localPort");
    QTEST(address.toString(), "written");
    // What it writes reads back the same.
    QCOMPARE(NetworkAddress::parse(address.toString()).toString(), address.toString());
}

void TestNetworkAddress::malformed_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<Error>("error");

    QTest::newRow("port name") << "ttyUSB0" << Error::None;
    QTest::newRow("unknown scheme") << "mqtt://host:1883" << Error::UnknownScheme;
    QTest::newRow("client without host") << "tcp://:8080" << Error::MissingHost;
    QTest::newRow("no port") << "tcp://192.168.4.1" << Error::BadPort;
    QTest::newRow("port 0") << "tcp://192.168.4.1:0" << Error::BadPort;
    QTest::newRow("signed port") << "tcp://192.168.4.1:+80" << Error::BadPort;
    QTest::newRow("IPv6 without brackets") << "tcp://::1:80" << Error::BadHost;
    QTest::newRow("bad IPv6") << "tcp://[1::2::3]:80" << Error::BadHost;
    QTest::newRow("bad name") << "tcp://a_b:80" << Error::BadHost;
    QTest::newRow("server on a name") << "tcp-server://localhost:80" << Error::BadHost;
    QTest::newRow("path") << "tcp://host:80/x" << Error::ExtraText;
    QTest::newRow("query on tcp") << "tcp://host:80?local=1" << Error::ExtraText;
    QTest::newRow("local port on a receiver") << "udp://:80?local=1" << Error::ExtraText;
    QTest::newRow("bad local port") << "udp://host:80?local=x" << Error::BadLocalPort;
}

void TestNetworkAddress::malformed()
{
    QFETCH(QString, entry);
    QFETCH(Error, error);
    const NetworkAddress address = NetworkAddress::parse(entry);
    QVERIFY(!address.isValid());
    QCOMPARE(address.error(), error);
    QCOMPARE(NetworkAddress::isNetworkEntry(entry), error != Error::None);
}

QTEST_GUILESS_MAIN(TestNetworkAddress)
#include "tst_networkaddress.moc"

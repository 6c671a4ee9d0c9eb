#include "portsettings.h"

#include <QTest>

class TestPortSettings : public QObject
{
    Q_OBJECT

private slots:
    void comStyleList();
    void comStyleDevice_data();
    void comStyleDevice();
    void systemNames();
    void lineSettings();
    void returningAdapter_data();
    void returningAdapter();
};

void TestPortSettings::comStyleList()
{
    QCOMPARE(listedPortName(QStringLiteral("COM3"), PortNaming::ComStyle), QStringLiteral("COM3"));
    QCOMPARE(listedPortName(QStringLiteral("com4"), PortNaming::ComStyle), QStringLiteral("com4"));
    // Enumerators may hand over a name followed by a NUL and garbage.
    QCOMPARE(listedPortName(QStringLiteral("COM7") + QChar(u'\0') + QStringLiteral("xyz"),
                            PortNaming::ComStyle),
             QStringLiteral("COM7"));
    QVERIFY(listedPortName(QStringLiteral("LPT1"), PortNaming::ComStyle).isEmpty());
    QVERIFY(listedPortName(QStringLiteral("CNCA0"), PortNaming::ComStyle).isEmpty());
}

void TestPortSettings::comStyleDevice_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("device");
    QTest::newRow("COM9") << "COM9"
                          << "COM9";
    QTest::newRow("COM10") << "COM10"
                           << "\\\\.\\COM10";
    QTest::newRow("lower case") << "com12"
                                << "\\\\.\\COM12";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("no number") << "COMx"
                               << "";
    QTest::newRow("bare COM") << "COM"
                              << "";
    QTest::newRow("typed path") << "\\\\.\\CNCA0"
                                << "\\\\.\\CNCA0";
}

void TestPortSettings::comStyleDevice()
{
    QFETCH(QString, entry);
    QFETCH(QString, device);
    QCOMPARE(deviceNameForEntry(entry, PortNaming::ComStyle), device);
}

void TestPortSettings::systemNames()
{
    QCOMPARE(listedPortName(QStringLiteral("ttyUSB0"), PortNaming::SystemNames),
             QStringLiteral("ttyUSB0"));
    QCOMPARE(listedPortName(QStringLiteral("cu.usbserial-1"), PortNaming::SystemNames),
             QStringLiteral("cu.usbserial-1"));
    QCOMPARE(deviceNameForEntry(QStringLiteral("ttyACM0"), PortNaming::SystemNames),
             QStringLiteral("ttyACM0"));
    QCOMPARE(deviceNameForEntry(QStringLiteral(" /tmp/virtual port "), PortNaming::SystemNames),
             QStringLiteral("/tmp/virtual port"));
    QVERIFY(deviceNameForEntry(QStringLiteral("  "), PortNaming::SystemNames).isEmpty());
}

void TestPortSettings::lineSettings()
{
    const QStringList rates = { "2400",  "4800",  "9600",   "14400",  "19200", "38400",
                                "56000", "57600", "115200", "128000", "256000" };
    for (const QString &rate : rates)
        QCOMPARE(lineSettingsFor(rate, 0, 0, 0).baudRate, rate.toInt());
    // Typed rates within the range are taken as they are; anything else is 9600.
    QCOMPARE(lineSettingsFor(QStringLiteral("2000000"), 0, 0, 0).baudRate, 2000000);
    for (const char *text : { "49", "12000001", "99999999999", "-115200", "+300", " 300", "3e6" })
        QCOMPARE(lineSettingsFor(QLatin1String(text), 0, 0, 0).baudRate, 9600);
    QCOMPARE(lineSettingsFor(QString(), 0, 0, 0).baudRate, 9600);

    const LineSettings defaults = lineSettingsFor(QStringLiteral("115200"), 0, 0, 0);
    QCOMPARE(defaults.dataBits, QSerialPort::Data8);
    QCOMPARE(defaults.parity, QSerialPort::NoParity);
    QCOMPARE(defaults.stopBits, std::optional(QSerialPort::OneStop));

    QCOMPARE(lineSettingsFor("9600", 1, 1, 1).parity, QSerialPort::OddParity);
    QCOMPARE(lineSettingsFor("9600", 2, 2, 1).parity, QSerialPort::EvenParity);
    QCOMPARE(lineSettingsFor("9600", 1, 1, 1).dataBits, QSerialPort::Data7);
    QCOMPARE(lineSettingsFor("9600", 1, 2, 1).dataBits, QSerialPort::Data6);
    QCOMPARE(lineSettingsFor("9600", 1, 3, 1).dataBits, QSerialPort::Data5);
    QCOMPARE(lineSettingsFor("9600", 1, 3, 1).stopBits, std::optional(QSerialPort::TwoStop));
    QVERIFY(!lineSettingsFor("9600", 0, 0, -1).stopBits);
    QVERIFY(!lineSettingsFor("9600", 0, 0, 2).stopBits);
}

Q_DECLARE_METATYPE(PortIdentity)

namespace {

PortIdentity adapter(const char *name, const char *serial, int vendor = -1, int product = -1)
{
    PortIdentity identity;
    identity.name = QLatin1String(name);
    identity.serialNumber = QLatin1String(serial);
    identity.hasIds = vendor >= 0;
    identity.vendorId = quint16(vendor);
    identity.productId = quint16(product);
    return identity;
}

} // namespace

void TestPortSettings::returningAdapter_data()
{
    QTest::addColumn<PortIdentity>("lost");
    QTest::addColumn<QList<PortIdentity>>("available");
    QTest::addColumn<QStringList>("presentAtLoss");
    QTest::addColumn<QString>("taken");

    const PortIdentity ftdi = adapter("ttyUSB0", "A12345", 0x0403, 0x6001);
    const PortIdentity ch340 = adapter("ttyUSB0", "", 0x1a86, 0x7523);
    QTest::newRow("same serial number, other name")
            << ftdi << QList { adapter("ttyS0", ""), adapter("ttyUSB1", "A12345", 0x0403, 0x6001) }
            << QStringList { "ttyS0" } << "ttyUSB1";
    QTest::newRow("serial number first") << ftdi
                                         << QList { adapter("ttyUSB1", "", 0x0403, 0x6001),
                                                    adapter("ttyUSB2", "A12345", 0x0403, 0x6001) }
                                         << QStringList() << "ttyUSB2";
    QTest::newRow("same IDs, no serial number")
            << ch340 << QList { adapter("ttyUSB1", "", 0x1a86, 0x7523) } << QStringList()
            << "ttyUSB1";
    QTest::newRow("another adapter of the same make")
            << ftdi << QList { adapter("ttyUSB1", "B99999", 0x0403, 0x6001) } << QStringList()
            << "";
    QTest::newRow("other IDs") << ch340 << QList { adapter("ttyUSB1", "", 0x1a86, 0x55d4) }
                               << QStringList() << "";
    // A port that was there when the adapter went away is another device.
    QTest::newRow("present at the loss")
            << ch340 << QList { adapter("ttyUSB1", "", 0x1a86, 0x7523) }
            << QStringList { "ttyUSB1" } << "";
    QTest::newRow("unknown adapter")
            << adapter("COM4", "") << QList { adapter("COM5", "") } << QStringList() << "";
    QTest::newRow("IDs of the lost one unknown")
            << adapter("ttyUSB0", "") << QList { adapter("ttyUSB1", "", 0, 0) } << QStringList()
            << "";
    QTest::newRow("nothing there") << ftdi << QList<PortIdentity>() << QStringList() << "";
}

void TestPortSettings::returningAdapter()
{
    QFETCH(PortIdentity, lost);
    QFETCH(QList<PortIdentity>, available);
    QFETCH(QStringList, presentAtLoss);
    QFETCH(QString, taken);
    QCOMPARE(returningPortName(lost, available, presentAtLoss), taken);
}

QTEST_APPLESS_MAIN(TestPortSettings)
#include "tst_portsettings.moc"

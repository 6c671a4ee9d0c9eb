#include "portnames.h"

#include <QTest>

class TestPortNames : public QObject
{
    Q_OBJECT

private slots:
    void comStyleList();
    void comStyleDevice_data();
    void comStyleDevice();
    void systemNames();
};

void TestPortNames::comStyleList()
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

void TestPortNames::comStyleDevice_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("device");
    QTest::newRow("COM9") << "COM9" << "COM9";
    QTest::newRow("COM10") << "COM10" << "\\\\.\\COM10";
    QTest::newRow("lower case") << "com12" << "\\\\.\\COM12";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("no number") << "COMx" << "";
    QTest::newRow("bare COM") << "COM" << "";
    QTest::newRow("typed path") << "\\\\.\\CNCA0" << "\\\\.\\CNCA0";
}

void TestPortNames::comStyleDevice()
{
    QFETCH(QString, entry);
    QFETCH(QString, device);
    QCOMPARE(deviceNameForEntry(entry, PortNaming::ComStyle), device);
}

void TestPortNames::systemNames()
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

QTEST_APPLESS_MAIN(TestPortNames)
#include "tst_portnames.moc"

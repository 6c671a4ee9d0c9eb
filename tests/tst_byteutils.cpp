#include "byteutils.h"

#include <QRandomGenerator>
#include <QTest>

class TestByteUtils : public QObject
{
    Q_OBJECT

private slots:
    void hexTextAccepted_data();
    void hexTextAccepted();
    void hexTextRejected_data();
    void hexTextRejected();
    void failureEmptiesEarlierOutput();
    void hexTextLayout();
    void hexTextContinuesAcrossChunks();
    void hexRoundTrip();
    void byteToHexDigits();
    void separators();
    void textKeepsEverythingAfterZeroBytes();
    void statistics();
    void binarizeBounds();
};

void TestByteUtils::hexTextAccepted_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("plain") << "FA 29 AA BB 3B" << QByteArray::fromHex("FA29AABB3B");
    QTest::newRow("mixed separators")
            << QStringLiteral("  0a\r\n0B\t") << QByteArray::fromHex("0A0B");
    QTest::newRow("single digits") << "1 2 3" << QByteArray::fromHex("010203");
    QTest::newRow("lone digit") << "F" << QByteArray::fromHex("0F");
    QTest::newRow("lower case") << "fa ff 00" << QByteArray::fromHex("FAFF00");
    QTest::newRow("signed token") << "-1 +F" << QByteArray::fromHex("FF0F");
    QTest::newRow("empty") << "" << QByteArray();
    QTest::newRow("separators only") << "   " << QByteArray();
}

void TestByteUtils::hexTextAccepted()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QByteArray out;
    QVERIFY(hexTextToBytes(text, out));
    QCOMPARE(out, bytes);
}

void TestByteUtils::hexTextRejected_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("four digits") << "FA29";
    QTest::newRow("not hex") << "G1";
    QTest::newRow("prefix only") << "0x";
    QTest::newRow("bad token after good") << "FA ZZ";
    QTest::newRow("ideographic space") << QStringLiteral("FA\u300029");
    QTest::newRow("no-break space") << QStringLiteral("FA\u00A029");
    QTest::newRow("three digits at end") << "01 02 123";
}

void TestByteUtils::hexTextRejected()
{
    QFETCH(QString, text);
    QByteArray out;
    QVERIFY(!hexTextToBytes(text, out));
    QVERIFY(out.isEmpty());
}

void TestByteUtils::failureEmptiesEarlierOutput()
{
    QByteArray out("kept?");
    QVERIFY(!hexTextToBytes(QStringLiteral("01 02 XYZ"), out));
    QVERIFY(out.isEmpty());

    // A valid text appends to what out held.
    out = "ab";
    QVERIFY(hexTextToBytes(QStringLiteral("63"), out));
    QCOMPARE(out, QByteArray("abc"));
}

void TestByteUtils::hexTextLayout()
{
    QString text;
    bytesToHexText(QByteArray::fromHex("0FA03B"), text, 0);
    QCOMPARE(text, QStringLiteral("0F A0 3B "));
    bytesToHexText(QByteArray::fromHex("0FA03B"), text, 14);
    QCOMPARE(text, QStringLiteral("0F A0\n3B "));

    QByteArray seventeen;
    for (int i = 0; i < 17; ++i)
        seventeen.append(char(i));
    bytesToHexText(seventeen, text, 0);
    QCOMPARE(text, QStringLiteral("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\n10 "));

    bytesToHexText(QByteArray(), text, 0);
    QVERIFY(text.isEmpty());

    // A negative start never reaches a position of 15 modulo 16.
    bytesToHexText(QByteArray(20, '\x01'), text, -20);
    QVERIFY(!text.contains(QLatin1Char('\n')));
}

void TestByteUtils::hexTextContinuesAcrossChunks()
{
    QByteArray all;
    for (int i = 0; i < 100; ++i)
        all.append(char(i * 7));
    QString whole;
    bytesToHexText(all, whole, 0);

    QString joined;
    int pos = 0;
    for (int size : { 10, 3, 16, 1, 30, 40 }) {
        QString part;
        bytesToHexText(all.mid(pos, size), part, pos);
        joined += part;
        pos += size;
    }
    QCOMPARE(joined, whole);
    QCOMPARE(whole.count(QLatin1Char('\n')), 100 / 16);
}

void TestByteUtils::hexRoundTrip()
{
    QByteArray bytes(4099, Qt::Uninitialized);
    QRandomGenerator rng(42);
    for (char &b : bytes)
        b = char(rng.bounded(256));
    QString text;
    bytesToHexText(bytes, text, 0);
    QByteArray back;
    QVERIFY(hexTextToBytes(text, back));
    QCOMPARE(back, bytes);
}

void TestByteUtils::byteToHexDigits()
{
    QCOMPARE(byteToHex(0x0A), QByteArray("0A"));
    QCOMPARE(byteToHex(0xFA), QByteArray("FA"));
    QCOMPARE(byteToHex(0x00), QByteArray("00"));
    QCOMPARE(byteToHex(0xFF), QByteArray("FF"));
}

void TestByteUtils::separators()
{
    for (char16_t c : { u' ', u'\t', u'\n', u'\r' })
        QVERIFY(isSpaceChar(QChar(c)));
    for (char16_t c : { u'\v', u'\f', u'\u00A0', u'\u3000', u'0', u'\0' })
        QVERIFY(!isSpaceChar(QChar(c)));
}

void TestByteUtils::textKeepsEverythingAfterZeroBytes()
{
    QString text = QStringLiteral("old");
    bytesToText(QByteArray("A\0B", 3), text);
    QCOMPARE(text, QStringLiteral("AB"));

    bytesToText(QByteArray("\0\0", 2), text);
    QVERIFY(text.isEmpty());

    // Multi-byte characters in the local encoding (UTF-8 here) survive a zero
    // byte between them.
    const QByteArray chinese = QStringLiteral("串口").toLocal8Bit();
    bytesToText(chinese + QByteArray(1, '\0') + chinese, text);
    QCOMPARE(text, QStringLiteral("串口串口"));
}

void TestByteUtils::statistics()
{
    quint32 min = 1, max = 2, sum = 3;
    QVERIFY(!byteStatistics(QByteArray(), min, max, sum));
    QCOMPARE(min, 1u);
    QCOMPARE(max, 2u);
    QCOMPARE(sum, 3u);

    QVERIFY(byteStatistics(QByteArray(1, char(200)), min, max, sum));
    QCOMPARE(min, 200u);
    QCOMPARE(max, 200u);
    QCOMPARE(sum, 200u);

    QVERIFY(byteStatistics(QByteArray::fromHex("0A80FF01"), min, max, sum));
    QCOMPARE(min, 1u);
    QCOMPARE(max, 255u);
    QCOMPARE(sum, 10u + 128u + 255u + 1u);

    // The largest camera picture, all white, sums without overflow.
    QVERIFY(byteStatistics(QByteArray(320 * 240, char(255)), min, max, sum));
    QCOMPARE(sum, 19584000u);
}

void TestByteUtils::binarizeBounds()
{
    const QByteArray src = QByteArray::fromHex("00807F8081FF");
    QByteArray dst("x");
    binarize(src, dst, 128);
    QCOMPARE(dst, QByteArray("x") + QByteArray::fromHex("00000000FFFF"));

    dst.clear();
    binarize(src, dst, 255);
    QCOMPARE(dst, QByteArray(6, '\0'));

    dst.clear();
    binarize(src, dst, 0);
    QCOMPARE(dst, QByteArray::fromHex("00FFFFFFFFFF"));
}

QTEST_APPLESS_MAIN(TestByteUtils)
#include "tst_byteutils.moc"

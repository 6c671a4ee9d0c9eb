#include "justfloatdecoder.h"
#include "plotdecoder.h"
#include "plotframingdetector.h"
#include "textlinedecoder.h"

#include <QTest>

#include <cstring>

Q_DECLARE_METATYPE(PlotFraming)

namespace {

struct Decoded
{
    // Rows as "channel=value ... @time", frames separated by "; ".
    QString rows;
    QStringList names;
    // XY points as "series:x,y@time", separated by "; ".
    QString xy;
    QStringList xyNames;
    QStringList log;
    PlotStats stats;
    qsizetype waiting = 0;
};

QString number(double value)
{
    return qIsNaN(value) ? QStringLiteral("nan") : QString::number(value);
}

// Feeds stream in deliveries ending at each of cuts, then the rest.
Decoded decode(PlotFraming framing, const QByteArray &stream, const QList<qsizetype> &cuts = {})
{
    const auto decoder = PlotDecoder::create(framing);
    QByteArray buffer;
    PlotBatch batch;
    qsizetype given = 0;
    for (const qsizetype cut : cuts + QList<qsizetype> { stream.size() }) {
        buffer += stream.mid(given, cut - given);
        given = cut;
        decoder->decode(buffer, batch);
    }
    Decoded out;
    QStringList rows;
    for (const PlotRow &row : batch.rows) {
        QStringList values;
        for (int n = 0; n < row.count; ++n)
            values << QStringLiteral("%1=%2")
                              .arg(row.channel + n)
                              .arg(number(batch.values[row.offset + n]));
        if (!qIsNaN(row.timeMs))
            values << QStringLiteral("@%1").arg(row.timeMs);
        rows << values.join(QLatin1Char(' '));
    }
    out.rows = rows.join(QStringLiteral("; "));
    out.names = decoder->channelNames();
    QStringList points;
    for (const XYPoint &point : batch.xyPoints) {
        QString text = QStringLiteral("%1:%2,%3")
                               .arg(point.series)
                               .arg(number(point.x), number(point.y));
        if (!qIsNaN(point.timeMs))
            text += QStringLiteral("@%1").arg(point.timeMs);
        points << text;
    }
    out.xy = points.join(QStringLiteral("; "));
    out.xyNames = decoder->xySeriesNames();
    out.log = batch.log;
    out.stats = decoder->stats();
    out.waiting = buffer.size();
    return out;
}

QByteArray floats(const QList<float> &values)
{
    QByteArray bytes;
    for (const float value : values) {
        char raw[4];
        std::memcpy(raw, &value, 4); // the machines this runs on are little-endian
        bytes.append(raw, 4);
    }
    return bytes + JustFloatDecoder::tail();
}

} // namespace

// The four framings against hand-made streams, cut at every byte.
class TestPlotDecoders : public QObject
{
    Q_OBJECT

private slots:
    void streams_data();
    void streams();
    void teleplotXY_data();
    void teleplotXY();
    void xySeriesAreBounded();
    void numbers();
    void longLineIsGarbage();
    void detection_data();
    void detection();
};

void TestPlotDecoders::streams_data()
{
    QTest::addColumn<PlotFraming>("framing");
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<qint64>("garbage");
    QTest::addColumn<qint64>("resyncs");
    QTest::addColumn<qint64>("nonFinite");
    QTest::addColumn<int>("logLines");

    const auto fw = PlotFraming::FireWater;
    QTest::newRow("firewater line ends")
            << fw << QByteArray("1,2\n3,4\r\n5,6\n\r7,8\n") << "0=1 1=2; 0=3 1=4; 0=5 1=6; 0=7 1=8"
            << QStringList { "CH1", "CH2" } << 0ll << 0ll << 0ll << 0;
    QTest::newRow("firewater spaces, signs, exponents, tags")
            << fw << QByteArray(" -1.5 , +2e3,3E-2 \nspeed: 4,-7\na:b:5\n")
            << "0=-1.5 1=2000 2=0.03; 0=4 1=-7; 0=5" << QStringList { "CH1" } << 0ll << 0ll << 0ll
            << 0;
    QTest::newRow("firewater garbage between frames and count change")
            << fw << QByteArray("1,2,3\nhello world\n4,x\n5\n\n6,7\n")
            << "0=1 1=2 2=3; 0=5; 0=6 1=7" << QStringList { "CH1", "CH2" } << 16ll << 1ll << 0ll
            << 2;
    QTest::newRow("firewater nan and inf")
            << fw << QByteArray("1,nan\ninf,-inf\n") << "0=1 1=nan; 0=inf 1=-inf"
            << QStringList { "CH1", "CH2" } << 0ll << 0ll << 3ll << 0;
    QTest::newRow("firewater picture announced")
            << fw << QByteArray("image:0,100,10,10,1\n1\n") << "0=1" << QStringList { "CH1" } << 0ll
            << 0ll << 0ll << 1;

    const auto jf = PlotFraming::JustFloat;
    QTest::newRow("justfloat frames and count change")
            << jf << floats({ 1.5f, -2.0f }) + floats({ 3e-3f, 4.0f, 5.0f }) + floats({ 6.0f })
            << "0=1.5 1=-2; 0=0.003 1=4 2=5; 0=6" << QStringList { "CH1" } << 0ll << 0ll << 0ll
            << 0;
    QTest::newRow("justfloat length no multiple of four")
            << jf << floats({ 1.0f }) + "xyz" + floats({ 2.0f }) + floats({ 3.0f }) << "0=1; 0=3"
            << QStringList { "CH1" } << 11ll << 1ll << 0ll << 0;
    QTest::newRow("justfloat empty frame and nan")
            << jf << JustFloatDecoder::tail() + floats({ float(qQNaN()), 1.0f }) << "0=nan 1=1"
            << QStringList { "CH1", "CH2" } << 4ll << 1ll << 1ll << 0;

    const auto tp = PlotFraming::Teleplot;
    QTest::newRow("teleplot values, times, units, flags, log")
            << tp
            << QByteArray(">a:1\r\nboot ok\n>b:1000:2.5\xC2\xA7V\n>a:-1;2e1;\n"
                          ">s:on|t\n>b:1001:3;1002.5:4\n>bad\n>x:1:2|xy\n")
            << "0=1; 1=2.5 @1000; 0=-1; 0=20; 1=3 @1001; 1=4 @1002.5" << QStringList { "a", "b" }
            << 5ll << 1ll << 0ll << 3;

    const auto pl = PlotFraming::Plain;
    QTest::newRow("plain header and separators")
            << pl << QByteArray("speed angle\n1 2\n3,\t4\n5, 6, 7\nbad line\n8\n")
            << "0=1 1=2; 0=3 1=4; 0=5 1=6 2=7; 0=8" << QStringList { "speed", "angle", "CH3" }
            << 9ll << 1ll << 0ll << 2;
    QTest::newRow("plain labels") << pl << QByteArray("a:1 b:-2\nb:3,c:4e2\n5\n")
                                  << "0=1 1=-2; 1=3 2=400; 3=5"
                                  << QStringList { "a", "b", "c", "CH1" } << 0ll << 0ll << 0ll << 0;
}

void TestPlotDecoders::streams()
{
    QFETCH(PlotFraming, framing);
    QFETCH(QByteArray, stream);
    QFETCH(QString, rows);
    QFETCH(QStringList, names);

    const Decoded whole = decode(framing, stream);
    QCOMPARE(whole.rows, rows);
    QCOMPARE(whole.names, names);
    QTEST(whole.stats.garbageBytes, "garbage");
    QTEST(whole.stats.resyncs, "resyncs");
    QTEST(whole.stats.nonFinite, "nonFinite");
    QTEST(int(whole.log.size()), "logLines");
    QCOMPARE(whole.waiting, 0);
    QCOMPARE(whole.stats.dataBytes + whole.stats.textBytes + whole.stats.garbageBytes,
             stream.size());

    // Cut once at every byte, and byte by byte.
    QList<qsizetype> everyByte;
    for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
        const Decoded cutOnce = decode(framing, stream, { cut });
        QCOMPARE(cutOnce.rows, rows);
        QCOMPARE(cutOnce.stats.garbageBytes, whole.stats.garbageBytes);
        everyByte << cut;
    }
    const Decoded byBytes = decode(framing, stream, everyByte);
    QCOMPARE(byBytes.rows, rows);
    QCOMPARE(byBytes.log, whole.log);
}

// Teleplot's XY points: their own series beside the channels, the same
// name in both kept apart; a line that fails adds no point.
void TestPlotDecoders::teleplotXY_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QString>("xy");
    QTest::addColumn<QStringList>("series");
    QTest::addColumn<qint64>("garbage");
    QTest::addColumn<int>("logLines");

    QTest::newRow("one point, several, time stamps, units")
            << QByteArray(">p:1:2|xy\n>q:-1.5:3e1:1000\xC2\xA7m|xy\n>p:1:1;2:2;3:nan;|xy\n"
                          ">p:4:5:7;6:7:8|t,xy\n>p:0:0:9|np\n")
            << "0:1,2; 1:-1.5,30@1000; 0:1,1; 0:2,2; 0:3,nan" << QStringList { "p", "q" } << 0ll
            << 2;
    QTest::newRow("channels and series apart")
            << QByteArray(">a:1\n>a:2:3| xy \n>b:4:5|xy\n>a:6\n") << "0:2,3; 1:4,5"
            << QStringList { "a", "b" } << 0ll << 0;
    QTest::newRow("bad points fail the whole line")
            << QByteArray(">p:1|xy\n>p:1:2:3:4|xy\n>p:1:2;x:3|xy\n>:1:2|xy\n>p:|xy\n>p:5:6|xy\n")
            << "0:5,6" << QStringList { "p" } << 52ll << 5;
}

void TestPlotDecoders::teleplotXY()
{
    QFETCH(QByteArray, stream);
    QFETCH(QString, xy);
    QFETCH(QStringList, series);

    const Decoded whole = decode(PlotFraming::Teleplot, stream);
    QCOMPARE(whole.xy, xy);
    QCOMPARE(whole.xyNames, series);
    QTEST(whole.stats.garbageBytes, "garbage");
    QTEST(int(whole.log.size()), "logLines");
    QCOMPARE(whole.stats.dataBytes + whole.stats.textBytes + whole.stats.garbageBytes,
             stream.size());
    QList<qsizetype> everyByte;
    for (qsizetype cut = 0; cut <= stream.size(); ++cut)
        everyByte << cut;
    QCOMPARE(decode(PlotFraming::Teleplot, stream, everyByte).xy, xy);
}

void TestPlotDecoders::xySeriesAreBounded()
{
    // At most 64 series: the 65th name is garbage, known names still plot.
    QByteArray many;
    for (int n = 0; n <= PlotDecoder::kMaxXYSeries; ++n)
        many += ">s" + QByteArray::number(n) + ":1:1|xy\n";
    const Decoded full = decode(PlotFraming::Teleplot, many + ">s0:2:2|xy\n");
    QCOMPARE(full.xyNames.size(), PlotDecoder::kMaxXYSeries);
    QCOMPARE(full.stats.garbageBytes, qint64(sizeof(">s64:1:1|xy\n") - 1));
    QVERIFY(full.xy.endsWith(QStringLiteral("0:2,2")));
}

void TestPlotDecoders::numbers()
{
    const auto parses = [](const char *text) {
        double value;
        return PlotDecoder::parseNumber(text, text + std::strlen(text), value);
    };
    for (const char *good : { "0", "-0.5", "+7", " 1e-3\t", "NaN", "-inf", "1E+5" })
        QVERIFY2(parses(good), good);
    for (const char *bad : { "", " ", "+", "+-1", "1.2.3", "0x10", "1 2", "1e", "--1" })
        QVERIFY2(!parses(bad), bad);
}

// A line with no end in sight is garbage, and only that many bytes wait.
void TestPlotDecoders::longLineIsGarbage()
{
    const QByteArray stream = "1\n" + QByteArray(3 * TextLineDecoder::kMaxLineBytes, '5') + "\n2\n";
    for (const QList<qsizetype> &cuts : { QList<qsizetype> {}, QList<qsizetype> { 5000, 9000 } }) {
        const Decoded out = decode(PlotFraming::FireWater, stream, cuts);
        QCOMPARE(out.rows, QStringLiteral("0=1; 0=2"));
        QCOMPARE(out.stats.garbageBytes, 3 * TextLineDecoder::kMaxLineBytes + 1);
        QCOMPARE(out.stats.resyncs, 1);
    }
    QByteArray buffer(100000, '\x01');
    PlotBatch batch;
    JustFloatDecoder justFloat;
    justFloat.decode(buffer, batch);
    QVERIFY(buffer.size() < JustFloatDecoder::kMaxFrameBytes);
    QCOMPARE(justFloat.stats().garbageBytes + buffer.size(), 100000);
}

void TestPlotDecoders::detection_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<int>("framing"); // -1: undecided

    QTest::newRow("justfloat") << floats({ 1.0f }) << int(PlotFraming::JustFloat);
    QTest::newRow("teleplot") << QByteArray("boot\n>a:1\n>b:2\n") << int(PlotFraming::Teleplot);
    QTest::newRow("firewater") << QByteArray("1,2\n3,4\nx:5,6\n") << int(PlotFraming::FireWater);
    QTest::newRow("plain spaces") << QByteArray("1 2\n3 4\n5 6\n") << int(PlotFraming::Plain);
    QTest::newRow("plain labels") << QByteArray("a:1,b:2\na:3,b:4\na:1,b:2\n")
                                  << int(PlotFraming::Plain);
    QTest::newRow("plain header") << QByteArray("x,y\n1,2\n3,4\n") << int(PlotFraming::Plain);
    QTest::newRow("too early") << QByteArray("1,2\n3,") << -1;
    QTest::newRow("binary without tail") << QByteArray(5000, '\x01') << int(PlotFraming::JustFloat);
}

void TestPlotDecoders::detection()
{
    QFETCH(QByteArray, head);
    const auto framing = PlotFramingDetector::detect(head);
    QTEST(framing ? int(*framing) : -1, "framing");
}

QTEST_GUILESS_MAIN(TestPlotDecoders)
#include "tst_plotdecoders.moc"

#include "scopeframedecoder.h"

#include <QRandomGenerator>
#include <QTest>

using Raw = QList<quint16>;

// Raw samples of all frames, flattened CH1..CH4 per frame.
static Raw flatten(const QList<ScopeFrame> &frames)
{
    Raw raw;
    for (const ScopeFrame &frame : frames)
        raw << frame.raw[0] << frame.raw[1] << frame.raw[2] << frame.raw[3];
    return raw;
}

static QByteArray frameBytes(const Raw &samples, char trailing)
{
    QByteArray bytes("\xFF\xFF", 2);
    for (const quint16 sample : samples)
        bytes.append(char(sample >> 8)).append(char(sample & 0xFF));
    bytes.append(trailing);
    return bytes;
}

// Feeds stream in pieces of the given sizes, as deliveries into one buffer.
static Raw feed(const QByteArray &stream, const QList<int> &pieces, QByteArray *rest = nullptr,
                ScopeFrameStats *stats = nullptr)
{
    ScopeFrameDecoder decoder;
    QByteArray buffer;
    Raw raw;
    qsizetype pos = 0;
    for (const int piece : pieces) {
        buffer.append(stream.mid(pos, piece));
        pos += piece;
        raw << flatten(decoder.takeFrames(buffer));
    }
    if (rest)
        *rest = buffer;
    if (stats)
        *stats = decoder.stats();
    return raw;
}

// The frame search and the conversion of raw samples to volts.
class TestScopeFrameDecoder : public QObject
{
    Q_OBJECT

private slots:
    void voltages();
    void oneFrame_data();
    void oneFrame();
    void waitsForTenBytes();
    void severalFramesAndGarbage();
    void noSyncPairEmptiesTheBuffer();
    void syncPairNearTheEndIsKept();
    void owedTrailingByteIsNoSyncByte();
    void lostTrailingByteLosesNoFrame();
    void strayFFShiftsOneFrame();
    void anyCutGivesTheSameSamples_data();
    void anyCutGivesTheSameSamples();
    void statisticsCountGarbageAndResyncs_data();
    void statisticsCountGarbageAndResyncs();
};

void TestScopeFrameDecoder::voltages()
{
    QCOMPARE(scopeVoltage(0, 0.0, 5.0), 0.0);
    QCOMPARE(scopeVoltage(65535, 0.0, 5.0), 5.0);
    QCOMPARE(scopeVoltage(0x8000, 0.0, 5.0), 32768 * 5 / 65535.0);
    QCOMPARE(scopeVoltage(0x1234, 0.0, 5.0), 4660 * 5 / 65535.0);
    QVERIFY(qAbs(scopeVoltage(0x8000, 0.0, 5.0) - 2.50004) < 1e-5);
    QVERIFY(qAbs(scopeVoltage(0x1234, 0.0, 5.0) - 0.35554) < 1e-5);
    // Other limits: raw 0 is the minimum, raw 65535 the maximum.
    QCOMPARE(scopeVoltage(0, -2.5, 10.0), -2.5);
    QCOMPARE(scopeVoltage(65535, -2.5, 10.0), 7.5);
}

void TestScopeFrameDecoder::oneFrame_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("owed");
    // The 0xFF 0xFF inside CH2 must not disturb the search.
    const QByteArray frame = QByteArray::fromHex("FFFF0000FFFF8000123400");
    QTest::newRow("eleven bytes") << frame << false;
    QTest::newRow("without its trailing byte") << frame.left(10) << true;
}

void TestScopeFrameDecoder::oneFrame()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, owed);
    ScopeFrameDecoder decoder;
    QCOMPARE(flatten(decoder.takeFrames(bytes)), Raw({ 0, 65535, 0x8000, 0x1234 }));
    QVERIFY(bytes.isEmpty());
    QCOMPARE(decoder.trailingByteOwed(), owed);
}

void TestScopeFrameDecoder::waitsForTenBytes()
{
    ScopeFrameDecoder decoder;
    const QByteArray frame = frameBytes({ 1, 2, 3, 4 }, 0);
    QByteArray buffer = frame.left(9);
    QVERIFY(decoder.takeFrames(buffer).isEmpty());
    QCOMPARE(buffer, frame.left(9));

    buffer.append(frame.at(9));
    QCOMPARE(flatten(decoder.takeFrames(buffer)), Raw({ 1, 2, 3, 4 }));
    QVERIFY(buffer.isEmpty());

    // An empty delivery does not settle the owed byte; the next byte does.
    QVERIFY(decoder.takeFrames(buffer).isEmpty());
    QVERIFY(decoder.trailingByteOwed());
    buffer = QByteArray(1, '\0');
    decoder.takeFrames(buffer);
    QVERIFY(buffer.isEmpty());
    QVERIFY(!decoder.trailingByteOwed());
}

void TestScopeFrameDecoder::severalFramesAndGarbage()
{
    ScopeFrameDecoder decoder;
    QByteArray buffer = QByteArray::fromHex("010203") + frameBytes({ 10, 11, 12, 13 }, 0x55)
            + frameBytes({ 20, 21, 22, 23 }, 0x66) + QByteArray::fromHex("FFFF0001");
    QCOMPARE(flatten(decoder.takeFrames(buffer)), Raw({ 10, 11, 12, 13, 20, 21, 22, 23 }));
    QCOMPARE(buffer, QByteArray::fromHex("FFFF0001"));
}

void TestScopeFrameDecoder::noSyncPairEmptiesTheBuffer()
{
    ScopeFrameDecoder decoder;
    QByteArray buffer = QByteArray::fromHex("00FF01FF02FF03FF04FF05FF");
    QVERIFY(decoder.takeFrames(buffer).isEmpty());
    QVERIFY(buffer.isEmpty());

    // Fewer than ten bytes wait, pair or not.
    buffer = QByteArray::fromHex("0102030405060708FF");
    QVERIFY(decoder.takeFrames(buffer).isEmpty());
    QCOMPARE(buffer.size(), 9);
}

void TestScopeFrameDecoder::syncPairNearTheEndIsKept()
{
    ScopeFrameDecoder decoder;
    const QByteArray frame = frameBytes({ 0x0102, 0x0304, 0x0506, 0x0708 }, 0);
    // Twelve bytes, the only pair at 5 and 6: the garbage goes, the frame's
    // start stays until the rest of it has arrived.
    QByteArray buffer = QByteArray::fromHex("0102030405") + frame.left(7);
    QVERIFY(decoder.takeFrames(buffer).isEmpty());
    QCOMPARE(buffer, frame.left(7));

    buffer.append(frame.mid(7));
    QCOMPARE(flatten(decoder.takeFrames(buffer)), Raw({ 0x0102, 0x0304, 0x0506, 0x0708 }));
    QVERIFY(buffer.isEmpty());
}

void TestScopeFrameDecoder::owedTrailingByteIsNoSyncByte()
{
    ScopeFrameDecoder decoder;
    const QByteArray first = frameBytes({ 1, 2, 3, 4 }, char(0xFF));
    const QByteArray second = frameBytes({ 5, 6, 7, 8 }, char(0xFF));
    QByteArray buffer = first.left(10);
    QCOMPARE(flatten(decoder.takeFrames(buffer)), Raw({ 1, 2, 3, 4 }));

    // The trailing 0xFF and the next frame's sync pair arrive together.
    buffer = first.right(1) + second;
    QCOMPARE(flatten(decoder.takeFrames(buffer)), Raw({ 5, 6, 7, 8 }));
    QVERIFY(buffer.isEmpty());
    QVERIFY(!decoder.trailingByteOwed());
}

void TestScopeFrameDecoder::lostTrailingByteLosesNoFrame()
{
    // The owed byte went to another tab or was lost with a closed port; the
    // next delivery starts with a whole frame, which must not lose its sync byte.
    ScopeFrameDecoder decoder;
    QByteArray buffer = frameBytes({ 0x1000, 0x2000, 0x3000, 0x4000 }, 0).left(10);
    QCOMPARE(flatten(decoder.takeFrames(buffer)), Raw({ 0x1000, 0x2000, 0x3000, 0x4000 }));
    QVERIFY(decoder.trailingByteOwed());
    buffer = frameBytes({ 0x1111, 0x2222, 0x3333, 0x4444 }, 0x08);
    QCOMPARE(flatten(decoder.takeFrames(buffer)), Raw({ 0x1111, 0x2222, 0x3333, 0x4444 }));
    QVERIFY(buffer.isEmpty());

    // A lone 0xFF, or two, arriving as the owed byte is still taken as it.
    for (const QByteArray &owed : { QByteArray(1, char(0xFF)), QByteArray(2, char(0xFF)) }) {
        buffer = frameBytes({ 1, 2, 3, 4 }, 0).left(10);
        decoder.takeFrames(buffer);
        buffer = owed;
        QVERIFY(decoder.takeFrames(buffer).isEmpty());
        QCOMPARE(buffer.size(), owed.size() - 1);
        QVERIFY(!decoder.trailingByteOwed());
    }
}

void TestScopeFrameDecoder::strayFFShiftsOneFrame()
{
    // A 0xFF that no frame owes pairs with the first sync byte: that frame is
    // decoded one byte early and its trailing byte is left at the front.
    ScopeFrameDecoder decoder;
    QByteArray buffer
            = QByteArray(1, char(0xFF)) + frameBytes({ 0x0102, 0x0304, 0x0506, 0x0708 }, 0x09);
    QCOMPARE(flatten(decoder.takeFrames(buffer)), Raw({ 0xFF01, 0x0203, 0x0405, 0x0607 }));
    QCOMPARE(buffer, QByteArray(1, 0x09));
    QVERIFY(!decoder.trailingByteOwed());
}

void TestScopeFrameDecoder::anyCutGivesTheSameSamples_data()
{
    QTest::addColumn<char>("trailing");
    QTest::newRow("trailing 0x00") << char(0x00);
    QTest::newRow("trailing 0xFF") << char(0xFF);
}

void TestScopeFrameDecoder::anyCutGivesTheSameSamples()
{
    QFETCH(char, trailing);
    QRandomGenerator random(20240611);
    // Samples full of 0xFF bytes, so that false pairs abound inside frames.
    const quint16 pool[] = { 0xFFFF, 0xFF00, 0x00FF, 0x0000, 0x7FFF, 0x8000, 0x12FF, 0xFF34 };
    Raw expected;
    QByteArray stream = QByteArray::fromHex("010203"); // garbage before the first frame
    for (int f = 0; f < 400; ++f) {
        Raw samples;
        for (int n = 0; n < 4; ++n) {
            samples << (random.bounded(2) ? pool[random.bounded(8)]
                                          : quint16(random.bounded(65536)));
        }
        expected << samples;
        stream += frameBytes(samples, trailing);
    }

    QByteArray rest;
    QCOMPARE(feed(stream, { int(stream.size()) }, &rest), expected);
    QVERIFY(rest.isEmpty());

    QCOMPARE(feed(stream, QList<int>(stream.size(), 1), &rest), expected);
    QVERIFY(rest.isEmpty());

    for (int round = 0; round < 20; ++round) {
        QList<int> pieces;
        for (qsizetype total = 0; total < stream.size();) {
            pieces << 1 + random.bounded(round < 10 ? 12 : 40);
            total += pieces.last();
        }
        QCOMPARE(feed(stream, pieces, &rest), expected);
        QVERIFY(rest.isEmpty());
    }
}

void TestScopeFrameDecoder::statisticsCountGarbageAndResyncs_data()
{
    QTest::addColumn<QList<int>>("pieces");
    QTest::addColumn<bool>("whole");
    QTest::newRow("whole") << QList<int>() << true;
    QTest::newRow("byte by byte") << QList<int>({ 1 }) << false;
    QTest::newRow("pieces of 7") << QList<int>({ 7 }) << false;
    QTest::newRow("pieces of 3 to 25") << QList<int>({ 3, 25, 11, 4, 17, 9 }) << false;
}

void TestScopeFrameDecoder::statisticsCountGarbageAndResyncs()
{
    // 100 frames with three places out of step: 3 bytes before the first
    // frame, a run of 15 between frames 40 and 41 (longer than a frame, so
    // that some cuts throw it away without a pair in sight), and a stray
    // 0xFF before frame 70, which shifts that frame and leaves its trailing
    // byte as garbage before frame 71.
    QFETCH(QList<int>, pieces);
    QFETCH(bool, whole);
    QByteArray stream = QByteArray::fromHex("010203");
    for (int f = 0; f < 100; ++f) {
        if (f == 41)
            stream += QByteArray(15, char(0x5A));
        if (f == 70)
            stream += char(0xFF);
        const quint16 level = quint16(f * 300);
        stream += frameBytes({ level, quint16(level + 1), quint16(level + 2), 0x0102 }, 0x33);
    }

    QList<int> cuts;
    for (qsizetype total = 0, n = 0; total < stream.size(); ++n) {
        cuts << (whole ? int(stream.size()) : pieces.at(n % pieces.size()));
        total += cuts.last();
    }
    QByteArray rest;
    ScopeFrameStats stats;
    const Raw raw = feed(stream, cuts, &rest, &stats);
    QVERIFY(rest.isEmpty());
    QCOMPARE(raw.size(), 400);
    QCOMPARE(stats.frames, 100);
    QCOMPARE(stats.garbageBytes, 3 + 15 + 1);
    QCOMPARE(stats.resyncs, 3);
}

QTEST_APPLESS_MAIN(TestScopeFrameDecoder)
#include "tst_scopeframedecoder.moc"

#include "frameextraction.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

constexpr int kLine = 128;

// Line number n, recognisable from its first two bytes; no byte is 0xFF.
QByteArray numberedLine(int n)
{
    QByteArray line(kLine, '\0');
    line[0] = char(n % 250);
    line[1] = char(n / 250);
    for (int i = 2; i < kLine; ++i)
        line[i] = char((n * 7 + i) % 255);
    return line;
}

int lineNumber(const QByteArray &line)
{
    return quint8(line.at(0)) + 250 * quint8(line.at(1));
}

QByteArray frame(const QByteArray &pixels)
{
    return pixels + char(0xFF);
}

} // namespace

class TestFrameExtraction : public QObject
{
    Q_OBJECT

private slots:
    void shortBufferIsLeftAlone_data();
    void shortBufferIsLeftAlone();
    void endByteTooEarlyDropsBytes();
    void singleFrame();
    void newestOfSeveralFramesWins();
    void startOfNextFrameStays();
    void bytesWithoutEndByteWait();
    void endByteAmongPixelsShiftsTheFrame();
    void otherFrameSizes();
    void numberedLinesInRandomChunks_data();
    void numberedLinesInRandomChunks();
    void statisticsOfACleanStream_data();
    void statisticsOfACleanStream();
    void statisticsOfADamagedStream();
};

void TestFrameExtraction::shortBufferIsLeftAlone_data()
{
    QTest::addColumn<QByteArray>("buffer");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("128 bytes ending in 0xFF") << frame(QByteArray(127, 'a'));
    QTest::newRow("only end bytes") << QByteArray(kLine, char(0xFF));
}

void TestFrameExtraction::shortBufferIsLeftAlone()
{
    QFETCH(QByteArray, buffer);
    const QByteArray before = buffer;
    QByteArray line("kept");
    QCOMPARE(takeNewestFrame(buffer, kLine, line), FrameCut::Waiting);
    QCOMPARE(buffer, before);
    QCOMPARE(line, QByteArray("kept"));
}

void TestFrameExtraction::endByteTooEarlyDropsBytes()
{
    QByteArray buffer(200, 'x');
    buffer[40] = char(0xFF);
    QByteArray line("kept");
    QCOMPARE(takeNewestFrame(buffer, kLine, line), FrameCut::Dropped);
    QCOMPARE(buffer, QByteArray(159, 'x'));
    QCOMPARE(line, QByteArray("kept"));
}

void TestFrameExtraction::singleFrame()
{
    QByteArray buffer = frame(numberedLine(3));
    QByteArray line;
    QCOMPARE(takeNewestFrame(buffer, kLine, line), FrameCut::Taken);
    QCOMPARE(line, numberedLine(3));
    QVERIFY(buffer.isEmpty());
}

void TestFrameExtraction::newestOfSeveralFramesWins()
{
    QByteArray buffer = frame(numberedLine(1)) + frame(numberedLine(2));
    QByteArray line;
    QCOMPARE(takeNewestFrame(buffer, kLine, line), FrameCut::Taken);
    QCOMPARE(line, numberedLine(2));
    QVERIFY(buffer.isEmpty());
}

void TestFrameExtraction::startOfNextFrameStays()
{
    const QByteArray next = numberedLine(9).left(50);
    QByteArray buffer = frame(numberedLine(8)) + next;
    QByteArray line;
    QCOMPARE(takeNewestFrame(buffer, kLine, line), FrameCut::Taken);
    QCOMPARE(line, numberedLine(8));
    QCOMPARE(buffer, next);
}

void TestFrameExtraction::bytesWithoutEndByteWait()
{
    QByteArray buffer(1000, 'z');
    QByteArray line;
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(takeNewestFrame(buffer, kLine, line), FrameCut::Waiting);
        buffer.append(300, 'z');
    }
    QCOMPARE(buffer.size(), 1900);
    QVERIFY(line.isEmpty());
}

void TestFrameExtraction::endByteAmongPixelsShiftsTheFrame()
{
    // A 0xFF inside the second frame's pixels ends up last: the 128 bytes
    // before it straddle the two frames, and the rest of the frame stays.
    QByteArray second = numberedLine(5);
    second[60] = char(0xFF);
    QByteArray buffer = frame(numberedLine(4)) + second.left(61);
    QByteArray line;
    QCOMPARE(takeNewestFrame(buffer, kLine, line), FrameCut::Taken);
    QCOMPARE(line, (frame(numberedLine(4)) + second.left(60)).right(kLine));
    QVERIFY(buffer.isEmpty());
}

void TestFrameExtraction::otherFrameSizes()
{
    // The camera tab uses the same rule with its picture size.
    const int pictureSize = 80 * 60;
    QByteArray picture(pictureSize, char(0x40));
    QByteArray buffer = QByteArray(10, 'g') + frame(picture) + QByteArray(7, 'n');
    QByteArray taken;
    QCOMPARE(takeNewestFrame(buffer, pictureSize, taken), FrameCut::Taken);
    QCOMPARE(taken, picture);
    QCOMPARE(buffer, QByteArray(7, 'n'));

    QByteArray exact = frame(QByteArray(pictureSize - 1, 'p'));
    QCOMPARE(takeNewestFrame(exact, pictureSize, taken), FrameCut::Waiting);
    QCOMPARE(exact.size(), pictureSize);
}

void TestFrameExtraction::numberedLinesInRandomChunks_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("maxChunk");
    QTest::newRow("small chunks") << 1u << 40;
    QTest::newRow("about one line") << 2u << 300;
    QTest::newRow("several lines") << 3u << 1500;
}

void TestFrameExtraction::numberedLinesInRandomChunks()
{
    QFETCH(quint32, seed);
    QFETCH(int, maxChunk);
    constexpr int kLines = 600;
    QByteArray stream;
    for (int n = 0; n < kLines; ++n)
        stream += frame(numberedLine(n));

    QRandomGenerator random(seed);
    QByteArray buffer;
    QByteArray line;
    int lastShown = -1;
    int shownCount = 0;
    for (qsizetype sent = 0; sent < stream.size();) {
        const qsizetype chunk
                = qMin<qsizetype>(random.bounded(1, maxChunk + 1), stream.size() - sent);
        buffer += stream.mid(sent, chunk);
        sent += chunk;
        if (takeNewestFrame(buffer, kLine, line) != FrameCut::Taken)
            continue;
        const int n = lineNumber(line);
        QVERIFY2(n > lastShown,
                 qPrintable(QStringLiteral("line %1 after %2").arg(n).arg(lastShown)));
        QVERIFY(n < kLines);
        QCOMPARE(line, numberedLine(n));
        lastShown = n;
        ++shownCount;
        QVERIFY(buffer.size() <= kLine);
    }
    QCOMPARE(lastShown, kLines - 1);
    QVERIFY(buffer.isEmpty());
    QVERIFY(shownCount > 0);
}

void TestFrameExtraction::statisticsOfACleanStream_data()
{
    numberedLinesInRandomChunks_data();
}

void TestFrameExtraction::statisticsOfACleanStream()
{
    // However the lines are cut, each one is either taken or skipped for a
    // newer one, and only skipped lines are dropped.
    QFETCH(quint32, seed);
    QFETCH(int, maxChunk);
    constexpr int kLines = 600;
    QByteArray stream;
    for (int n = 0; n < kLines; ++n)
        stream += frame(numberedLine(n));

    QRandomGenerator random(seed);
    QByteArray buffer;
    QByteArray line;
    FrameStats stats;
    qint64 takenCalls = 0;
    for (qsizetype sent = 0; sent < stream.size();) {
        const qsizetype chunk
                = qMin<qsizetype>(random.bounded(1, maxChunk + 1), stream.size() - sent);
        buffer += stream.mid(sent, chunk);
        sent += chunk;
        if (takeNewestFrame(buffer, kLine, line, stats) == FrameCut::Taken)
            ++takenCalls;
    }
    QCOMPARE(stats.taken, takenCalls);
    QCOMPARE(stats.taken + stats.skipped, kLines);
    QCOMPARE(stats.misplaced, 0);
    QCOMPARE(stats.droppedBytes, stats.skipped * (kLine + 1));
    if (maxChunk > 2 * (kLine + 1))
        QVERIFY(stats.skipped > 0);
}

void TestFrameExtraction::statisticsOfADamagedStream()
{
    // Ten bytes of garbage in front, then line 1, line 2 short of a byte,
    // lines 3 and 4.
    const QByteArray garbage(10, 'g');
    const QByteArray pieces[]
            = { garbage + frame(numberedLine(1)), frame(numberedLine(2).left(kLine - 1)),
                frame(numberedLine(3)), frame(numberedLine(4)) };
    QByteArray line;

    // All at once: the first two end bytes are misplaced, line 3 is skipped
    // and line 4 taken.
    QByteArray buffer = pieces[0] + pieces[1] + pieces[2] + pieces[3];
    const qsizetype total = buffer.size();
    FrameStats stats;
    QCOMPARE(takeNewestFrame(buffer, kLine, line, stats), FrameCut::Taken);
    QCOMPARE(line, numberedLine(4));
    QCOMPARE(stats.taken, 1);
    QCOMPARE(stats.skipped, 1);
    QCOMPARE(stats.misplaced, 2);
    QCOMPARE(stats.droppedBytes, total - (kLine + 1));

    // Piece by piece: the garbage still misplaces the first end byte, though
    // the line before it is taken whole; the short line waits for line 3 and
    // is dropped then.
    buffer.clear();
    stats = FrameStats();
    for (const QByteArray &piece : pieces) {
        buffer += piece;
        takeNewestFrame(buffer, kLine, line, stats);
    }
    QVERIFY(buffer.isEmpty());
    QCOMPARE(stats.taken, 3);
    QCOMPARE(stats.skipped, 0);
    QCOMPARE(stats.misplaced, 2);
    QCOMPARE(stats.droppedBytes, garbage.size() + kLine);

    // An end byte too early to end a whole frame drops its bytes.
    buffer = frame(QByteArray(40, 'x')) + QByteArray(100, 'y');
    stats = FrameStats();
    QCOMPARE(takeNewestFrame(buffer, kLine, line, stats), FrameCut::Dropped);
    QCOMPARE(stats.taken, 0);
    QCOMPARE(stats.misplaced, 1);
    QCOMPARE(stats.droppedBytes, 41);

    // Waiting counts nothing.
    buffer = frame(QByteArray(40, 'x'));
    stats = FrameStats();
    QCOMPARE(takeNewestFrame(buffer, kLine, line, stats), FrameCut::Waiting);
    QCOMPARE(stats.misplaced + stats.droppedBytes, 0);
}

QTEST_APPLESS_MAIN(TestFrameExtraction)
#include "tst_frameextraction.moc"

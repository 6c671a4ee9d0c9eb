#include "frameextraction.h"
#include "headerpictureextractor.h"
#include "picturesizeguess.h"

#include <QTest>
#include <QtEndian>

namespace {

QByteArray greyPicture(int width, int height, int seed)
{
    QByteArray bytes(qsizetype(width) * height, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 7 + seed) % 255);
    return bytes;
}

QByteArray textHeader(qint32 id, qsizetype size, int width, int height, int format)
{
    return QStringLiteral("image:%1,%2,%3,%4,%5\n")
            .arg(id)
            .arg(size)
            .arg(width)
            .arg(height)
            .arg(format)
            .toLatin1();
}

QByteArray binaryHeader(qint32 id, qsizetype size, int width, int height, int format)
{
    QByteArray bytes(HeaderPictureExtractor::kBinaryHeaderBytes, '\0');
    const qint32 fields[] = { id, qint32(size), width, height, format, 0x7F800000, 0x7F800000 };
    for (int i = 0; i < 7; ++i)
        qToLittleEndian(fields[i], bytes.data() + 4 * i);
    return bytes;
}

using MakeHeader = QByteArray (*)(qint32, qsizetype, int, int, int);

} // namespace

// The pure parts of fast camera streams: the size measured between end bytes
// and the pictures framed by a header.
class TestHeaderPictures : public QObject
{
    Q_OBJECT

private slots:
    void sizeProposalFrom188x120Stream();
    void eachFramingCutAtEveryByte_data();
    void eachFramingCutAtEveryByte();
    void badPicturesAreSkippedWhole_data();
    void badPicturesAreSkippedWhole();
};

void TestHeaderPictures::sizeProposalFrom188x120Stream()
{
    // The tab is set to its default 120 x 40 and cuts by that size meanwhile.
    QByteArray stream = QByteArrayLiteral("tail of an earlier picture");
    for (int i = 0; i < 6; ++i)
        stream += greyPicture(188, 120, i) + char(0xFF);
    PictureSizeGuess guess;
    QByteArray buffer;
    QByteArray frame;
    for (qsizetype at = 0; at < stream.size(); at += 4093) {
        buffer += stream.mid(at, 4093);
        guess.scan(buffer);
        const qsizetype before = buffer.size();
        takeNewestFrame(buffer, 120 * 40, frame);
        guess.removedFront(before - buffer.size());
    }
    QCOMPARE(guess.steadySize(), 188 * 120);

    const QList<QSize> sizes = PictureSizeGuess::likelySizes(188 * 120, QSize(320, 240));
    QCOMPARE(sizes.first(), QSize(188, 120));
    QVERIFY(sizes.size() > 1 && sizes.size() <= 8);
    for (const QSize size : sizes) {
        QCOMPARE(size.width() * size.height(), 188 * 120);
        QVERIFY(size.width() <= 320 && size.height() <= 240);
    }
    // A size no common format has: the factor pairs, nearest to 4:3 first.
    QCOMPARE(PictureSizeGuess::likelySizes(100 * 75, QSize(320, 240)).first(), QSize(100, 75));
    QVERIFY(PictureSizeGuess::likelySizes(7919, QSize(320, 240)).isEmpty()); // a prime

    // One gap of another length starts the count again.
    guess.scan(buffer + greyPicture(10, 1, 0) + char(0xFF));
    QCOMPARE(guess.steadySize(), 0);
}

void TestHeaderPictures::eachFramingCutAtEveryByte_data()
{
    QTest::addColumn<bool>("binary");
    QTest::newRow("text") << false;
    QTest::newRow("binary") << true;
}

// Two pictures after some noise, delivered in two pieces split at every
// byte: every picture taken is one that was sent, whole, and the second is
// always the last one shown.
void TestHeaderPictures::eachFramingCutAtEveryByte()
{
    QFETCH(bool, binary);
    const MakeHeader header = binary ? binaryHeader : textHeader;
    const QByteArray first = greyPicture(24, 10, 1);
    const QByteArray second = greyPicture(20, 12, 2);
    const QByteArray stream = QByteArrayLiteral("noise\xFF") + header(1, first.size(), 24, 10, 24)
            + first + header(2, second.size(), 20, 12, 24) + second;
    for (qsizetype split = 0; split <= stream.size(); ++split) {
        HeaderPictureExtractor extractor;
        FrameStats stats;
        HeaderPicture picture;
        QByteArray buffer;
        QList<QByteArray> shown;
        for (const QByteArray &piece : { stream.left(split), stream.mid(split) }) {
            buffer += piece;
            if (extractor.takeNewest(buffer, picture, stats) == FrameCut::Taken)
                shown << picture.data;
        }
        QCOMPARE(picture.id, 2);
        QCOMPARE(QSize(picture.width, picture.height), QSize(20, 12));
        QCOMPARE(shown.last(), second);
        if (shown.size() == 2)
            QCOMPARE(shown.first(), first);
        QCOMPARE(stats.taken + stats.skipped, 2);
        QCOMPARE(stats.misplaced, 0);
        QVERIFY(buffer.isEmpty());
    }
}

void TestHeaderPictures::badPicturesAreSkippedWhole_data()
{
    QTest::addColumn<bool>("binary");
    QTest::addColumn<QByteArray>("bad");
    const QByteArray pixels = greyPicture(16, 8, 3);
    for (const bool binary : { false, true }) {
        const MakeHeader header = binary ? binaryHeader : textHeader;
        const char *kind = binary ? "binary" : "text";
        QTest::addRow("%s: size disagrees", kind) << binary << header(7, 100, 16, 8, 24) + pixels;
        QTest::addRow("%s: unknown format", kind)
                << binary << header(7, 4 * 128, 16, 8, 4) + pixels + pixels + pixels + pixels;
        QTest::addRow("%s: wider than the sensor", kind)
                << binary << header(7, 753 * 1, 753, 1, 24) + QByteArray(753, 'x');
        QTest::addRow("%s: cut short", kind)
                << binary << header(7, 128, 16, 8, 24) + pixels.left(60);
        QTest::addRow("%s: file that is none", kind) << binary << header(7, 128, 16, 8, 0) + pixels;
    }
    QTest::addRow("text: no number") << false << QByteArrayLiteral("image:7,128,16,eight,24\n");
    QTest::addRow("text: line too long") << false << "image:" + QByteArray(90, '1') + "\n";
}

// A bad picture before and after a good one, all in one delivery and byte
// by byte: the good one is shown, each bad one counted once and never shown.
void TestHeaderPictures::badPicturesAreSkippedWhole()
{
    QFETCH(bool, binary);
    QFETCH(QByteArray, bad);
    const MakeHeader header = binary ? binaryHeader : textHeader;
    const QByteArray good = greyPicture(30, 20, 4);
    const QByteArray stream = bad + header(9, good.size(), 30, 20, 24) + good + bad;
    for (const qsizetype step : { stream.size(), qsizetype(1) }) {
        HeaderPictureExtractor extractor;
        FrameStats stats;
        HeaderPicture picture;
        QList<QByteArray> shown;
        QByteArray buffer;
        for (qsizetype at = 0; at < stream.size(); at += step) {
            buffer += stream.mid(at, step);
            if (extractor.takeNewest(buffer, picture, stats) == FrameCut::Taken)
                shown << picture.data;
        }
        QCOMPARE(shown, QList<QByteArray> { good });
        QCOMPARE(picture.id, 9);
        QCOMPARE(stats.taken, 1);
        // The bad one at the end may still be waiting for more bytes.
        QVERIFY2(stats.misplaced >= 1 && stats.misplaced <= 2,
                 qPrintable(QString::number(stats.misplaced)));
    }
}

QTEST_GUILESS_MAIN(TestHeaderPictures)
#include "tst_headerpictures.moc"

#include "greylevels.h"

#include <QTest>

namespace {

int g_calls = 0;
int g_width = 0;
int g_height = 0;

// Inverts every pixel and remembers how it was called.
void IMGPROC_CALL invert(const unsigned char *src, unsigned char *dst, int width, int height)
{
    ++g_calls;
    g_width = width;
    g_height = height;
    for (int i = 0; i < width * height; ++i)
        dst[i] = 255 - src[i];
}

// Writes nothing at all.
void IMGPROC_CALL writeNothing(const unsigned char *, unsigned char *, int, int) { }

} // namespace

// The statistics and binarization that the linear CCD and camera tabs share.
class TestGreyLevels : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void statistics();
    void thresholdModesCutAtTheLowByte();
    void customModeCallsTheAlgorithmOnlyWhenItFits();
};

void TestGreyLevels::init()
{
    g_calls = 0;
}

void TestGreyLevels::statistics()
{
    GreyStatistics stats { 1, 2, 3, 4 };
    QVERIFY(!greyStatistics(QByteArray(), stats));
    QCOMPARE(stats.minimum, 1u);
    QCOMPARE(stats.mid, 4u);

    QVERIFY(greyStatistics(QByteArray::fromHex("0308"), stats));
    QCOMPARE(stats.minimum, 3u);
    QCOMPARE(stats.maximum, 8u);
    QCOMPARE(stats.average, 5u);
    QCOMPARE(stats.mid, 5u);

    // The largest camera picture, nearly white: the sum stays in range.
    QVERIFY(greyStatistics(QByteArray(320 * 240, char(254)) + char(10), stats));
    QCOMPARE(stats.minimum, 10u);
    QCOMPARE(stats.maximum, 254u);
    QCOMPARE(stats.average, 253u);
    QCOMPARE(stats.mid, 132u);
}

void TestGreyLevels::thresholdModesCutAtTheLowByte()
{
    const QByteArray pixels = QByteArray::fromHex("0A69 6ACA 2C2D");
    for (const ThresholdMode mode : { ThresholdMode::MidValue, ThresholdMode::Fixed }) {
        QCOMPARE(binarizeGrey(pixels, 6, 1, mode, 105, &invert),
                 QByteArray::fromHex("0000FFFF0000"));
        // Only the low 8 bits count: 300 cuts at 44.
        QCOMPARE(binarizeGrey(pixels, 6, 1, mode, 300, nullptr),
                 QByteArray::fromHex("00FFFFFF00FF"));
        // The picture size matters only to the algorithm.
        QCOMPARE(binarizeGrey(pixels, 4, 4, mode, 0, nullptr).size(), 6);
    }
    QCOMPARE(g_calls, 0);
}

void TestGreyLevels::customModeCallsTheAlgorithmOnlyWhenItFits()
{
    const QByteArray picture = QByteArray::fromHex("00017F80FEFF");
    QCOMPARE(binarizeGrey(picture, 3, 2, ThresholdMode::Custom, 99, &invert),
             QByteArray::fromHex("FFFE807F0100"));
    QCOMPARE(g_calls, 1);
    QCOMPARE(g_width, 3);
    QCOMPARE(g_height, 2);

    // No algorithm, or a size that does not fit the bytes: no call and no
    // output, so each tab can keep or blank its strip as it chooses.
    QVERIFY(binarizeGrey(picture, 3, 2, ThresholdMode::Custom, 99, nullptr).isEmpty());
    QVERIFY(binarizeGrey(picture, 2, 2, ThresholdMode::Custom, 99, &invert).isEmpty());
    QVERIFY(binarizeGrey(picture, 65536, 65536, ThresholdMode::Custom, 99, &invert).isEmpty());
    QByteArray out("kept");
    QVERIFY(!runAlgorithm(&invert, picture, 6, 2, out));
    QCOMPARE(out, QByteArray("kept"));
    QCOMPARE(g_calls, 1);

    // The output starts zeroed, whatever a plug-in leaves unwritten.
    QVERIFY(runAlgorithm(&writeNothing, picture, 6, 1, out));
    QCOMPARE(out, QByteArray(6, '\0'));
}

QTEST_APPLESS_MAIN(TestGreyLevels)
#include "tst_greylevels.moc"

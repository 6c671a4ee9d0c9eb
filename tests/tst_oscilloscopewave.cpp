#include "oscilloscopewave.h"
#include "testsupport.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kGreen = QColor(Qt::darkGreen).rgb();
const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kCyan = qRgb(0, 255, 255);

QImage shot(OscilloscopeWave &wave)
{
    return wave.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool contains(const QImage &image, const QRect &area, QRgb color)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) == color)
                return true;
        }
    }
    return false;
}

// A readout box as it should look: text centred in the colour, white frame.
QImage readout(const QString &text, QColor color)
{
    QImage image(45, 15, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setPen(color);
    painter.drawText(QRect(0, 0, 45, 15), Qt::AlignHCenter | Qt::AlignVCenter, text);
    painter.setPen(Qt::white);
    painter.drawRect(0, 0, 44, 14);
    return image;
}

// The staircase drawn the plain way: one stroke per column change and one
// per level change, sample by sample.
void plainStaircase(QPainter &painter, const QList<double> &data, double voltsPerDiv,
                    double samplesPerDiv, int gridWidth, int gridHeight)
{
    if (data.size() < 2)
        return;
    // Values no screen can show are held far outside it, and a value that is
    // not a number counts as 0.
    const auto level = [&](qsizetype i) {
        const double l = data[i] / (5 * voltsPerDiv) * gridHeight * 0.5;
        return std::isnan(l) ? 0 : int(std::clamp(l, -1e9, 1e9));
    };
    const auto column = [&](qsizetype i) { return int(i / (10 * samplesPerDiv) * gridWidth); };
    int previousColumn = 0;
    int previousLevel = level(0);
    for (qsizetype i = 1; i < data.size(); ++i) {
        const int x = column(i);
        const int l = level(i);
        if (x != previousColumn)
            painter.drawLine(previousColumn, -previousLevel, x, -previousLevel);
        if (l != previousLevel)
            painter.drawLine(x, -previousLevel, x, -l);
        previousColumn = x;
        previousLevel = l;
    }
}

// The empty screen drawn the plain way, straight onto an image: black, the
// readouts (texts[4] is the samples per division), then the grid and ticks.
QImage plainScreen(QSize size, const QFont &font, int current, const QStringList &texts)
{
    const int w = size.width();
    const int h = size.height();
    const int W = w - 20;
    const int H = h - 40;
    const int flags = Qt::AlignHCenter | Qt::AlignVCenter;
    const Qt::GlobalColor colors[4] = { Qt::yellow, Qt::cyan, Qt::blue, Qt::red };
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(font);
    painter.fillRect(0, 0, w, h, Qt::black);

    const int y0 = h - 20;
    for (int n = 0; n < 4; ++n) {
        const int d = 10 + 100 * n;
        if (n == current)
            painter.fillRect(d, y0, 45, 15, colors[n]);
        painter.setPen(n == current ? Qt::black : colors[n]);
        painter.drawText(QRect(d, y0, 45, 15), flags, QStringLiteral("CH%1").arg(n + 1));
        painter.setPen(colors[n]);
        painter.drawText(QRect(d + 47, y0, 45, 15), flags, texts[n]);
        painter.setPen(Qt::white);
        painter.drawRect(d + 47, y0, 44, 14);
    }
    painter.drawText(QRect(410, y0, 45, 15), flags, QStringLiteral("M"));
    painter.drawText(QRect(457, y0, 45, 15), flags, texts[4]);
    painter.drawRect(457, y0, 44, 14);

    painter.setWindow(-10, 30 - h, w, h);
    painter.setPen(Qt::darkGreen);
    for (int k = 0; k <= 10; ++k) {
        painter.drawLine((k * W) / 10, 0, (k * W) / 10, -H);
        painter.drawLine(0, (-k * H) / 10, W, (-k * H) / 10);
    }
    painter.drawText(QRect(-10, -(H / 2) - 5, 10, 10), flags, QStringLiteral("0"));
    for (int j = 1; j <= 50; ++j) {
        if (j % 5 == 0)
            continue;
        const int x = (j * W) / 50;
        const int y = -((j * H) / 50);
        painter.drawLine(x, -(H / 2) - 2, x, 2 - H / 2);
        painter.drawLine(x, -H, x, 2 - H);
        painter.drawLine(x, -2, x, 0);
        painter.drawLine(W / 2 - 2, y, W / 2 + 2, y);
        painter.drawLine(W, y, W - 2, y);
        painter.drawLine(0, y, 2, y);
    }
    return image;
}

} // namespace

// The waveform view: sample stores, scales and readouts, and what it paints.
class TestOscilloscopeWave : public QObject
{
    Q_OBJECT

private slots:
    void storesKeepOneScreen();
    void readouts();
    void grid();
    void levels_data();
    void levels();
    void offChannelAndShortStoreDrawNoTrace();
    void repaintsByItself();
    void backgroundEqualsPlainDrawing();
    void showsNewestScreenAfterFasterScale();
    void traceEqualsPlainStaircase_data();
    void traceEqualsPlainStaircase();
};

void TestOscilloscopeWave::storesKeepOneScreen()
{
    OscilloscopeWave wave(nullptr);
    QCOMPARE(wave.curCh(), 0);
    QCOMPARE(wave.curYScale(), 0.0);

    wave.setXScaleIndex(13); // 1 sample per division
    for (int i = 0; i < 12; ++i)
        wave.addData(3, i); // stored although the channel is off
    QCOMPARE(wave.samples(3).size(), 11);
    QCOMPARE(wave.samples(3).first(), 1.0);
    QCOMPARE(wave.samples(3).last(), 11.0);

    // A store filled under a slower scale keeps its length: one in, one out.
    wave.setXScaleIndex(5);
    for (int i = 0; i < 5100; ++i)
        wave.addData(0, i);
    QCOMPARE(wave.samples(0).size(), 5001);
    wave.setXScaleIndex(8);
    wave.addData(0, -1);
    QCOMPARE(wave.samples(0).size(), 5001);
    QCOMPARE(wave.samples(0).last(), -1.0);

    wave.clearData();
    for (int ch = 0; ch < 4; ++ch)
        QVERIFY(wave.samples(ch).isEmpty());
}

void TestOscilloscopeWave::readouts()
{
    OscilloscopeWave wave(nullptr);
    wave.resize(760, 410);
    wave.setCurCh(0);
    wave.setYScaleIndex(5);
    const int y0 = 410 - 20;

    QImage image = shot(wave);
    // CH1 is selected: black name in a yellow box.
    QCOMPARE(image.pixel(10, y0), kYellow);
    QCOMPARE(image.pixel(54, y0 + 14), kYellow);
    QVERIFY(contains(image, QRect(10, y0, 45, 15), kBlack));
    QCOMPARE(image.copy(57, y0, 45, 15), readout(QStringLiteral("1V"), Qt::yellow));
    QCOMPARE(image.copy(157, y0, 45, 15), readout(QStringLiteral("关"), Qt::cyan));
    QCOMPARE(image.copy(257, y0, 45, 15), readout(QStringLiteral("关"), Qt::blue));
    QCOMPARE(image.copy(357, y0, 45, 15), readout(QStringLiteral("关"), Qt::red));
    QCOMPARE(image.copy(457, y0, 45, 15), readout(QStringLiteral("500"), Qt::white));
    // Unselected names in their colours on black.
    QCOMPARE(image.pixel(110, y0), kBlack);
    QVERIFY(contains(image, QRect(110, y0, 45, 15), kCyan));
    QVERIFY(contains(image, QRect(410, y0, 45, 15), qRgb(255, 255, 255)));

    wave.setYScaleIndex(6);
    wave.setXScaleIndex(0);
    wave.setCurCh(1);
    image = shot(wave);
    QCOMPARE(image.copy(57, y0, 45, 15), readout(QStringLiteral("500mV"), Qt::yellow));
    QCOMPARE(image.copy(457, y0, 45, 15), readout(QStringLiteral("20000"), Qt::white));
    QCOMPARE(image.pixel(10, y0), kBlack);
    QCOMPARE(image.pixel(110, y0), kCyan);

    wave.setYScaleIndex(14);
    QCOMPARE(wave.curYScale(), 0.001);
    QCOMPARE(shot(wave).copy(157, y0, 45, 15), readout(QStringLiteral("1mV"), Qt::cyan));
}

void TestOscilloscopeWave::grid()
{
    // 420 x 240: a grid of 400 x 200 with its bottom-left corner at (10, 210).
    OscilloscopeWave wave(nullptr);
    wave.resize(420, 240);
    const QImage image = shot(wave);

    for (int k = 0; k <= 10; ++k) {
        QCOMPARE(image.pixel(10 + 40 * k, 60), kGreen);
        QCOMPARE(image.pixel(30, 210 - 20 * k), kGreen);
    }
    QCOMPARE(image.pixel(30, 60), kBlack);
    QCOMPARE(image.pixel(10, 9), kBlack);
    QCOMPARE(image.pixel(411, 110), kBlack);

    // Minor ticks 8 pixels apart across the centre lines and in from the edges.
    for (int y : { 108, 112, 10, 12, 208, 210 })
        QCOMPARE(image.pixel(18, y), kGreen);
    for (int y : { 107, 113, 13, 207 })
        QCOMPARE(image.pixel(18, y), kBlack);
    for (int x : { 10, 12, 208, 212, 408, 410 })
        QCOMPARE(image.pixel(x, 206), kGreen);
    for (int x : { 13, 207, 213, 407 })
        QCOMPARE(image.pixel(x, 206), kBlack);

    // The "0" left of the centre line.
    bool zeroMark = false;
    for (int y = 105; y < 115; ++y) {
        for (int x = 0; x < 10; ++x)
            zeroMark = zeroMark || qGreen(image.pixel(x, y)) > 0;
    }
    QVERIFY(zeroMark);
}

void TestOscilloscopeWave::levels_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("volts");
    QTest::addColumn<int>("row");
    // At 1 V per division the grid spans -5 V .. 5 V.
    QTest::newRow("top line") << 240 << 5.0 << 10;
    QTest::newRow("centre line") << 240 << 0.0 << 110;
    QTest::newRow("bottom line") << 240 << -5.0 << 210;
    QTest::newRow("one division up") << 240 << 1.0 << 90;
    QTest::newRow("odd height, top line") << 241 << 5.0 << 10;
    QTest::newRow("odd height, above centre") << 241 << 0.0 << 110;
    QTest::newRow("odd height, above bottom") << 241 << -5.0 << 210;
}

void TestOscilloscopeWave::levels()
{
    QFETCH(int, height);
    QFETCH(double, volts);
    QFETCH(int, row);
    OscilloscopeWave wave(nullptr);
    wave.resize(420, height);
    wave.setCurCh(0);
    wave.setYScaleIndex(5);
    wave.setXScaleIndex(13); // sample i at column 40 i
    for (int i = 0; i < 3; ++i)
        wave.addData(0, volts);

    const QImage image = shot(wave);
    for (int x : { 10, 30, 50, 89 })
        QCOMPARE(image.pixel(x, row), kYellow);
    QVERIFY(image.pixel(91, row) != kYellow);
    QVERIFY(image.pixel(30, row - 1) != kYellow);
    QVERIFY(image.pixel(30, row + 1) != kYellow);
}

void TestOscilloscopeWave::offChannelAndShortStoreDrawNoTrace()
{
    OscilloscopeWave wave(nullptr);
    wave.resize(420, 240);
    wave.setCurCh(0);
    wave.setYScaleIndex(5);
    wave.setXScaleIndex(13);
    wave.addData(0, 1.0);
    for (int i = 0; i < 11; ++i)
        wave.addData(1, i % 2);
    const QRect screen(0, 0, 420, 215); // everything above the readouts

    QImage image = shot(wave);
    QVERIFY(!contains(image, screen, kYellow));
    QVERIFY(!contains(image, screen, kCyan));

    // Switching the channel on draws its whole store.
    wave.setCurCh(1);
    wave.setYScaleIndex(5);
    image = shot(wave);
    QCOMPARE(image.pixel(30, 110), kCyan);
    QCOMPARE(image.pixel(70, 90), kCyan);
    QCOMPARE(image.pixel(50, 100), kCyan);

    wave.setYScaleIndex(0);
    QVERIFY(!contains(shot(wave), screen, kCyan));
}

void TestOscilloscopeWave::repaintsByItself()
{
    PaintCounter counter;
    OscilloscopeWave wave(nullptr);
    wave.installEventFilter(&counter);
    wave.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wave));
    const int start = counter.count;
    QTRY_VERIFY_WITH_TIMEOUT(counter.count >= start + 3, 10000);
    QCOMPARE(wave.cursor().shape(), Qt::CrossCursor);
}

void TestOscilloscopeWave::backgroundEqualsPlainDrawing()
{
    // The screen keeps its background between paints; whatever changed last,
    // the picture must be the one drawn from scratch.
    OscilloscopeWave wave(nullptr);
    QStringList texts { QStringLiteral("关"), QStringLiteral("关"), QStringLiteral("关"),
                        QStringLiteral("关"), QStringLiteral("500") };
    const auto check = [&](const char *step) {
        QVERIFY2(shot(wave) == plainScreen(wave.size(), wave.font(), wave.curCh(), texts), step);
    };

    // Odd sizes, and sizes so small that the grid runs into the readouts.
    for (const QSize size : { QSize(760, 410), QSize(420, 240), QSize(761, 411), QSize(1500, 700),
                              QSize(300, 100), QSize(120, 30), QSize(40, 12) }) {
        wave.resize(size);
        check(qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
        check("painted again at the same size");
    }

    wave.resize(760, 410);
    check("back to 760 x 410");
    wave.setYScaleIndex(6);
    texts[0] = QStringLiteral("500mV");
    check("vertical scale");
    wave.setCurCh(2);
    check("current channel");
    wave.setYScaleIndex(14);
    texts[2] = QStringLiteral("1mV");
    check("vertical scale of another channel");
    wave.setXScaleIndex(0);
    texts[4] = QStringLiteral("20000");
    check("horizontal scale");
    QFont font = wave.font();
    font.setPointSize(font.pointSize() + 5);
    wave.setFont(font);
    check("font");
}

void TestOscilloscopeWave::showsNewestScreenAfterFasterScale()
{
    // 420 x 240: sample i at column 10 + 40 i at 1 sample per division, and
    // at 1 V per division 3 V on row 50, -1 V on row 130, -4 V on row 190.
    OscilloscopeWave wave(nullptr);
    wave.resize(420, 240);
    wave.setCurCh(0);
    wave.setYScaleIndex(5);
    for (int i = 0; i < 4990; ++i)
        wave.addData(0, -4.0);
    for (int i = 0; i < 11; ++i)
        wave.addData(0, 3.0);
    QCOMPARE(wave.samples(0).size(), 5001);

    // From 500 to 1 sample per division: the store keeps its length, but the
    // screen shows the newest 11 samples, not the oldest.
    wave.setXScaleIndex(13);
    QCOMPARE(wave.samples(0).size(), 5001);
    QImage image = shot(wave);
    for (int x : { 10, 200, 409, 410 })
        QCOMPARE(image.pixel(x, 50), kYellow);
    QVERIFY(!contains(image, QRect(0, 150, 420, 65), kYellow));

    // New samples keep arriving at the right edge.
    for (int i = 0; i < 3; ++i)
        wave.addData(0, -1.0);
    QCOMPARE(wave.samples(0).size(), 5001);
    image = shot(wave);
    QCOMPARE(image.pixel(410, 130), kYellow);
    QCOMPARE(image.pixel(329, 50), kYellow);

    // The same picture as a screen that only ever held those samples.
    OscilloscopeWave fresh(nullptr);
    fresh.resize(420, 240);
    fresh.setCurCh(0);
    fresh.setYScaleIndex(5);
    fresh.setXScaleIndex(13);
    for (double value : wave.samples(0).mid(5001 - 11))
        fresh.addData(0, value);
    QCOMPARE(image, shot(fresh));

    // A screen as long as the store or longer shows all of it, as before.
    wave.setXScaleIndex(5);
    image = shot(wave);
    QCOMPARE(image.pixel(10, 190), kYellow);
    QCOMPARE(image.pixel(400, 190), kYellow);
}

void TestOscilloscopeWave::traceEqualsPlainStaircase_data()
{
    QTest::addColumn<QList<double>>("data");
    QTest::addColumn<double>("voltsPerDiv");
    QTest::addColumn<double>("samplesPerDiv");
    QTest::addColumn<int>("height");

    QRandomGenerator random(7);
    QList<double> smooth, noise, wild, steps;
    for (int i = 0; i < 200001; ++i) {
        smooth << 4 * std::sin(i / 9000.0) + 0.3 * std::sin(i / 700.0);
        noise << random.bounded(10.0) - 5;
    }
    for (int i = 0; i < 3000; ++i)
        wild << (random.bounded(4) ? random.bounded(2.0) - 1 : random.bounded(400.0) - 200);
    for (int i = 0; i < 60; ++i)
        steps << (i / 3) % 4 - 1.5;

    QTest::newRow("smooth, full store") << smooth << 1.0 << 20000.0 << 410;
    QTest::newRow("noise, full store") << noise << 1.0 << 20000.0 << 410;
    QTest::newRow("noise, odd height") << noise.mid(0, 20001) << 0.5 << 2000.0 << 411;
    QTest::newRow("noise past the right edge") << noise << 2.0 << 1.0 << 410;
    QTest::newRow("levels far outside the grid") << wild << 0.005 << 200.0 << 410;
    QTest::newRow("wide steps") << steps << 1.0 << 5.0 << 410;
    QTest::newRow("running past the edge") << steps << 0.5 << 2.0 << 410;
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const QList<double> odd { 1, nan, 2, -inf, 0.5, nan, nan, inf, -1, 3, nan, 2 };
    QTest::newRow("not a number, infinities") << odd << 1.0 << 1.0 << 410;
    QTest::newRow("the same, in one column") << odd << 1.0 << 500.0 << 410;
    QTest::newRow("two samples") << QList<double> { 1.0, -2.0 } << 1.0 << 1.0 << 410;
}

void TestOscilloscopeWave::traceEqualsPlainStaircase()
{
    QFETCH(QList<double>, data);
    QFETCH(double, voltsPerDiv);
    QFETCH(double, samplesPerDiv);
    QFETCH(int, height);
    const int width = 760;
    const int gridWidth = width - 20;
    const int gridHeight = height - 40;

    QImage expected(width, height, QImage::Format_RGB32);
    expected.fill(Qt::black);
    QImage actual = expected;
    for (QImage *image : { &expected, &actual }) {
        QPainter painter(image);
        painter.setWindow(-10, -(gridHeight / 2) - 10, width, height);
        painter.setPen(Qt::yellow);
        if (image == &expected)
            plainStaircase(painter, data, voltsPerDiv, samplesPerDiv, gridWidth, gridHeight);
        else
            OscilloscopeWave::drawWave(painter, data.constData(), data.size(), voltsPerDiv,
                                       samplesPerDiv, gridWidth, gridHeight, width - 10);
    }
    QVERIFY(contains(expected, expected.rect(), kYellow));
    QCOMPARE(actual, expected);
}

QTEST_MAIN(TestOscilloscopeWave)
#include "tst_oscilloscopewave.moc"

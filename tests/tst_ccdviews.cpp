#include "greyview.h"
#include "testsupport.h"
#include "waveview.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kGrid = qRgb(0, 128, 0);
const QRgb kCurve = qRgb(255, 255, 0);
const QRgb kThreshold = qRgb(0, 255, 255);

QImage render(QWidget &view, int width, int height)
{
    view.resize(width, height);
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    view.render(&image);
    return image;
}

QByteArray ramp(int step)
{
    QByteArray line(128, '\0');
    for (int i = 0; i < 128; ++i)
        line[i] = char(i * step);
    return line;
}

bool hasNonBlackPixel(const QImage &image, const QRect &rect)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (image.pixel(x, y) != kBlack)
                return true;
    return false;
}

// The plot drawn the plain way, everything at every paint and the curve as
// one segment at a time, to compare with what the view draws.
QImage plainPlot(QSize size, const QFont &font, const QByteArray &d, int t)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setWindow(0, 0, 540, 280);
    painter.fillRect(0, 0, 540, 280, QColor(0, 0, 0));
    painter.setPen(QPen(Qt::darkGreen, 0));
    const int right = Qt::AlignRight | Qt::TextDontClip;
    const int centre = Qt::AlignHCenter | Qt::TextDontClip;
    for (int v = 50; v <= 200; v += 50) {
        painter.drawLine(18, 265 - v, 530, 265 - v);
        painter.drawText(QRect(1, 260 - v, 18, 11), right, QString::number(v));
    }
    for (int n = 10; n <= 120; n += 10) {
        painter.drawLine(18 + 4 * n, 265, 18 + 4 * n, 10);
        painter.drawText(QRect(18 + 4 * n - 9, 265, 19, 11), centre, QString::number(n));
    }
    painter.drawLine(18, 265, 530, 265);
    painter.drawText(QRect(-4, 265, 20, 11), right, QStringLiteral("0"));
    painter.drawLine(18, 10, 530, 10);
    painter.drawText(QRect(1, 5, 18, 11), right, QStringLiteral("255"));
    painter.drawLine(18, 265, 18, 10);
    painter.drawLine(530, 265, 530, 10);
    painter.drawText(QRect(522, 265, 19, 11), centre, QStringLiteral("128"));
    painter.setPen(QPen(Qt::yellow, 0));
    auto y = [&](int i) { return 265 - quint8(d.at(i)); };
    for (int i = 0; i < 127; ++i) {
        painter.drawLine(18 + 4 * i, y(i), 22 + 4 * i, y(i));
        painter.drawLine(22 + 4 * i, y(i), 22 + 4 * i, y(i + 1));
    }
    painter.drawLine(18 + 4 * 127, y(127), 18 + 4 * 128, y(127));
    painter.setPen(QPen(Qt::cyan, 0));
    painter.drawLine(18, 265 - t, 18 + 4 * 128, 265 - t);
    return image;
}

QPoint mouseAt(WaveView &view, int x, int y)
{
    QSignalSpy spy(&view, &WaveView::mouseMove);
    QMouseEvent event(QEvent::MouseMove, QPointF(x, y), view.mapToGlobal(QPointF(x, y)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &event);
    return spy.size() == 1 ? spy.at(0).at(0).toPoint() : QPoint(9999, 9999);
}

} // namespace

class TestCcdViews : public QObject
{
    Q_OBJECT

private slots:
    void waveStartsFlatWithGrid();
    void waveDrawsStaircaseAndThreshold();
    void waveStretchesWithTheWidget();
    void waveMatchesPlainDrawing();
    void waveIgnoresWrongSizes_data();
    void waveIgnoresWrongSizes();
    void waveKeepsLowBitsOfThreshold();
    void waveMouseMapping_data();
    void waveMouseMapping();
    void greyPaintsColumns();
    void greyIgnoresWrongSizes();
    void viewsRepaintAtOnce();
};

void TestCcdViews::waveStartsFlatWithGrid()
{
    WaveView view(nullptr);
    QCOMPARE(view.data(), QByteArray(128, '\0'));
    QCOMPARE(view.threshold(), quint8(0));
    QVERIFY(view.hasMouseTracking());
    QCOMPARE(view.cursor().shape(), Qt::CrossCursor);

    const QImage image = render(view, 540, 280);
    QCOMPARE(image.pixel(300, 100), kBlack);
    QCOMPARE(image.pixel(5, 100), kBlack);
    for (int y : { 215, 165, 115, 65, 10 })
        QCOMPARE(image.pixel(300, y), kGrid);
    for (int x : { 18, 58, 98, 498, 530 })
        QCOMPARE(image.pixel(x, 100), kGrid);
    QCOMPARE(image.pixel(538, 100), kBlack); // nothing right of the plot
    // The flat line lies on the bottom axis, the threshold line drawn over it.
    QCOMPARE(image.pixel(300, 265), kThreshold);
    QCOMPARE(image.pixel(300, 264), kBlack);
    // Numbers beside the 50 line, below the 60 line and the 0, 255 and 128 marks.
    QVERIFY(hasNonBlackPixel(image, QRect(1, 210, 17, 11)));
    QVERIFY(hasNonBlackPixel(image, QRect(249, 266, 19, 11)));
    QVERIFY(hasNonBlackPixel(image, QRect(0, 266, 16, 11)));
    QVERIFY(hasNonBlackPixel(image, QRect(1, 5, 17, 5)));
    QVERIFY(hasNonBlackPixel(image, QRect(522, 266, 18, 11)));
}

void TestCcdViews::waveDrawsStaircaseAndThreshold()
{
    WaveView view(nullptr);
    view.setData(QByteArray(128, char(255)), 100);
    QImage image = render(view, 540, 280);
    QCOMPARE(image.pixel(300, 10), kCurve);
    QCOMPARE(image.pixel(300, 165), kThreshold);
    QCOMPARE(image.pixel(300, 265), kGrid);
    QCOMPARE(image.pixel(18, 165), kThreshold);
    QCOMPARE(image.pixel(530, 165), kThreshold);

    // Pixel i is a step from x = 18 + 4i to 22 + 4i at y = 265 - 2i, joined to
    // the next step by a riser at x = 22 + 4i.
    view.setData(ramp(2), 255);
    image = render(view, 540, 280);
    for (int i : { 0, 1, 40, 77, 126 }) {
        QCOMPARE(image.pixel(20 + 4 * i, 265 - 2 * i), kCurve);
        QCOMPARE(image.pixel(22 + 4 * i, 264 - 2 * i), kCurve);
        QCOMPARE(image.pixel(20 + 4 * i, 263 - 2 * i), kBlack);
    }
    QCOMPARE(image.pixel(528, 265 - 254), kCurve);
    QCOMPARE(image.pixel(532, 265 - 254), kBlack);
}

void TestCcdViews::waveStretchesWithTheWidget()
{
    WaveView view(nullptr);
    view.setData(QByteArray(128, char(255)), 50);
    const QImage small = render(view, 540, 280);
    const QImage image = render(view, 1080, 560);
    auto isOnRows = [&](int x, int y, QRgb colour) {
        return image.pixel(x, y) == colour || image.pixel(x, y + 1) == colour;
    };
    QVERIFY(isOnRows(600, 20, kCurve));
    QVERIFY(isOnRows(600, 2 * 215, kThreshold));
    QVERIFY(isOnRows(600, 2 * 165, kGrid));
    QCOMPARE(image.pixel(600, 2 * 190), kBlack);

    // Back at the first size the drawing is the same as before.
    QCOMPARE(render(view, 540, 280), small);

    // The numbers follow the widget's font.
    QFont large = view.font();
    large.setPixelSize(30);
    view.setFont(large);
    QVERIFY(render(view, 540, 280) != small);
}

void TestCcdViews::waveMatchesPlainDrawing()
{
    QByteArray line(128, '\0');
    for (int i = 0; i < 128; ++i)
        line[i] = char((i * 37) % 250);
    WaveView view(nullptr);
    view.setData(line, 77);
    for (const QSize size : { QSize(540, 280), QSize(537, 270), QSize(803, 411) })
        QCOMPARE(render(view, size.width(), size.height()), plainPlot(size, view.font(), line, 77));
}

void TestCcdViews::waveIgnoresWrongSizes_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("127") << 127;
    QTest::newRow("129") << 129;
    QTest::newRow("empty") << 0;
}

void TestCcdViews::waveIgnoresWrongSizes()
{
    QFETCH(int, size);
    WaveView view(nullptr);
    view.setData(ramp(1), 30);
    const QImage before = render(view, 540, 280);
    view.setData(QByteArray(size, char(200)), 77);
    QCOMPARE(view.data(), ramp(1));
    QCOMPARE(view.threshold(), quint8(30));
    QCOMPARE(render(view, 540, 280), before);
}

void TestCcdViews::waveKeepsLowBitsOfThreshold()
{
    WaveView view(nullptr);
    view.setData(QByteArray(128, '\0'), 300);
    QCOMPARE(view.threshold(), quint8(44));
    QCOMPARE(render(view, 540, 280).pixel(300, 265 - 44), kThreshold);
    view.setData(QByteArray(128, '\0'), -1);
    QCOMPARE(view.threshold(), quint8(255));
}

void TestCcdViews::waveMouseMapping_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("mouse");
    QTest::addColumn<QPoint>("reported");
    const QSize small(540, 280);
    const QSize large(1080, 560);
    QTest::newRow("origin") << small << QPoint(18, 265) << QPoint(0, 0);
    QTest::newRow("last pixel, top") << small << QPoint(529, 10) << QPoint(127, 255);
    QTest::newRow("right edge") << small << QPoint(530, 10) << QPoint(128, 255);
    QTest::newRow("outside") << small << QPoint(10, 300) << QPoint(-2, -35);
    QTest::newRow("rounds toward zero") << small << QPoint(15, 0) << QPoint(0, 265);
    QTest::newRow("left of pixel 0") << small << QPoint(14, 280) << QPoint(-1, -15);
    QTest::newRow("double size origin") << large << QPoint(36, 530) << QPoint(0, 0);
    QTest::newRow("double size odd pixel") << large << QPoint(1059, 21) << QPoint(127, 255);
    QTest::newRow("double size middle") << large << QPoint(560, 300) << QPoint(65, 115);
}

void TestCcdViews::waveMouseMapping()
{
    QFETCH(QSize, size);
    QFETCH(QPoint, mouse);
    QFETCH(QPoint, reported);
    WaveView view(nullptr);
    view.resize(size);
    view.setData(ramp(1), 10);
    QCOMPARE(mouseAt(view, mouse.x(), mouse.y()), reported);
}

void TestCcdViews::greyPaintsColumns()
{
    GreyView view(nullptr);
    QCOMPARE(view.data(), QByteArray(128, '\0'));
    QImage image = render(view, 128, 30);
    for (int x = 0; x < 128; x += 9)
        QCOMPARE(image.pixel(x, 15), kBlack);

    view.setData(ramp(2));
    image = render(view, 128, 30);
    for (int x = 0; x < 128; ++x) {
        QCOMPARE(image.pixel(x, 0), qRgb(2 * x, 2 * x, 2 * x));
        QCOMPARE(image.pixel(x, 29), qRgb(2 * x, 2 * x, 2 * x));
    }

    image = render(view, 256, 60);
    for (int x = 0; x < 128; x += 7) {
        QCOMPARE(image.pixel(2 * x, 30), qRgb(2 * x, 2 * x, 2 * x));
        QCOMPARE(image.pixel(2 * x + 1, 59), qRgb(2 * x, 2 * x, 2 * x));
    }
}

void TestCcdViews::greyIgnoresWrongSizes()
{
    GreyView view(nullptr);
    view.setData(ramp(1));
    view.setData(QByteArray(127, char(255)));
    view.setData(QByteArray(129, char(255)));
    QCOMPARE(view.data(), ramp(1));
    QCOMPARE(render(view, 128, 30).pixel(100, 10), qRgb(100, 100, 100));
}

void TestCcdViews::viewsRepaintAtOnce()
{
    QWidget window;
    WaveView wave(&window);
    GreyView grey(&window);
    wave.setGeometry(0, 0, 540, 280);
    grey.setGeometry(0, 290, 128, 30);
    window.resize(540, 330);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();

    PaintCounter waveCounter;
    PaintCounter greyCounter;
    wave.installEventFilter(&waveCounter);
    grey.installEventFilter(&greyCounter);
    wave.setData(ramp(1), 5);
    grey.setData(ramp(1));
    QCOMPARE(waveCounter.count, 1);
    QCOMPARE(greyCounter.count, 1);

    // Mouse moves report positions but do not repaint.
    mouseAt(wave, 100, 100);
    QCoreApplication::processEvents();
    QCOMPARE(waveCounter.count, 1);
}

QTEST_MAIN(TestCcdViews)
#include "tst_ccdviews.moc"

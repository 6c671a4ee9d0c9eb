#include "picview.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

// A mouse move at a widget position, with the left button held when dragging.
void moveMouse(PicView &view, QPointF pos, bool dragging = false)
{
    const Qt::MouseButtons buttons = dragging ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(QEvent::MouseMove, pos, view.mapToGlobal(pos), Qt::NoButton, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &event);
}

QByteArray ramp(int count, int step = 1)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes.append(char((i * step) % 255));
    return bytes;
}

} // namespace

class TestPicView : public QObject
{
    Q_OBJECT

private slots:
    void startsWithoutPicture();
    void blankPictureHasGreyPalette();
    void rejectsEmptySizes();
    void fillsRowsTopToBottom();
    void refusesDataOfWrongSize();
    void sizeLimitsFollowZoom();
    void paintsUnzoomedAtOwnSize();
    void paintsZoomedAsPixelBlocks();
    void paintsAsTheIndexedPicture_data();
    void paintsAsTheIndexedPicture();
    void mapsMouseUnzoomed();
    void mapsMouseZoomed();
};

void TestPicView::startsWithoutPicture()
{
    PicView view;
    QVERIFY(!view.image());
    QVERIFY(view.hasMouseTracking());
    QCOMPARE(view.cursor().shape(), Qt::CrossCursor);
    QVERIFY(!view.setData(QByteArray(1, '\0')));

    QSignalSpy spy(&view, &PicView::cursorValue);
    moveMouse(view, QPointF(0, 0));
    QCOMPARE(spy.count(), 0);
}

void TestPicView::blankPictureHasGreyPalette()
{
    PicView view;
    QVERIFY(view.setPictureSize(7, 3));
    const QImage *image = view.image();
    QVERIFY(image);
    QCOMPARE(image->format(), QImage::Format_Indexed8);
    QCOMPARE(image->size(), QSize(7, 3));
    QCOMPARE(image->colorCount(), 256);
    for (int i = 0; i < 256; ++i)
        QCOMPARE(image->color(i), qRgba(i, i, i, 255));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 7; ++x)
            QCOMPARE(image->pixelIndex(x, y), 60);
    }

    // A new size discards what the old picture showed.
    QVERIFY(view.setData(ramp(21)));
    QVERIFY(view.setPictureSize(2, 2));
    QCOMPARE(view.image()->size(), QSize(2, 2));
    QCOMPARE(view.image()->pixelIndex(1, 1), 60);
}

void TestPicView::rejectsEmptySizes()
{
    PicView view;
    QVERIFY(view.setPictureSize(3, 2));
    QVERIFY(view.setData(QByteArray::fromHex("001020304050")));
    const QImage *before = view.image();

    QVERIFY(!view.setPictureSize(0, 5));
    QVERIFY(!view.setPictureSize(5, 0));
    QVERIFY(!view.setPictureSize(-1, -1));
    QCOMPARE(view.image(), before);
    QCOMPARE(view.image()->pixelIndex(2, 1), 0x50);
    QCOMPARE(view.minimumSize(), QSize(3, 2));
    QCOMPARE(view.maximumSize(), QSize(3, 2));

    // A picture too large to allocate is refused the same way.
    QVERIFY(!view.setPictureSize(1 << 30, 1 << 30));
    QCOMPARE(view.image(), before);
}

void TestPicView::fillsRowsTopToBottom()
{
    PicView view;
    QVERIFY(view.setPictureSize(3, 2));
    QVERIFY(view.setData(QByteArray::fromHex("001020304050")));
    const QImage *image = view.image();
    QCOMPARE(image->pixelIndex(0, 0), 0x00);
    QCOMPARE(image->pixelIndex(1, 0), 0x10);
    QCOMPARE(image->pixelIndex(2, 0), 0x20);
    QCOMPARE(image->pixelIndex(0, 1), 0x30);
    QCOMPARE(image->pixelIndex(1, 1), 0x40);
    QCOMPARE(image->pixelIndex(2, 1), 0x50);

    // An odd width leaves padding at the end of every scan line; rows must
    // still line up.
    QVERIFY(view.setPictureSize(5, 3));
    const QByteArray bytes = ramp(15, 17);
    QVERIFY(view.setData(bytes));
    for (int i = 0; i < 15; ++i)
        QCOMPARE(view.image()->pixelIndex(i % 5, i / 5), int(uchar(bytes[i])));
}

void TestPicView::refusesDataOfWrongSize()
{
    PicView view;
    QVERIFY(view.setPictureSize(3, 2));
    QVERIFY(view.setData(QByteArray::fromHex("001020304050")));
    QVERIFY(!view.setData(QByteArray::fromHex("0102030405")));
    QVERIFY(!view.setData(QByteArray::fromHex("01020304050607")));
    QVERIFY(!view.setData(QByteArray()));
    QCOMPARE(view.image()->pixelIndex(0, 0), 0x00);
    QCOMPARE(view.image()->pixelIndex(2, 1), 0x50);
}

void TestPicView::sizeLimitsFollowZoom()
{
    PicView view;
    QVERIFY(view.setPictureSize(120, 40));
    QCOMPARE(view.minimumSize(), QSize(120, 40));
    QCOMPARE(view.maximumSize(), QSize(120, 40));
    view.resize(500, 500);
    QCOMPARE(view.size(), QSize(120, 40));

    view.setAutoZoom(true);
    QCOMPARE(view.minimumSize(), QSize(320, 240));
    QCOMPARE(view.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    view.resize(10, 10);
    QCOMPARE(view.size(), QSize(320, 240));
    view.resize(1000, 700);
    QCOMPARE(view.size(), QSize(1000, 700));

    // A new picture keeps the zoomed limits; turning zoom off fits the widget
    // to the picture, keeping its content.
    QVERIFY(view.setPictureSize(5, 3));
    QCOMPARE(view.minimumSize(), QSize(320, 240));
    QVERIFY(view.setData(ramp(15)));
    view.setAutoZoom(false);
    QCOMPARE(view.minimumSize(), QSize(5, 3));
    QCOMPARE(view.maximumSize(), QSize(5, 3));
    QCOMPARE(view.size(), QSize(5, 3));
    QCOMPARE(view.image()->pixelIndex(4, 2), 14);
}

void TestPicView::paintsUnzoomedAtOwnSize()
{
    PicView view;
    QVERIFY(view.setPictureSize(3, 2));
    QVERIFY(view.setData(QByteArray::fromHex("001020304050")));
    const QImage shot = view.grab().toImage();
    QCOMPARE(shot.size(), QSize(3, 2));
    QCOMPARE(qGray(shot.pixel(0, 0)), 0x00);
    QCOMPARE(qGray(shot.pixel(2, 0)), 0x20);
    QCOMPARE(qGray(shot.pixel(1, 1)), 0x40);
}

void TestPicView::paintsZoomedAsPixelBlocks()
{
    PicView view;
    QVERIFY(view.setPictureSize(4, 3));
    QVERIFY(view.setData(QByteArray::fromHex("00ff00ff"
                                             "ff00ff00"
                                             "0080ff40")));
    view.setAutoZoom(true);
    view.resize(320, 240);
    const QImage shot = view.grab().toImage();
    QCOMPARE(shot.size(), QSize(320, 240));
    // Each picture pixel is an 80 x 80 block with hard edges: no smoothing
    // blends neighbours at the borders.
    QCOMPARE(qGray(shot.pixel(0, 0)), 0x00);
    QCOMPARE(qGray(shot.pixel(79, 79)), 0x00);
    QCOMPARE(qGray(shot.pixel(80, 0)), 0xFF);
    QCOMPARE(qGray(shot.pixel(80, 79)), 0xFF);
    QCOMPARE(qGray(shot.pixel(79, 80)), 0xFF);
    QCOMPARE(qGray(shot.pixel(80, 80)), 0x00);
    QCOMPARE(qGray(shot.pixel(80, 160)), 0x80);
    QCOMPARE(qGray(shot.pixel(319, 239)), 0x40);

    // The aspect ratio is not kept: the picture fills a wide widget.
    view.resize(640, 240);
    const QImage wide = view.grab().toImage();
    QCOMPARE(qGray(wide.pixel(159, 0)), 0x00);
    QCOMPARE(qGray(wide.pixel(160, 0)), 0xFF);
    QCOMPARE(qGray(wide.pixel(639, 239)), 0x40);
}

void TestPicView::paintsAsTheIndexedPicture_data()
{
    QTest::addColumn<bool>("zoom");
    QTest::addColumn<QSize>("viewSize");
    QTest::newRow("own size") << false << QSize(188, 120);
    QTest::newRow("stretched unevenly") << true << QSize(333, 257);
}

// The view paints from 32-bit pixels made when the picture changes; what it
// shows is exactly the indexed picture drawn as it is, after new data and
// after a new size.
void TestPicView::paintsAsTheIndexedPicture()
{
    QFETCH(bool, zoom);
    QFETCH(QSize, viewSize);
    PicView view;
    QVERIFY(view.setPictureSize(188, 120));
    QVERIFY(view.setData(ramp(188 * 120, 7)));
    view.setAutoZoom(zoom);
    view.resize(viewSize);
    for (int round = 0; round < 2; ++round) {
        QImage expected(viewSize, QImage::Format_RGB32);
        QPainter painter(&expected);
        painter.drawImage(QRect(QPoint(0, 0), viewSize), *view.image(), view.image()->rect());
        painter.end();
        QCOMPARE(view.grab().toImage().convertToFormat(QImage::Format_RGB32), expected);
        // A new size shows the blank picture, not the old one.
        QVERIFY(view.setPictureSize(188, 120));
        view.resize(viewSize);
    }
}

void TestPicView::mapsMouseUnzoomed()
{
    PicView view;
    QVERIFY(view.setPictureSize(120, 40));
    QByteArray bytes(120 * 40, '\0');
    bytes[39 * 120 + 119] = char(77);
    bytes[1 * 120 + 3] = char(9);
    QVERIFY(view.setData(bytes));
    QCOMPARE(view.size(), QSize(120, 40));

    QSignalSpy spy(&view, &PicView::cursorValue);
    moveMouse(view, QPointF(119, 39));
    moveMouse(view, QPointF(3, 1));
    moveMouse(view, QPointF(0, 0));
    QCOMPARE(spy.count(), 3);
    QCOMPARE(spy.at(0), (QList<QVariant> { 119, 39, 77 }));
    QCOMPARE(spy.at(1), (QList<QVariant> { 3, 1, 9 }));
    QCOMPARE(spy.at(2), (QList<QVariant> { 0, 0, 0 }));

    // Dragged off the picture: right, below, left, above.
    spy.clear();
    moveMouse(view, QPointF(120, 5), true);
    moveMouse(view, QPointF(5, 40), true);
    moveMouse(view, QPointF(-1, 5), true);
    moveMouse(view, QPointF(5, -1), true);
    QCOMPARE(spy.count(), 0);
}

void TestPicView::mapsMouseZoomed()
{
    PicView view;
    QVERIFY(view.setPictureSize(120, 40));
    QByteArray bytes(120 * 40, '\0');
    bytes[39 * 120 + 119] = char(200);
    bytes[1 * 120 + 1] = char(11);
    QVERIFY(view.setData(bytes));
    view.setAutoZoom(true);
    // The layout decides the size of a zoomed view; here it is set directly,
    // below the zoomed minimum height, to get four screen pixels per picture pixel.
    view.setFixedSize(480, 160);

    QSignalSpy spy(&view, &PicView::cursorValue);
    moveMouse(view, QPointF(479, 159));
    moveMouse(view, QPointF(4, 4));
    moveMouse(view, QPointF(3, 3));
    // Just left of and above the widget while dragging: truncated toward zero.
    moveMouse(view, QPointF(-1, 10), true);
    moveMouse(view, QPointF(10, -3), true);
    QCOMPARE(spy.count(), 5);
    QCOMPARE(spy.at(0), (QList<QVariant> { 119, 39, 200 }));
    QCOMPARE(spy.at(1), (QList<QVariant> { 1, 1, 11 }));
    QCOMPARE(spy.at(2), (QList<QVariant> { 0, 0, 0 }));
    QCOMPARE(spy.at(3), (QList<QVariant> { 0, 2, 0 }));
    QCOMPARE(spy.at(4), (QList<QVariant> { 2, 0, 0 }));

    // Far enough outside, the mapped pixel leaves the picture.
    spy.clear();
    moveMouse(view, QPointF(480, 10), true);
    moveMouse(view, QPointF(10, 160), true);
    moveMouse(view, QPointF(-4, 10), true);
    QCOMPARE(spy.count(), 0);

    // A size that does not divide evenly: 7 columns over 320 screen pixels.
    QVERIFY(view.setPictureSize(7, 3));
    view.setFixedSize(320, 240);
    moveMouse(view, QPointF(319, 239));
    moveMouse(view, QPointF(45, 79));
    moveMouse(view, QPointF(46, 80));
    QCOMPARE(spy.count(), 3);
    QCOMPARE(spy.at(0), (QList<QVariant> { 6, 2, 60 }));
    QCOMPARE(spy.at(1), (QList<QVariant> { 0, 0, 60 }));
    QCOMPARE(spy.at(2), (QList<QVariant> { 1, 1, 60 }));
}

QTEST_MAIN(TestPicView)
#include "tst_picview.moc"

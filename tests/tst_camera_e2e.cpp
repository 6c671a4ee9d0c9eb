#include "ccd.h"
#include "mainwindow.h"
#include "picview.h"
#include "testsupport.h"

#include <QBuffer>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QtEndian>

namespace {

QByteArray pixels(const PicView *view)
{
    QByteArray bytes;
    const QImage *image = view->image();
    for (int y = 0; y < image->height(); ++y) {
        for (int x = 0; x < image->width(); ++x)
            bytes.append(char(image->pixelIndex(x, y)));
    }
    return bytes;
}

// A bright disc on a dark gradient, grey levels 0..254.
QByteArray testPicture(int width, int height)
{
    QByteArray bytes;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int dx = x - width / 2;
            const int dy = (y - height / 2) * 3;
            const bool inside = dx * dx + dy * dy < (height * height);
            bytes.append(char(inside ? 200 + (x % 50) : (x + y) % 90));
        }
    }
    return bytes;
}

} // namespace

class TestCameraE2E : public QObject
{
    Q_OBJECT

private slots:
    void pictureArrivesOverSerialPort();
    void proposedSizeAppliesOverAnOpenPort();
    void headerPicturesOverSerialPort();
};

namespace {

// The window on the camera tab with its port open on one end of a pair, the
// test writing as the board on the other.
struct CameraRig
{
    VirtualSerialPair pair;
    DialogDriver driver;
    MainWindow window;
    CCD *ccd = nullptr;
    QSerialPort board;

    bool open()
    {
        if (!pair.start())
            return false;
        window.show();
        auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
        ccd = qobject_cast<CCD *>(tabs->widget(3));
        tabs->setCurrentIndex(3);
        window.findChild<QComboBox *>(QStringLiteral("comList"))->setEditText(pair.first());
        openButton()->click();
        board.setPortName(pair.second());
        return window.findChild<QSerialPort *>() && board.open(QIODevice::WriteOnly);
    }
    QPushButton *openButton()
    {
        return window.findChild<QPushButton *>(QStringLiteral("openPort"));
    }
    PicView *picView() const
    {
        return ccd->findChild<QGroupBox *>(QStringLiteral("groupBoxPic"))->findChild<PicView *>();
    }
    bool send(const QByteArray &bytes)
    {
        // The window reads in this same process: the event loop must run.
        board.write(bytes);
        return QTest::qWaitFor([this] { return board.bytesToWrite() == 0; }, 10000);
    }
};

} // namespace

void TestCameraE2E::pictureArrivesOverSerialPort()
{
    SKIP_WITHOUT_SOCAT();
    VirtualSerialPair pair;
    QVERIFY2(pair.start(), "socat did not make a port pair");
    DialogDriver driver;

    MainWindow window;
    window.show();
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    auto *ccd = qobject_cast<CCD *>(tabs->widget(3));
    QVERIFY(ccd);
    auto *width = ccd->findChild<QSpinBox *>(QStringLiteral("spinBoxWidth"));
    auto *height = ccd->findChild<QSpinBox *>(QStringLiteral("spinBoxHeight"));
    PicView *picView
            = ccd->findChild<QGroupBox *>(QStringLiteral("groupBoxPic"))->findChild<PicView *>();
    PicView *binView
            = ccd->findChild<QGroupBox *>(QStringLiteral("groupBoxBinPic"))->findChild<PicView *>();
    tabs->setCurrentIndex(3);

    window.findChild<QComboBox *>(QStringLiteral("comList"))->setEditText(pair.first());
    auto *openPort = window.findChild<QPushButton *>(QStringLiteral("openPort"));
    openPort->click();
    QVERIFY(driver.boxes.isEmpty());
    QVERIFY(!width->isEnabled());
    QVERIFY(!height->isEnabled());

    QSerialPort board(pair.second());
    QVERIFY(board.open(QIODevice::WriteOnly));

    // The first picture arrives in two writes; only its end byte completes it.
    const QByteArray picture = testPicture(120, 40);
    board.write(picture.left(2000));
    QVERIFY(board.waitForBytesWritten(5000));
    board.write(picture.mid(2000) + QByteArray(1, char(0xFF)));
    QVERIFY(board.waitForBytesWritten(5000));
    QTRY_VERIFY_WITH_TIMEOUT(pixels(picView) == picture, 10000);

    QByteArray binary;
    for (char c : picture)
        binary.append(uchar(c) > 124 ? char(0xFF) : char(0x00));
    QCOMPARE(pixels(binView), binary);
    QCOMPARE(ccd->findChild<QLabel *>(QStringLiteral("labelMaxValue"))->text(),
             QStringLiteral("249"));
    QCOMPARE(ccd->findChild<QLabel *>(QStringLiteral("labelMinValue"))->text(),
             QStringLiteral("0"));
    QCOMPARE(ccd->findChild<QLabel *>(QStringLiteral("labelMidValue"))->text(),
             QStringLiteral("124"));

    // Several pictures in one write: the newest is shown.
    QByteArray second = picture;
    std::reverse(second.begin(), second.end());
    board.write(picture + QByteArray(1, char(0xFF)) + second + QByteArray(1, char(0xFF)));
    QVERIFY(board.waitForBytesWritten(5000));
    QTRY_VERIFY_WITH_TIMEOUT(pixels(picView) == second, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(window.recvBuffer(), QByteArray(), 10000);

    openPort->click();
    QVERIFY(width->isEnabled());
    QVERIFY(height->isEnabled());
    QVERIFY(driver.boxes.isEmpty());
}

// A board sending 188 x 120 pictures while the tab waits for 120 x 40: the
// tab names the size, and one click closes the port, applies it and opens
// the port again.
void TestCameraE2E::proposedSizeAppliesOverAnOpenPort()
{
    SKIP_WITHOUT_SOCAT();
    CameraRig rig;
    QVERIFY(rig.open());
    auto *notice = rig.ccd->findChild<QLabel *>(QStringLiteral("label_sizeHint"));
    QVERIFY(!notice->isVisibleTo(rig.ccd));
    for (int i = 0; i < 4; ++i)
        QVERIFY(rig.send(testPicture(188, 120) + char(0xFF)));
    QTRY_VERIFY_WITH_TIMEOUT(notice->isVisibleTo(rig.ccd), 10000);
    QCOMPARE(notice->text(), QStringLiteral("收到的图像为 22560 字节，可能是 188×120"));
    QCOMPARE(rig.ccd->proposedSizes().first(), QSize(188, 120));

    QSignalSpy opened(&rig.window, &MainWindow::comOpen);
    rig.ccd->findChild<QPushButton *>(QStringLiteral("pushButton_applySize"))->click();
    QCOMPARE(rig.ccd->pictureSize(), QSize(188, 120));
    QCOMPARE(opened.size(), 1);
    QCOMPARE(rig.openButton()->text(), QStringLiteral("关闭串口"));
    QVERIFY(!rig.ccd->findChild<QSpinBox *>(QStringLiteral("spinBoxWidth"))->isEnabled());
    QVERIFY(!notice->isVisibleTo(rig.ccd));

    const QByteArray picture = testPicture(188, 120);
    QVERIFY(rig.send(picture + char(0xFF)));
    QTRY_VERIFY_WITH_TIMEOUT(pixels(rig.picView()) == picture, 10000);
    QVERIFY(rig.driver.boxes.isEmpty());
}

// Pictures led by a text and a binary header, grey and JPEG, with a lying
// header between them: the sizes come from the headers, the lie is counted.
void TestCameraE2E::headerPicturesOverSerialPort()
{
    SKIP_WITHOUT_SOCAT();
    CameraRig rig;
    rig.window.findChild<QComboBox *>(QStringLiteral("comboBox_format"))->setCurrentIndex(1);
    QVERIFY(rig.open());
    const QByteArray grey = testPicture(188, 120);
    QVERIFY(rig.send("image:1,22560,188,120,24\n" + grey + "image:2,999,188,120,24\n" + grey));
    QTRY_VERIFY_WITH_TIMEOUT(pixels(rig.picView()) == grey, 10000);
    QCOMPARE(rig.ccd->pictureSize(), QSize(188, 120));

    QImage image(752, 480, QImage::Format_Grayscale8);
    for (int y = 0; y < image.height(); ++y)
        memset(image.scanLine(y), y % 200, size_t(image.width()));
    QByteArray jpeg;
    QBuffer file(&jpeg);
    QVERIFY(file.open(QIODevice::WriteOnly) && image.save(&file, "JPEG"));
    QByteArray header(28, '\0');
    const qint32 fields[] = { 3, qint32(jpeg.size()), 752, 480, 0, 0x7F800000, 0x7F800000 };
    for (int i = 0; i < 7; ++i)
        qToLittleEndian(fields[i], header.data() + 4 * i);
    QVERIFY(rig.send(header + jpeg));
    QTRY_COMPARE_WITH_TIMEOUT(rig.ccd->pictureSize(), QSize(752, 480), 10000);
    QCOMPARE(rig.picView()->image()->size(), QSize(752, 480));
    QCOMPARE(rig.ccd->frameStats().taken, 2);
    QCOMPARE(rig.ccd->frameStats().misplaced, 1);
    QVERIFY(rig.driver.boxes.isEmpty());
}

QTEST_MAIN(TestCameraE2E)
#include "tst_camera_e2e.moc"

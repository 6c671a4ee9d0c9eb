#include "ccd.h"
#include "mainwindow.h"
#include "picview.h"
#include "testsupport.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSerialPort>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

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
};

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

QTEST_MAIN(TestCameraE2E)
#include "tst_camera_e2e.moc"

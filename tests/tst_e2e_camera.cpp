#include "mainwindow.h"
#include "picview.h"
#include "testsupport.h"
#include "tst_boardsim_support.h"

#include <QGroupBox>
#include <QLabel>
#include <QSerialPort>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <algorithm>

// The camera tab fed by the simulated board: it shows the board's last picture
// and its binarized copy.
class TestE2ECamera : public QObject
{
    Q_OBJECT

private slots:
    void showsTheBoardsLastPicture();
};

void TestE2ECamera::showsTheBoardsLastPicture()
{
    SKIP_WITHOUT_PTYS();
    constexpr int kPictures = 8;
    constexpr int kWidth = 80;
    constexpr int kHeight = 60;
    const QStringList arguments
            = { QStringLiteral("camera"),   QStringLiteral("--seed"),  QStringLiteral("9"),
                QStringLiteral("--rate"),   QStringLiteral("20"),      QStringLiteral("--count"),
                QString::number(kPictures), QStringLiteral("--width"), QString::number(kWidth),
                QStringLiteral("--height"), QString::number(kHeight) };
    const QList<QByteArray> pictures = simUnits(arguments, kPictures);
    QCOMPARE(pictures.size(), kPictures);
    const QByteArray last = pictures.last().left(kWidth * kHeight);

    BoardSim sim;
    QVERIFY(sim.start(arguments));

    DialogDriver dialogs;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The picture size is set before the port is opened, as the board sends it.
    window.findChild<QSpinBox *>("spinBoxWidth")->setValue(kWidth);
    window.findChild<QSpinBox *>("spinBoxHeight")->setValue(kHeight);
    window.findChild<QTabWidget *>("tabWidget")->setCurrentIndex(3);
    typePortAndOpen(&window, sim.path());
    QVERIFY(window.findChild<QSerialPort *>());

    const PicView *picture = window.findChild<QGroupBox *>("groupBoxPic")->findChild<PicView *>();
    const PicView *binary = window.findChild<QGroupBox *>("groupBoxBinPic")->findChild<PicView *>();
    QTRY_COMPARE_WITH_TIMEOUT(imageBytes(*picture->image()), last, 20000);
    QCOMPARE(picture->image()->size(), QSize(kWidth, kHeight));
    QVERIFY(window.recvBuffer().isEmpty());

    const auto [low, high] = std::minmax_element(reinterpret_cast<const uchar *>(last.constBegin()),
                                                 reinterpret_cast<const uchar *>(last.constEnd()));
    const int mid = (*low + *high) / 2;
    QByteArray binarized;
    for (const char pixel : last)
        binarized.append(uchar(pixel) > mid ? char(255) : char(0));
    QCOMPARE(imageBytes(*binary->image()), binarized);
    QCOMPARE(window.findChild<QLabel *>("labelMidValue")->text(), QString::number(mid));

    QTest::mouseClick(window.findChild<QPushButton *>("openPort"), Qt::LeftButton);
    QVERIFY(sim.finishedCleanly());
    QVERIFY(dialogs.boxes.isEmpty());
}

QTEST_MAIN(TestE2ECamera)
#include "tst_e2e_camera.moc"

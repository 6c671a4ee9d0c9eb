#include "greyview.h"
#include "linearccd.h"
#include "mainwindow.h"
#include "testsupport.h"
#include "tst_boardsim_support.h"
#include "waveview.h"

#include <QGroupBox>
#include <QLabel>
#include <QSerialPort>
#include <QTabWidget>
#include <QTest>

#include <algorithm>

// The linear CCD tab fed by the simulated board: it shows the board's last
// line in the plot and the grey strip, with its statistics and binarization.
class TestE2ELinearCCD : public QObject
{
    Q_OBJECT

private slots:
    void showsTheBoardsLastLine();
};

void TestE2ELinearCCD::showsTheBoardsLastLine()
{
    SKIP_WITHOUT_PTYS();
    constexpr int kLines = 60;
    const QStringList arguments
            = { QStringLiteral("ccd"),    QStringLiteral("--seed"), QStringLiteral("5"),
                QStringLiteral("--rate"), QStringLiteral("100"),    QStringLiteral("--count"),
                QString::number(kLines) };
    const QList<QByteArray> lines = simUnits(arguments, kLines);
    QCOMPARE(lines.size(), kLines);
    const QByteArray last = lines.last().left(128);

    BoardSim sim;
    QVERIFY(sim.start(arguments));

    DialogDriver dialogs;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.findChild<QTabWidget *>("tabWidget")->setCurrentIndex(2);
    typePortAndOpen(&window, sim.path());
    QVERIFY(window.findChild<QSerialPort *>());

    // Group box names repeat between tabs: look inside this one.
    const auto *tab = window.findChild<LinearCCD *>();
    auto *plot = tab->findChild<WaveView *>();
    QTRY_COMPARE_WITH_TIMEOUT(plot->data(), last, 20000);
    QCOMPARE(tab->findChild<QGroupBox *>("groupBox_3")->findChild<GreyView *>()->data(), last);
    QVERIFY(window.recvBuffer().isEmpty());

    // The mid value of the same line is the threshold of the plot and the strip.
    const auto [low, high] = std::minmax_element(reinterpret_cast<const uchar *>(last.constBegin()),
                                                 reinterpret_cast<const uchar *>(last.constEnd()));
    const int mid = (*low + *high) / 2;
    QByteArray binarized;
    for (const char pixel : last)
        binarized.append(uchar(pixel) > mid ? char(255) : char(0));
    QCOMPARE(int(plot->threshold()), mid);
    QCOMPARE(tab->findChild<QGroupBox *>("groupBox_4")->findChild<GreyView *>()->data(), binarized);
    QCOMPARE(tab->findChild<QLabel *>("minText")->text(), QString::number(*low));
    QCOMPARE(tab->findChild<QLabel *>("maxText")->text(), QString::number(*high));
    QCOMPARE(tab->findChild<QLabel *>("midText")->text(), QString::number(mid));

    QTest::mouseClick(window.findChild<QPushButton *>("openPort"), Qt::LeftButton);
    QVERIFY(sim.finishedCleanly());
    QVERIFY(dialogs.boxes.isEmpty());
}

QTEST_MAIN(TestE2ELinearCCD)
#include "tst_e2e_linearccd.moc"

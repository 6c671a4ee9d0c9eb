#include "mainwindow.h"
#include "oscilloscopewave.h"
#include "testsupport.h"
#include "tst_boardsim_support.h"

#include <QDial>
#include <QDoubleSpinBox>
#include <QSerialPort>
#include <QTabWidget>
#include <QTest>

// The oscilloscope tab fed by the simulated board: every frame of a burst
// becomes one stored sample per channel, decoded with the tab's limits.
class TestE2EOscilloscope : public QObject
{
    Q_OBJECT

private slots:
    void storesEveryFrameOfABurst();
};

void TestE2EOscilloscope::storesEveryFrameOfABurst()
{
    SKIP_WITHOUT_PTYS();
    constexpr int kFrames = 400;
    // CH4 takes a new noise value in every frame, so no two frames repeat.
    const QStringList arguments = { QStringLiteral("scope"),
                                    QStringLiteral("--seed"),
                                    QStringLiteral("23"),
                                    QStringLiteral("--rate"),
                                    QStringLiteral("1000"),
                                    QStringLiteral("--count"),
                                    QString::number(kFrames),
                                    QStringLiteral("--freq"),
                                    QStringLiteral("5,3,7,0"),
                                    QStringLiteral("--amplitude"),
                                    QStringLiteral("30000,20000,32767,12000") };
    const QList<QByteArray> frames = simUnits(arguments, kFrames);
    QCOMPARE(frames.size(), kFrames);

    BoardSim sim;
    QVERIFY(sim.start(arguments));

    DialogDriver dialogs;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // 50 samples per division: the stores keep the newest 501 samples of
    // each channel, more than the burst.
    window.findChild<QDial *>("dial_xScaleIndex")->setValue(8);
    // Limits of their own per channel, each maximum raised before its minimum
    // is lowered, so that no entry is refused on the way.
    const double limits[4][2] = { { 0.0, 5.0 }, { -10.0, 10.0 }, { 0.0, 3.3 }, { -1.0, 5.0 } };
    for (int ch = 0; ch < 4; ++ch) {
        const QString name = QStringLiteral("doubleSpinBox_ch%1").arg(ch + 1);
        window.findChild<QDoubleSpinBox *>(name + QStringLiteral("max"))->setValue(limits[ch][1]);
        window.findChild<QDoubleSpinBox *>(name + QStringLiteral("min"))->setValue(limits[ch][0]);
    }
    window.findChild<QTabWidget *>("tabWidget")->setCurrentIndex(1);

    typePortAndOpen(&window, sim.path());
    QVERIFY(window.findChild<QSerialPort *>());

    auto *wave = window.findChild<OscilloscopeWave *>();
    QTRY_COMPARE_WITH_TIMEOUT(wave->samples(3).size(), qsizetype(kFrames), 20000);
    for (int ch = 0; ch < 4; ++ch) {
        const QList<double> &stored = wave->samples(ch);
        QCOMPARE(stored.size(), qsizetype(kFrames));
        const double minimum = limits[ch][0];
        const double span = limits[ch][1] - limits[ch][0];
        for (int k = 0; k < kFrames; ++k) {
            const auto *frame = reinterpret_cast<const uchar *>(frames.at(k).constData());
            const int raw = frame[2 + 2 * ch] << 8 | frame[3 + 2 * ch];
            const double expected = raw * span / 65535.0 + minimum;
            if (qAbs(stored.at(k) - expected) > 1e-9)
                QFAIL(qPrintable(QStringLiteral("CH%1 sample %2: %3 V, expected %4 V")
                                         .arg(ch + 1)
                                         .arg(k)
                                         .arg(stored.at(k), 0, 'g', 12)
                                         .arg(expected, 0, 'g', 12)));
        }
    }
    // The burst ended with a whole frame, so nothing waits for more.
    QVERIFY(window.recvBuffer().isEmpty());

    QTest::mouseClick(window.findChild<QPushButton *>("openPort"), Qt::LeftButton);
    QVERIFY(sim.finishedCleanly());
    QVERIFY(dialogs.boxes.isEmpty());
}

QTEST_MAIN(TestE2EOscilloscope)
#include "tst_e2e_oscilloscope.moc"

#include "mainwindow.h"
#include "plotdecoder.h"
#include "plotter.h"
#include "plotview.h"
#include "testsupport.h"
#include "tst_boardsim_support.h"

#include <QSerialPort>
#include <QTabWidget>
#include <QTest>

Q_DECLARE_METATYPE(PlotFraming)

// The plotter fed by the simulated board in each framing, through 自动: it
// picks the framing, names the channels, and holds every value sent.
class TestE2EPlotter : public QObject
{
    Q_OBJECT

private slots:
    void holdsEveryValueSent_data();
    void holdsEveryValueSent();
};

void TestE2EPlotter::holdsEveryValueSent_data()
{
    QTest::addColumn<QString>("framing");
    QTest::addColumn<PlotFraming>("expected");
    QTest::addColumn<QStringList>("names");
    const QStringList named { "speed", "target", "steer", "sensor" };
    QTest::newRow("firewater") << "firewater" << PlotFraming::FireWater
                               << QStringList { "CH1", "CH2", "CH3", "CH4" };
    QTest::newRow("justfloat") << "justfloat" << PlotFraming::JustFloat
                               << QStringList { "CH1", "CH2", "CH3", "CH4" };
    QTest::newRow("teleplot") << "teleplot" << PlotFraming::Teleplot << named;
    QTest::newRow("plain") << "plain" << PlotFraming::Plain << named;
}

void TestE2EPlotter::holdsEveryValueSent()
{
    SKIP_WITHOUT_PTYS();
    QFETCH(QString, framing);
    QFETCH(PlotFraming, expected);
    QFETCH(QStringList, names);
    constexpr int kFrames = 600;
    const QStringList arguments
            = { QStringLiteral("plot"),   QStringLiteral("--framing"), framing,
                QStringLiteral("--seed"), QStringLiteral("7"),         QStringLiteral("--rate"),
                QStringLiteral("2000"),   QStringLiteral("--count"),   QString::number(kFrames) };
    // What was sent, decoded by the framing itself.
    QByteArray sent = simUnits(arguments, kFrames).join();
    const auto decoder = PlotDecoder::create(expected);
    PlotBatch batch;
    decoder->decode(sent, batch);
    QList<QList<float>> values(names.size());
    for (const PlotRow &row : batch.rows) {
        for (int n = 0; n < row.count; ++n)
            values[row.channel + n].append(float(batch.values[row.offset + n]));
    }
    QCOMPARE(values.first().size(), kFrames);

    BoardSim sim;
    QVERIFY(sim.start(arguments));
    DialogDriver dialogs;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.findChild<QTabWidget *>("tabWidget")->setCurrentIndex(4);
    Plotter *plotter = window.plotter();
    QCOMPARE(plotter->framingChoice(), PlotFraming::Auto);

    typePortAndOpen(&window, sim.path());
    QVERIFY(window.findChild<QSerialPort *>());
    PlotView *view = plotter->view();
    QTRY_COMPARE_WITH_TIMEOUT(plotter->stats().values, qint64(kFrames) * names.size(), 20000);
    QCOMPARE(plotter->activeFraming(), std::optional(expected));
    QCOMPARE(plotter->stats().garbageBytes, 0);
    QCOMPARE(view->channelCount(), names.size());
    for (int channel = 0; channel < names.size(); ++channel) {
        QCOMPARE(view->channelName(channel), names[channel]);
        const PlotHistory &history = view->history(channel);
        QCOMPARE(history.size(), qsizetype(kFrames));
        for (int k = 0; k < kFrames; ++k) {
            if (history.value(k) != values[channel][k])
                QFAIL(qPrintable(QStringLiteral("%1 sample %2: %3, sent %4")
                                         .arg(names[channel])
                                         .arg(k)
                                         .arg(history.value(k))
                                         .arg(values[channel][k])));
        }
    }
    QTest::mouseClick(window.findChild<QPushButton *>("openPort"), Qt::LeftButton);
    QVERIFY(sim.finishedCleanly());
    QVERIFY(dialogs.boxes.isEmpty());
}

QTEST_MAIN(TestE2EPlotter)
#include "tst_e2e_plotter.moc"

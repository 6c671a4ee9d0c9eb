#include "mainwindow.h"
#include "paramcontrolview.h"
#include "paramset.h"
#include "plotdecoder.h"
#include "plotter.h"
#include "plotview.h"
#include "serialpanel.h"
#include "testsupport.h"
#include "tst_boardsim_support.h"
#include "tuningdock.h"
#include "tuningpanel.h"

#include <QDoubleSpinBox>
#include <QProcess>
#include <QSerialPort>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <charconv>
#include <cmath>

Q_DECLARE_METATYPE(PlotFraming)

// The plotter fed by the simulated board in each framing, through 自动: it
// picks the framing, names the channels, and holds every value sent.
class TestE2EPlotter : public QObject
{
    Q_OBJECT

private slots:
    void holdsEveryValueSent_data();
    void holdsEveryValueSent();
    void converterWritesWhatTheTabShowed_data();
    void converterWritesWhatTheTabShowed();
    void sliderMovesTheCurve();
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
    // Teleplot's XY points count too, two values each.
    QTRY_COMPARE_WITH_TIMEOUT(plotter->stats().values, decoder->stats().values, 20000);
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

void TestE2EPlotter::converterWritesWhatTheTabShowed_data()
{
    QTest::addColumn<QString>("framing");
    QTest::newRow("firewater") << "firewater";
    QTest::newRow("justfloat") << "justfloat";
}

// A run recorded from its first byte and converted by smartcar-capture gives
// one CSV line per sample the tab holds, with the tab's names and values.
void TestE2EPlotter::converterWritesWhatTheTabShowed()
{
    SKIP_WITHOUT_SOCAT();
    QFETCH(QString, framing);
    const QByteArray bytes = simUnits({ QStringLiteral("plot"), QStringLiteral("--framing"),
                                        framing, QStringLiteral("--seed"), QStringLiteral("3") },
                                      300)
                                     .join();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.cap"));
    VirtualSerialPair pair;
    QVERIFY(pair.start());
    QSerialPort board(pair.second());
    QVERIFY(board.open(QIODevice::ReadWrite));
    DialogDriver dialogs;
    MainWindow window;
    window.setCurrentTab(4);
    window.show();
    window.serialPanel()->setPortEntry(pair.first());
    window.serialPanel()->openChosenPort();
    QVERIFY(window.connection()->isOpen());
    dialogs.fileAnswers = { path };
    auto *record = window.findChild<QToolButton *>("recordButton");
    QTest::mouseClick(record, Qt::LeftButton);
    QVERIFY(record->isChecked());
    // Cuts that fall inside frames, so that frames span records.
    const qsizetype step = bytes.size() / 7 + 1;
    for (qsizetype at = 0; at < bytes.size(); at += step) {
        board.write(bytes.mid(at, step));
        QTRY_COMPARE_WITH_TIMEOUT(board.bytesToWrite(), 0, 20000);
        QTest::qWait(30);
    }
    QTRY_COMPARE_WITH_TIMEOUT(window.connection()->receivedBytes(), bytes.size(), 20000);
    QTest::mouseClick(record, Qt::LeftButton);
    QVERIFY(!record->isChecked());

    QProcess capture;
    capture.start(QStringLiteral(CAPTURE_PROGRAM), { QStringLiteral("csv"), path });
    QVERIFY(capture.waitForFinished(20000));
    QCOMPARE(capture.exitCode(), 0);
    const QList<QByteArray> lines = capture.readAllStandardOutput().trimmed().split('\n');
    const PlotView *view = window.plotter()->view();
    QStringList header { QStringLiteral("time_s") };
    for (int channel = 0; channel < view->channelCount(); ++channel)
        header << view->channelName(channel);
    QCOMPARE(QString::fromUtf8(lines.first()).split(u','), header);
    QCOMPARE(lines.size() - 1, view->history(0).size());
    QVERIFY(lines.size() > 100);
    for (qsizetype k = 1; k < lines.size(); ++k) {
        const QList<QByteArray> fields = lines[k].split(',');
        QCOMPARE(fields.size(), header.size());
        for (int channel = 0; channel < view->channelCount(); ++channel) {
            const QByteArray &text = fields[channel + 1];
            float value = NAN;
            std::from_chars(text.constData(), text.constData() + text.size(), value);
            const float shown = view->history(channel).value(k - 1);
            if (value != shown && !(std::isnan(value) && std::isnan(shown)))
                QFAIL(qPrintable(QStringLiteral("CSV line %1, %2: %3, the tab held %4")
                                         .arg(k)
                                         .arg(header[channel + 1], QString::fromUtf8(text))
                                         .arg(double(shown), 0, 'g', 9)));
        }
    }
    QVERIFY(dialogs.boxes.isEmpty());
}

// A slider of the tuning panel sends target=, and the simulated board's
// speed loop steps to that target from then on: the curves follow it.
void TestE2EPlotter::sliderMovesTheCurve()
{
    SKIP_WITHOUT_PTYS();
    BoardSim sim;
    QVERIFY(sim.start({ "plot", "--framing", "teleplot", "--rate", "200", "--seed", "5" }));
    DialogDriver dialogs;
    MainWindow window;
    window.show();
    window.findChild<QTabWidget *>("tabWidget")->setCurrentIndex(4);
    const auto set = ParamSet::fromJson(
            R"({"format": "smartcar-params", "version": 1, "controls": [
                {"type": "slider", "name": "target", "min": 0, "max": 5, "step": 0.5,
                 "decimals": 1, "value": 0, "mode": "text", "command": "target={v}\n"}]})",
            nullptr);
    QVERIFY(set);
    TuningPanel *panel = window.tuningDock()->panel();
    panel->setParamSet(*set);
    typePortAndOpen(&window, sim.path());

    PlotView *view = window.plotter()->view();
    const auto newest = [view](const QString &name) {
        for (int channel = 0; channel < view->channelCount(); ++channel) {
            const PlotHistory &history = view->history(channel);
            if (view->channelName(channel) == name && history.size() > 0)
                return history.value(history.size() - 1);
        }
        return std::nanf("");
    };
    QTRY_VERIFY_WITH_TIMEOUT(newest(QStringLiteral("speed")) >= 0, 10000);
    panel->controlViews().constFirst()->numberBox()->setValue(4.5);
    // The board's own targets go no higher than 3.
    QTRY_COMPARE_WITH_TIMEOUT(newest(QStringLiteral("target")), 4.5f, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(newest(QStringLiteral("speed")) > 4.0f, 10000);
    QVERIFY(dialogs.boxes.isEmpty());
}

QTEST_MAIN(TestE2EPlotter)
#include "tst_e2e_plotter.moc"

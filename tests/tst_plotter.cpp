#include "csvformat.h"
#include "plotcolumns.h"
#include "plothistory.h"
#include "plotter.h"
#include "plotview.h"
#include "settingsgroup.h"
#include "testsupport.h"
#include "triggerpanel.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <cmath>

// The plotter's stores and its tab: the history's bound, the reduction to
// columns against the samples themselves, the channels following the stream,
// hidden channels, pause, the log's bound and the CSV.
class TestPlotter : public QObject
{
    Q_OBJECT

private slots:
    void historyKeepsTheNewest();
    void columnsHoldEachRunsExtremes();
    void channelsFollowTheStream();
    void hiddenChannelsStayHiddenByName();
    void pauseHoldsTheScreen();
    void autoPicksFromPieces();
    void logKeepsTheNewestLines();
    void csvAlignsAtTheNewest();
    void triggerHoldsAStandingSweep();
};

void TestPlotter::historyKeepsTheNewest()
{
    PlotHistory history;
    const qsizetype extra = 12345;
    for (qsizetype i = 0; i < PlotHistory::kCapacity + extra; ++i)
        history.append(float(i), float(i) / 10);
    QCOMPARE(history.size(), PlotHistory::kCapacity);
    QCOMPARE(history.total(), PlotHistory::kCapacity + extra);
    QCOMPARE(history.value(0), float(extra));
    QCOMPARE(history.value(history.size() - 1), float(PlotHistory::kCapacity + extra - 1));
    QCOMPARE(history.seconds(1), float(extra + 1) / 10);
    // Taken out in one piece across the end of the store.
    QList<float> taken(20);
    history.copyValues(history.size() - extra - 10, 20, taken.data());
    QCOMPARE(taken.first(), float(PlotHistory::kCapacity - 10));
    QCOMPARE(taken.last(), float(PlotHistory::kCapacity + 9));
}

void TestPlotter::columnsHoldEachRunsExtremes()
{
    PlotColumns columns;
    columns.reset(50, 7.5);
    QList<float> samples;
    for (int i = 0; i < 2000; ++i) {
        const float value = i % 97 == 0 ? NAN : float(std::sin(i * 0.37) * 100 + i % 13);
        samples << value;
        columns.add(i, value);
    }
    QCOMPARE(columns.newest(), columns.columnOf(1999));
    for (qint64 n = columns.newest() - 50; n <= columns.newest(); ++n) {
        float low = INFINITY, high = -INFINITY;
        bool broken = false;
        for (int i = 0; i < samples.size(); ++i) {
            if (columns.columnOf(i) != n)
                continue;
            if (std::isnan(samples[i]))
                broken = true;
            else
                low = qMin(low, samples[i]), high = qMax(high, samples[i]);
        }
        const PlotColumns::Column *c = columns.column(n);
        QVERIFY(c);
        QCOMPARE(c->minimum, low);
        QCOMPARE(c->maximum, high);
        QCOMPARE(c->broken, broken);
    }
    // Older columns are gone.
    QVERIFY(!columns.column(columns.newest() - 51));
}

void TestPlotter::channelsFollowTheStream()
{
    Plotter plotter(nullptr);
    plotter.setFramingChoice(PlotFraming::FireWater);
    auto *legend = plotter.findChild<QTreeWidget *>("treeWidget_legend");
    QByteArray bytes("1,2,3\n4,5,6\n");
    plotter.handleData(bytes);
    QVERIFY(bytes.isEmpty());
    QCOMPARE(plotter.view()->channelCount(), 3);
    QCOMPARE(legend->topLevelItemCount(), 3);
    QCOMPARE(plotter.view()->history(2).value(1), 6.0f);
    // Fewer values, then more and fewer again in one delivery: the channels
    // beyond go, with their samples, and come back empty.
    bytes = "7\n8,9\n10\n";
    plotter.handleData(bytes);
    QCOMPARE(plotter.view()->channelCount(), 1);
    QCOMPARE(plotter.view()->history(0).size(), 5);
    QCOMPARE(legend->topLevelItemCount(), 1);
    QCOMPARE(legend->topLevelItem(0)->text(0), QStringLiteral("CH1"));
    QCOMPARE(plotter.frameTotals()->counts.frames, 5);
}

void TestPlotter::hiddenChannelsStayHiddenByName()
{
    Plotter plotter(nullptr);
    plotter.setFramingChoice(PlotFraming::Teleplot);
    QByteArray bytes(">a:1\n>b:2\n");
    plotter.handleData(bytes);
    auto *legend = plotter.findChild<QTreeWidget *>("treeWidget_legend");
    legend->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    QVERIFY(!plotter.view()->channelVisible(1));
    SettingsGroup group;
    plotter.saveSettings(group);
    QCOMPARE(group.values().value("hiddenChannels").toStringList(), QStringList { "b" });

    // Another stream where b comes first: it is b that stays hidden.
    Plotter restored(nullptr);
    restored.restoreSettings(group);
    QCOMPARE(restored.framingChoice(), PlotFraming::Teleplot);
    bytes = ">b:1\n>a:2\n";
    restored.handleData(bytes);
    QVERIFY(!restored.view()->channelVisible(0));
    QVERIFY(restored.view()->channelVisible(1));
    QCOMPARE(restored.findChild<QTreeWidget *>("treeWidget_legend")->topLevelItem(0)->checkState(0),
             Qt::Unchecked);
}

void TestPlotter::pauseHoldsTheScreen()
{
    Plotter plotter(nullptr);
    plotter.resize(760, 470);
    plotter.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plotter));
    plotter.setFramingChoice(PlotFraming::FireWater);
    QByteArray bytes;
    for (int i = 0; i < 500; ++i)
        bytes += QByteArray::number(i % 50) + "," + QByteArray::number(-i) + "\n";
    plotter.handleData(bytes);
    plotter.view()->refresh();
    const QImage before = plotter.view()->screenImage();
    plotter.findChild<QPushButton *>("pushButton_plotPause")->click();
    QVERIFY(plotter.view()->paused());
    for (int i = 0; i < 300; ++i)
        bytes += "1000," + QByteArray::number(i) + "\n";
    plotter.handleData(bytes);
    plotter.view()->refresh();
    QCOMPARE(plotter.view()->screenImage(), before);
    QCOMPARE(plotter.view()->history(0).size(), 800);
    // The CSV saves what the paused screen shows, not what came since.
    QTemporaryDir dir;
    DialogDriver driver;
    driver.fileAnswers << dir.filePath(QStringLiteral("paused.csv"));
    plotter.view()->actions().at(1)->trigger();
    QFile saved(dir.filePath(QStringLiteral("paused.csv")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = saved.readAll().trimmed().split('\n');
    QCOMPARE(rows.size(), 1 + 500);
    QVERIFY(rows.last().endsWith(",49,-499"));
    plotter.findChild<QPushButton *>("pushButton_plotPause")->click();
    plotter.view()->refresh();
    QVERIFY(plotter.view()->screenImage() != before);
}

void TestPlotter::autoPicksFromPieces()
{
    Plotter plotter(nullptr);
    const QByteArray stream = "boot\n>speed:10:1.5\n>speed:20:2.5\n>angle:20:-3\n>speed:30:4\n";
    QByteArray buffer;
    for (const char c : stream) {
        buffer.append(c);
        plotter.handleData(buffer);
    }
    QCOMPARE(plotter.activeFraming(), std::optional(PlotFraming::Teleplot));
    QCOMPARE(plotter.findChild<QLabel *>("label_detected")->text(),
             QStringLiteral("识别为 Teleplot"));
    QCOMPARE(plotter.view()->channelName(1), QStringLiteral("angle"));
    const PlotHistory &speed = plotter.view()->history(0);
    QCOMPARE(speed.size(), 3);
    QCOMPARE(speed.value(2), 4.0f);
    // Seconds from the board's first time stamp.
    QCOMPARE(speed.seconds(2), 0.02f);
    QCOMPARE(plotter.logLines(), QStringList { "boot" });
}

void TestPlotter::logKeepsTheNewestLines()
{
    Plotter plotter(nullptr);
    plotter.setFramingChoice(PlotFraming::Teleplot);
    QByteArray bytes;
    for (int i = 0; i < 1700; ++i)
        bytes += "line " + QByteArray::number(i) + "\n";
    plotter.handleData(bytes);
    const QStringList lines = plotter.logLines();
    QCOMPARE(lines.size(), Plotter::kLogLines);
    QCOMPARE(lines.last(), QStringLiteral("line 1699"));
    QCOMPARE(lines.first(), QStringLiteral("line 1200"));
}

void TestPlotter::csvAlignsAtTheNewest()
{
    const QByteArray csv = plotSamplesCsv({ "speed", "a,\"b\"" }, { { 1.5f, NAN, 3 }, { -2 } },
                                          { 0.25f, 0.5f, 0.75f });
    QCOMPARE(csv,
             QByteArray("sample,time,speed,\"a,\"\"b\"\"\"\n"
                        "-2,0.25,1.5,\n"
                        "-1,0.5,nan,\n"
                        "0,0.75,3,-2\n"));
}

void TestPlotter::triggerHoldsAStandingSweep()
{
    Plotter plotter(nullptr);
    plotter.resize(760, 470);
    plotter.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plotter));
    plotter.setFramingChoice(PlotFraming::Teleplot);
    plotter.findChild<QSpinBox *>("spinBox_windowSamples")->setValue(100);
    auto *panel = plotter.findChild<TriggerPanel *>();
    // Source b, which comes second in each frame: a square wave of 37
    // samples a half against a window of 100 samples; a, a saw of the same
    // period.
    panel->setSource(1);
    Trigger::Settings settings;
    settings.level = 0.5;
    panel->setSettings(settings);
    panel->findChild<QCheckBox *>()->click();
    int sample = 0;
    const auto feed = [&](int count) {
        QByteArray bytes;
        for (int end = sample + count; sample < end; ++sample)
            bytes += ">a:" + QByteArray::number(sample % 74)
                    + "\n>b:" + QByteArray::number((sample / 37) % 2) + "\n";
        plotter.handleData(bytes);
        plotter.view()->refresh();
    };
    feed(400);
    const QImage first = plotter.view()->screenImage();
    const qint64 end = plotter.view()->shownSweepEnd();
    QVERIFY(end > 0);
    // The edge at the middle of the window: samples 49 and 50 of the sweep.
    const PlotHistory &b = plotter.view()->history(1);
    const qint64 oldest = b.total() - b.size();
    QCOMPARE(b.value(end - 99 + 50 - oldest), 1.0f);
    QCOMPARE(b.value(end - 99 + 49 - oldest), 0.0f);
    feed(23);
    feed(90);
    QCOMPARE(plotter.view()->screenImage(), first);
    // Paused, the screen and the CSV keep the sweep.
    const qint64 held = plotter.view()->shownSweepEnd();
    plotter.findChild<QPushButton *>("pushButton_plotPause")->click();
    feed(200);
    QCOMPARE(plotter.view()->shownSweepEnd(), held);
    plotter.findChild<QPushButton *>("pushButton_plotPause")->click();

    SettingsGroup group;
    plotter.saveSettings(group);
    Plotter restored(nullptr);
    restored.restoreSettings(group);
    QVERIFY(restored.findChild<TriggerPanel *>()->isOn());
    QCOMPARE(restored.findChild<TriggerPanel *>()->settings().level, 0.5);
}

QTEST_MAIN(TestPlotter)
#include "tst_plotter.moc"

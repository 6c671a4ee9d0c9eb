#include "trigger.h"

#include <QList>
#include <QTest>

#include <cmath>

namespace {

Trigger::Settings settings(double level, Trigger::Edge edge, Trigger::Mode mode, double pre,
                           double band = 0)
{
    Trigger::Settings s;
    s.level = level;
    s.edge = edge;
    s.mode = mode;
    s.preTrigger = pre;
    s.band = band;
    return s;
}

// Sample numbers at which sweeps end.
QList<qint64> feed(Trigger &trigger, const QList<double> &values)
{
    QList<qint64> ends;
    for (const double value : values) {
        if (trigger.add(value))
            ends.append(trigger.sampleCount() - 1);
    }
    return ends;
}

QList<double> square(int periods, int half, double low, double high)
{
    QList<double> values;
    for (int p = 0; p < periods; ++p) {
        values.append(QList<double>(half, low));
        values.append(QList<double>(half, high));
    }
    return values;
}

} // namespace

class TestTrigger : public QObject
{
    Q_OBJECT

private slots:
    void sineTriggersAtTheRightSample_data();
    void sineTriggersAtTheRightSample();
    void noiseInsideTheBandDoesNotRetrigger();
    void singleHoldsUntilRearmed();
    void autoRollsWithoutEdgesNormalWaits();
};

void TestTrigger::sineTriggersAtTheRightSample_data()
{
    QTest::addColumn<double>("level");
    QTest::addColumn<Trigger::Edge>("edge");
    QTest::addColumn<double>("pre");
    QTest::addColumn<qint64>("triggerSample");

    // sin(2 pi (i - 12.3) / 100): rising through 0 between samples 12 and 13,
    // through 0.5 between 20 and 21, falling through 0 between 62 and 63. A
    // screen of 201 samples needs 20, 100 or 180 samples before the trigger.
    QTest::newRow("rising, 50 %") << 0.0 << Trigger::Edge::Rising << 0.5 << qint64(113);
    QTest::newRow("rising, 10 %") << 0.0 << Trigger::Edge::Rising << 0.1 << qint64(113);
    QTest::newRow("rising 0.5, 10 %") << 0.5 << Trigger::Edge::Rising << 0.1 << qint64(21);
    QTest::newRow("rising, 90 %") << 0.0 << Trigger::Edge::Rising << 0.9 << qint64(213);
    QTest::newRow("falling, 50 %") << 0.0 << Trigger::Edge::Falling << 0.5 << qint64(163);
    QTest::newRow("either, 50 %") << 0.0 << Trigger::Edge::Either << 0.5 << qint64(113);
    QTest::newRow("either, 10 %") << 0.0 << Trigger::Edge::Either << 0.1 << qint64(63);
}

void TestTrigger::sineTriggersAtTheRightSample()
{
    QFETCH(double, level);
    QFETCH(Trigger::Edge, edge);
    QFETCH(double, pre);
    QFETCH(qint64, triggerSample);

    constexpr qint64 screen = 201;
    Trigger trigger;
    trigger.setScreenSamples(screen);
    trigger.setSettings(settings(level, edge, Trigger::Mode::Normal, pre));
    QList<double> values;
    for (int i = 0; i < 1000; ++i)
        values.append(std::sin(2 * M_PI * (i - 12.3) / 100));
    const QList<qint64> ends = feed(trigger, values);

    QVERIFY(!ends.isEmpty());
    const qint64 shareSamples = std::lround(pre * (screen - 1));
    QCOMPARE(trigger.preSamples(), shareSamples);
    // The first sweep ends a screen after its start, the trigger sample
    // exactly at the pre-trigger share of it.
    QCOMPARE(ends.first(), triggerSample - shareSamples + screen - 1);
    // Every sweep: the sample at the share is the first past the level.
    for (const qint64 end : ends) {
        const qint64 at = end - screen + 1 + shareSamples;
        const bool rises = values.at(at - 1) < level && values.at(at) >= level;
        const bool falls = values.at(at - 1) > level && values.at(at) <= level;
        QVERIFY2(edge == Trigger::Edge::Rising            ? rises
                         : edge == Trigger::Edge::Falling ? falls
                                                          : rises || falls,
                 qPrintable(QString::number(end)));
    }
    // Sweeps do not overlap, and none of the later periods is missed for
    // more than one period beyond the pre-trigger history.
    for (qsizetype k = 1; k < ends.size(); ++k)
        QVERIFY(ends.at(k) - ends.at(k - 1) >= screen && ends.at(k) - ends.at(k - 1) <= 400);
}

void TestTrigger::noiseInsideTheBandDoesNotRetrigger()
{
    // One rise from 0 to 1, then noise of +-0.05 around the level for long.
    QList<double> values(50, 0.0);
    for (int i = 0; i < 2000; ++i)
        values.append(0.5 + ((i * 7919) % 11 - 5) * 0.01);
    for (const double band : { 0.0, 0.1 }) {
        Trigger trigger;
        trigger.setScreenSamples(21);
        trigger.setSettings(settings(0.5, Trigger::Edge::Either, Trigger::Mode::Normal, 0.5, band));
        const qsizetype sweeps = feed(trigger, values).size();
        // Without a band the noise triggers again and again: the test sees it.
        if (band == 0)
            QVERIFY(sweeps > 10);
        else
            QCOMPARE(sweeps, 1);
    }
}

void TestTrigger::singleHoldsUntilRearmed()
{
    Trigger trigger;
    trigger.setScreenSamples(101);
    trigger.setSettings(settings(0.5, Trigger::Edge::Rising, Trigger::Mode::Single, 0.5));
    const QList<double> wave = square(40, 25, 0, 1);
    QCOMPARE(feed(trigger, wave).size(), 1);
    QCOMPARE(trigger.state(), Trigger::State::Stopped);
    QVERIFY(trigger.holdsSweep() && !trigger.rolls());
    const qint64 held = trigger.lastTriggerSample();
    // Later frames change nothing.
    QCOMPARE(feed(trigger, wave).size(), 0);
    QCOMPARE(trigger.lastTriggerSample(), held);

    trigger.rearm();
    QCOMPARE(trigger.state(), Trigger::State::Waiting);
    QVERIFY(trigger.holdsSweep());
    QCOMPARE(feed(trigger, wave).size(), 1);
    QVERIFY(trigger.lastTriggerSample() > held);
    QCOMPARE(trigger.state(), Trigger::State::Stopped);
}

void TestTrigger::autoRollsWithoutEdgesNormalWaits()
{
    for (const Trigger::Mode mode : { Trigger::Mode::Auto, Trigger::Mode::Normal }) {
        const bool isAuto = mode == Trigger::Mode::Auto;
        Trigger trigger;
        trigger.setScreenSamples(101);
        trigger.setSettings(settings(0.5, Trigger::Edge::Rising, mode, 0.5));
        feed(trigger, QList<double>(500, 0.0));
        QCOMPARE(trigger.state(), Trigger::State::Waiting);
        QCOMPARE(trigger.rolls(), isAuto);
        QVERIFY(!trigger.holdsSweep());

        feed(trigger, square(10, 25, 0, 1));
        QCOMPARE(trigger.state(), Trigger::State::Triggered);
        QVERIFY(trigger.holdsSweep() && !trigger.rolls());

        // A screen without an edge: Auto runs free, Normal keeps its sweep.
        feed(trigger, QList<double>(101, 1.0));
        QCOMPARE(trigger.state(), Trigger::State::Waiting);
        QCOMPARE(trigger.rolls(), isAuto);
        QCOMPARE(trigger.holdsSweep(), !isAuto);
        trigger.reset();
        QVERIFY(!trigger.holdsSweep());
    }
}

QTEST_GUILESS_MAIN(TestTrigger)
#include "tst_trigger.moc"

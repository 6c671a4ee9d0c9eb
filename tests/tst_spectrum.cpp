#include "csvformat.h"
#include "plothistory.h"
#include "plotter.h"
#include "spectrum.h"
#include "spectrumpage.h"

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <cmath>

// The spectrum's arithmetic: where a known sine's line falls and how strong
// it reads, whole or still filling, and the sample rate from arrival times;
// then its page in the plotter, and the CSV of what it shows.
class TestSpectrum : public QObject
{
    Q_OBJECT

private slots:
    void sineReadsAtItsFrequencyAndAmplitude_data();
    void sineReadsAtItsFrequencyAndAmplitude();
    void rateComesFromArrivalTimes();
    void pageFollowsShownChannelsAndPause();
    void csvSharesTheFrequencyColumnWhenItCan();
};

namespace {

// Teleplot lines stamped a millisecond apart: a sine of hertz on "a", a
// constant on "b".
QByteArray teleplot(int from, int count, double hertz)
{
    QByteArray lines;
    for (int i = from; i < from + count; ++i) {
        const double value = 3 * std::sin(2 * 3.14159265358979 * hertz * i / 1000);
        lines += ">a:" + QByteArray::number(i) + ":" + QByteArray::number(value, 'g', 9) + "\n";
        lines += ">b:" + QByteArray::number(i) + ":1\n";
    }
    return lines;
}

} // namespace

void TestSpectrum::sineReadsAtItsFrequencyAndAmplitude_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("hertz");
    QTest::addColumn<double>("amplitude");
    QTest::addColumn<double>("offset");
    QTest::addColumn<int>("samples");
    // A slow drift, far stronger than the line, inside the lobe of DC.
    QTest::addColumn<double>("drift");

    QTest::newRow("between bins") << 4096 << 200.0 << 13.37 << 5.0 << 0.0 << 10000 << 0.0;
    QTest::newRow("on a bin, with an offset")
            << 1024 << 1000.0 << 125.0 << 0.5 << 300.0 << 5000 << 0.0;
    QTest::newRow("smallest") << 256 << 50.0 << 21.1 << 100.0 << -2.0 << 256 << 0.0;
    QTest::newRow("largest") << 65536 << 20000.0 << 3141.5 << 1e-3 << 1.0 << 70000 << 0.0;
    // Padded with zeros: a quarter of the points held so far.
    QTest::newRow("filling") << 16384 << 200.0 << 31.0 << 2.0 << 10.0 << 4096 << 0.0;
    QTest::newRow("beside a drift") << 4096 << 200.0 << 13.0 << 0.08 << 1.2 << 4096 << 3.0;
}

void TestSpectrum::sineReadsAtItsFrequencyAndAmplitude()
{
    QFETCH(int, points);
    QFETCH(double, rate);
    QFETCH(double, hertz);
    QFETCH(double, amplitude);
    QFETCH(double, offset);
    QFETCH(int, samples);
    QFETCH(double, drift);

    PlotHistory history;
    for (int i = 0; i < samples; ++i) {
        // A gap in the stream must not spoil the spectrum.
        const float value = i == samples - qMin(samples, points) + 1
                ? NAN
                : float(offset + amplitude * std::sin(2 * 3.14159265358979 * hertz * i / rate + 1)
                        + drift * std::sin(2 * 3.14159265358979 * 1.5 * i / points));
        history.append(value, float(i / rate));
    }
    Spectrum spectrum;
    QVERIFY(spectrum.setPoints(points));
    for (const double given : { qQNaN(), rate }) {
        const Spectrum::Result result = spectrum.compute(history, given);
        QVERIFY(result.valid());
        QCOMPARE(result.decibels.size(), points / 2 + 1);
        QCOMPARE(result.samples, qMin(samples, points));
        QVERIFY(qAbs(result.rate / rate - 1) < 1e-3);
        QVERIFY2(qAbs(result.peakHz - hertz) <= result.binHz,
                 qPrintable(QString::number(result.peakHz)));
        QVERIFY2(qAbs(result.peakDecibels - 20 * std::log10(amplitude)) < 1,
                 qPrintable(QString::number(result.peakDecibels)));
        // A dozen bins of the samples taken away, the window keeps the line's
        // leakage low, where none would leave it some 30 dB down.
        const int away = 12 * points / int(result.samples);
        const int line = int(std::lround(hertz / result.binHz));
        const int far = line + away <= points / 2 ? line + away : line - away;
        QVERIFY2(result.decibels[far] < result.peakDecibels - 60,
                 qPrintable(QString::number(result.decibels[far])));
    }
}

void TestSpectrum::rateComesFromArrivalTimes()
{
    // 500 samples a second arriving in bursts of 25 with one arrival time.
    PlotHistory history;
    for (int i = 0; i < 20000; ++i)
        history.append(float(i % 7), float((i / 25 + 1) * 0.05));
    Spectrum spectrum;
    QVERIFY(!spectrum.setPoints(1000));
    QVERIFY(spectrum.setPoints(8192));
    const Spectrum::Result measured = spectrum.compute(history, qQNaN());
    QVERIFY(qAbs(measured.rate - 500) < 2);
    QCOMPARE(measured.binHz, measured.rate / 8192);
    const Spectrum::Result set = spectrum.compute(history, 123);
    QCOMPARE(set.rate, 123.0);
    QCOMPARE(set.measuredRate, measured.rate);

    // Times that do not advance tell no rate, and nothing is computed.
    PlotHistory burst;
    for (int i = 0; i < 300; ++i)
        burst.append(1, 2.5f);
    QVERIFY(std::isnan(Spectrum::rateFromTimes(burst, 300)));
    QVERIFY(!spectrum.compute(burst, qQNaN()).valid());
    QVERIFY(spectrum.compute(burst, 100).valid());
}

void TestSpectrum::pageFollowsShownChannelsAndPause()
{
    Plotter plotter(nullptr);
    plotter.setFramingChoice(PlotFraming::Teleplot);
    plotter.setView(Plotter::View::Spectrum);
    SpectrumPage *page = plotter.spectrumPage();
    page->setPoints(1024);
    QByteArray lines = teleplot(0, 2000, 125);
    plotter.handleData(lines);
    const auto curves = [page] { return page->view()->curves(); };
    QTRY_COMPARE(curves().size(), 2);
    QVERIFY(qAbs(curves()[0].spectrum.rate - 1000) < 0.01);
    QVERIFY(qAbs(curves()[0].spectrum.peakHz - 125) <= curves()[0].spectrum.binHz);

    auto *legend = plotter.findChild<QTreeWidget *>("treeWidget_legend");
    legend->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    QTRY_COMPARE(curves().size(), 1);
    QCOMPARE(curves()[0].name, QStringLiteral("a"));

    // Paused, the screen keeps its spectrum while another tone arrives.
    auto *pause = plotter.findChild<QPushButton *>("pushButton_plotPause");
    pause->setChecked(true);
    lines = teleplot(2000, 2000, 300);
    plotter.handleData(lines);
    QTest::qWait(200);
    QVERIFY(qAbs(curves()[0].spectrum.peakHz - 125) < 1);
    pause->setChecked(false);
    QTRY_VERIFY(qAbs(curves()[0].spectrum.peakHz - 300) < 1);
}

void TestSpectrum::csvSharesTheFrequencyColumnWhenItCan()
{
    const QList<QList<float>> decibels { { -1.5f, -2 }, { -3 } };
    QCOMPARE(spectrumCsv({ "a", "b,c" }, { 0.5, 0.5 }, decibels),
             QByteArray("frequency,a,\"b,c\"\n0,-1.5,-3\n0.5,-2,\n"));
    QCOMPARE(spectrumCsv({ "a", "b" }, { 0.5, 2 }, decibels),
             QByteArray("a Hz,a,b Hz,b\n0,-1.5,0,-3\n0.5,-2,,\n"));
}

QTEST_MAIN(TestSpectrum)
#include "tst_spectrum.moc"

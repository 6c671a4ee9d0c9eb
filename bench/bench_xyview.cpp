// The XY view's refresh, where its work is done: the newest points taken
// (two channels of 1,000,000 samples paired from the newest, or a Teleplot
// series of 100,000 points), the scale fitted and the faded segments laid
// out, for a 600 x 400 view at 2,000 and 100,000 points; then one paint of
// what was laid out. A noisy figure-eight, so that most points land on
// pixels of their own. Prints the mean and slowest refresh and paint in
// milliseconds of this thread's processor time.
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_xyview

#include "plotdecoder.h"
#include "plotview.h"
#include "xyview.h"

#include <QApplication>
#include <QImage>
#include <QRandomGenerator>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

constexpr int kRounds = 40;

double cpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

QPointF pathPoint(qint64 n, QRandomGenerator &random)
{
    const double angle = n * 2 * M_PI / 4000;
    return { 4 * std::sin(angle) + 0.02 * random.generateDouble(),
             2 * std::sin(2 * angle) + 0.02 * random.generateDouble() };
}

// Refreshes after each new batch of points, as the tab's timer does.
void measure(const char *what, XYView &view, const std::function<void(qint64)> &arrive)
{
    double refreshTotal = 0, refreshWorst = 0, paintTotal = 0, paintWorst = 0;
    QImage screen(view.size(), QImage::Format_RGB32);
    for (int round = 0; round < kRounds; ++round) {
        arrive(round);
        double start = cpuMs();
        view.refresh();
        const double refresh = cpuMs() - start;
        start = cpuMs();
        view.render(&screen);
        const double paint = cpuMs() - start;
        refreshTotal += refresh;
        refreshWorst = qMax(refreshWorst, refresh);
        paintTotal += paint;
        paintWorst = qMax(paintWorst, paint);
    }
    std::printf("%-44s refresh %6.2f ms (slowest %6.2f), paint %6.2f ms (slowest %6.2f)\n", what,
                refreshTotal / kRounds, refreshWorst, paintTotal / kRounds, paintWorst);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QRandomGenerator random(1);

    PlotView channels;
    channels.setChannelCount(2);
    qint64 sample = 0;
    const auto addSamples = [&](qint64 count) {
        for (qint64 n = 0; n < count; ++n, ++sample) {
            const QPointF p = pathPoint(sample, random);
            channels.addSample(0, float(p.x()), sample / 200.0);
            channels.addSample(1, float(p.y()), sample / 200.0);
        }
    };
    addSamples(1000000);

    XYView view(&channels);
    view.resize(600, 400);
    for (const int points : { 2000, 100000 }) {
        view.setPointCount(points);
        view.showChannels(0, 1);
        char what[64];
        std::snprintf(what, sizeof what, "two channels, %d points", points);
        // Ten samples each, as 200 frames a second bring in 50 ms.
        measure(what, view, [&](qint64) { addSamples(10); });
    }

    qint64 point = 0;
    QList<XYPoint> batch;
    const QStringList names { QStringLiteral("path") };
    const auto addPoints = [&](qint64 count) {
        batch.clear();
        for (qint64 n = 0; n < count; ++n, ++point) {
            const QPointF p = pathPoint(point, random);
            batch.append(XYPoint { 0, p.x(), p.y(), qQNaN() });
        }
        view.addPoints(batch, names);
    };
    addPoints(100000);
    for (const int points : { 2000, 100000 }) {
        view.setPointCount(points);
        view.showSeries(0);
        char what[64];
        std::snprintf(what, sizeof what, "Teleplot series, %d points", points);
        measure(what, view, [&](qint64) { addPoints(10); });
    }
    return 0;
}

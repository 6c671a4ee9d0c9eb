// Finding trigger points: feeds a trigger 10 million samples of a noisy square
// wave (a rising edge every 1000 samples, noise inside the band) for screens
// of 1 k, 100 k and 1 M samples, in Normal mode with the pre-trigger at 50 %,
// and prints nanoseconds per new sample and milliseconds per 100,000 new
// samples. The cost must not grow with the screen.
//
// Run: build/bench/bench_trigger [samples]

#include "trigger.h"

#include <QElapsedTimer>
#include <QList>

#include <cstdio>
#include <cstdlib>

namespace {

QList<double> signal(qsizetype count)
{
    QList<double> values(count);
    quint32 noise = 1;
    for (qsizetype i = 0; i < count; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double jitter = ((noise >> 8) % 1000) / 1000.0 * 0.1 - 0.05;
        values[i] = ((i / 500) % 2 ? 1.0 : 0.0) + jitter;
    }
    return values;
}

void measure(const QList<double> &values, qint64 screen)
{
    Trigger trigger;
    trigger.setScreenSamples(screen);
    Trigger::Settings settings;
    settings.level = 0.5;
    settings.band = 0.2;
    settings.mode = Trigger::Mode::Normal;
    trigger.setSettings(settings);
    qint64 sweeps = 0;
    QElapsedTimer timer;
    timer.start();
    for (const double value : values)
        sweeps += trigger.add(value);
    const double ns = double(timer.nsecsElapsed()) / double(values.size());
    std::printf("screen %8lld samples: %5.2f ns per new sample, %.3f ms per 100,000 new "
                "samples, %lld sweeps\n",
                static_cast<long long>(screen), ns, ns * 1e5 / 1e6, static_cast<long long>(sweeps));
}

} // namespace

int main(int argc, char **argv)
{
    const qsizetype count = argc > 1 ? std::atoll(argv[1]) : 10000000;
    const QList<double> values = signal(count);
    for (const qint64 screen : { 1000, 100000, 1000000 })
        measure(values, screen);
    return 0;
}

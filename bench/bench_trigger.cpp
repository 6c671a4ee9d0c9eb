// Finding trigger points: feeds a trigger 10 million samples of a noisy square
// wave (a rising edge every 1000 samples, noise inside the band) for screens
// of 1 k, 100 k and 1 M samples, in Normal mode with the pre-trigger at 50 %,
// and prints nanoseconds per new sample and milliseconds per 100,000 new
// samples. The cost must not grow with the screen.
// Then the same through the views that hold the sweeps, trigger off and on:
// the oscilloscope's screen (four channels a frame, sweeps copied as they
// end) at 10, 1000 and 20000 samples per division, and the plotter's view
// (one channel, the sweep reduced to the screen's columns at a refresh after
// every 10,000 samples, as its timer would) for windows of 1 k, 100 k and 1 M.
// Each figure is the best of three runs, as other processes share the cores.
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_trigger [samples]

#include "oscilloscopewave.h"
#include "plotview.h"
#include "trigger.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QList>

#include <algorithm>
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

Trigger::Settings viewSettings()
{
    Trigger::Settings settings;
    settings.level = 0.5;
    settings.band = 0.2;
    return settings;
}

void measure(const QList<double> &values, qint64 screen)
{
    double ns = 1e9;
    qint64 sweeps = 0;
    for (int run = 0; run < 3; ++run) {
        Trigger trigger;
        trigger.setScreenSamples(screen);
        Trigger::Settings settings = viewSettings();
        settings.mode = Trigger::Mode::Normal;
        trigger.setSettings(settings);
        sweeps = 0;
        QElapsedTimer timer;
        timer.start();
        for (const double value : values)
            sweeps += trigger.add(value);
        ns = std::min(ns, double(timer.nsecsElapsed()) / double(values.size()));
    }
    std::printf("screen %8lld samples: %5.2f ns per new sample, %.3f ms per 100,000 new "
                "samples, %lld sweeps\n",
                static_cast<long long>(screen), ns, ns * 1e5 / 1e6, static_cast<long long>(sweeps));
}

void scope(const QList<double> &values, int xDial, const char *name)
{
    double ns[2] = { 1e9, 1e9 };
    for (int run = 0; run < 6; ++run) {
        const bool on = run % 2;
        OscilloscopeWave wave(nullptr);
        wave.setXScaleIndex(xDial);
        wave.setTrigger(on, 1, viewSettings());
        QElapsedTimer timer;
        timer.start();
        for (const double value : values) {
            for (int ch = 0; ch < 4; ++ch)
                wave.addData(ch, value);
            wave.endFrame();
        }
        ns[on] = std::min(ns[on], double(timer.nsecsElapsed()) / double(values.size()));
    }
    std::printf("scope screen, %s samples per division: %.1f ns per frame off, %.1f ns on; "
                "the trigger adds %.3f ms per 100,000 frames\n",
                name, ns[0], ns[1], (ns[1] - ns[0]) * 1e5 / 1e6);
}

void plot(const QList<double> &values, int window)
{
    double ns[2] = { 1e9, 1e9 };
    for (int run = 0; run < 6; ++run) {
        const bool on = run % 2;
        PlotView view;
        view.resize(1000, 400);
        view.setChannelCount(1);
        view.setWindowSamples(window);
        view.setTrigger(on, 0, viewSettings());
        QElapsedTimer timer;
        timer.start();
        for (qsizetype i = 0; i < values.size(); ++i) {
            view.addSample(0, float(values[i]), double(i) / 1000);
            if (i % 10000 == 9999)
                view.refresh();
        }
        ns[on] = std::min(ns[on], double(timer.nsecsElapsed()) / double(values.size()));
    }
    std::printf("plot window %7d samples: %.1f ns per sample off, %.1f ns on; the trigger "
                "adds %.3f ms per 100,000 samples\n",
                window, ns[0], ns[1], (ns[1] - ns[0]) * 1e5 / 1e6);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const qsizetype count = argc > 1 ? std::atoll(argv[1]) : 10000000;
    const QList<double> values = signal(count);
    for (const qint64 screen : { 1000, 100000, 1000000 })
        measure(values, screen);
    const QList<double> frames = values.mid(0, count / 4);
    scope(frames, 10, "10");
    scope(frames, 4, "1000");
    scope(frames, 0, "20000");
    for (const int window : { 1000, 100000, 1000000 })
        plot(values, window);
    return 0;
}

// The plotter's spectrum: 16 channels at 1000 samples a second, 50 new
// samples on each before every refresh (20 refreshes a second), so that every
// channel's spectrum is computed again each time. Prints, for 16,384 and
// 65,536 points, the mean and slowest refresh of the page from the call until
// the screen took the spectra (copying the samples, window, FFT, dB and peak
// on the worker thread, the curves' reduction to the screen's columns), its
// processor time on both threads and on the GUI thread alone, and the paint
// that follows.
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_spectrum [refreshes]

#include "plotview.h"
#include "spectrumpage.h"
#include "spectrumview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

constexpr int kChannels = 16;
constexpr double kRate = 1000;
constexpr int kPerRefresh = 50;

// Processor time in milliseconds of this thread or of the whole process: on
// a busy machine the wall clock also counts the time other processes had the
// core.
double cpuMs(clockid_t clock)
{
    timespec now {};
    clock_gettime(clock, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

struct Figures
{
    double total = 0;
    double slowest = 0;
    double cpuTotal = 0;
    double cpuSlowest = 0;
    double guiTotal = 0;
    double guiSlowest = 0;

    template<typename Work>
    void measure(Work work)
    {
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
        const double guiStart = cpuMs(CLOCK_THREAD_CPUTIME_ID);
        work();
        const double gui = cpuMs(CLOCK_THREAD_CPUTIME_ID) - guiStart;
        const double cpu = cpuMs(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
        const double ms = timer.nsecsElapsed() / 1e6;
        total += ms;
        slowest = std::max(slowest, ms);
        cpuTotal += cpu;
        cpuSlowest = std::max(cpuSlowest, cpu);
        guiTotal += gui;
        guiSlowest = std::max(guiSlowest, gui);
    }
};

void run(int points, int refreshes)
{
    PlotView source;
    source.setChannelCount(kChannels);
    QRandomGenerator random(7);
    qint64 sample = 0;
    const auto add = [&](int count) {
        for (int n = 0; n < count; ++n, ++sample) {
            for (int channel = 0; channel < kChannels; ++channel) {
                const double t = sample / kRate;
                const double value = std::sin(2 * 3.14159265 * (10 + 20 * channel) * t) * 100
                        + random.bounded(20.0) + channel;
                source.addSample(channel, float(value), t);
            }
        }
    };
    add(points);

    SpectrumPage page;
    page.resize(760, 330);
    page.setPoints(points);
    // Laid out once, then hidden: the paints are timed on their own.
    page.show();
    QApplication::processEvents();
    page.hide();
    QImage image(page.view()->size(), QImage::Format_RGB32);
    Figures refresh;
    Figures paint;
    for (int r = 0; r < refreshes; ++r) {
        add(kPerRefresh);
        refresh.measure([&] {
            QEventLoop shown;
            QObject::connect(&page, &SpectrumPage::spectraShown, &shown, &QEventLoop::quit);
            page.refresh(source);
            shown.exec();
        });
        paint.measure([&] { page.view()->render(&image); });
    }
    std::printf("%d channels x %d points, refresh: mean %.2f ms, slowest %.2f ms (target 10 ms); "
                "processor time mean %.2f ms, slowest %.2f ms; on the GUI thread mean %.2f ms, "
                "slowest %.2f ms\n",
                kChannels, points, refresh.total / refreshes, refresh.slowest,
                refresh.cpuTotal / refreshes, refresh.cpuSlowest, refresh.guiTotal / refreshes,
                refresh.guiSlowest);
    std::printf("%d channels x %d points, paint at %d x %d: mean %.2f ms, slowest %.2f ms\n",
                kChannels, points, image.width(), image.height(), paint.total / refreshes,
                paint.slowest);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int refreshes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    run(16384, refreshes);
    run(65536, refreshes);
    return 0;
}

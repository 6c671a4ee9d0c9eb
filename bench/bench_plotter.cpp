// Decoding: feeds each plot framing's decoder alone, then the plotter tab
// (decoder, stores and column reduction), a stream of 16 channels of a
// board's typical values in 4 KiB deliveries, and prints MB/s on one core.
// Painting: paints a 1000 x 550 view with 16 channels of 1,000,000 samples
// each in a window of 1,000,000 samples, smooth curves and noise that changes
// at every sample, and prints the mean and slowest paint.
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_plotter [megabytes]

#include "plotdecoder.h"
#include "plotter.h"
#include "plotview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QRandomGenerator>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

constexpr qsizetype kDelivery = 4096;
constexpr int kChannels = 16;
constexpr int kPaints = 30;

// This thread's processor time in milliseconds: on a busy machine the wall
// clock also counts the time other processes had the core.
double cpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double value(qint64 frame, int channel)
{
    return std::sin(frame * 0.001 * (channel + 1)) * 100 * (channel + 1) + channel * 0.125;
}

QByteArray stream(PlotFraming framing, qsizetype bytes)
{
    QByteArray out;
    out.reserve(bytes + 1024);
    if (framing == PlotFraming::Plain)
        out += "a b c d e f g h i j k l m n o p\n";
    for (qint64 frame = 0; out.size() < bytes; ++frame) {
        for (int channel = 0; channel < kChannels; ++channel) {
            const double v = value(frame, channel);
            switch (framing) {
            case PlotFraming::JustFloat: {
                char raw[4];
                qToLittleEndian(float(v), raw);
                out.append(raw, 4);
                break;
            }
            case PlotFraming::Teleplot:
                out += ">ch" + QByteArray::number(channel) + ":" + QByteArray::number(frame) + ":"
                        + QByteArray::number(v, 'g', 6) + "\n";
                break;
            default:
                if (channel > 0)
                    out += framing == PlotFraming::Plain ? " " : ",";
                out += QByteArray::number(v, 'g', 6);
                break;
            }
        }
        if (framing == PlotFraming::JustFloat)
            out.append("\x00\x00\x80\x7F", 4);
        else if (framing != PlotFraming::Teleplot)
            out += "\n";
    }
    return out;
}

template<typename Feed>
double megabytesPerSecond(const QByteArray &bytes, Feed feed)
{
    QByteArray buffer;
    QElapsedTimer timer;
    timer.start();
    for (qsizetype pos = 0; pos < bytes.size(); pos += kDelivery) {
        buffer.append(bytes.constData() + pos, std::min(kDelivery, bytes.size() - pos));
        feed(buffer);
    }
    return bytes.size() / 1e6 / (timer.nsecsElapsed() / 1e9);
}

void paint(bool noise)
{
    PlotView view;
    view.resize(1000, 550);
    view.setWindowSamples(PlotView::kMaxWindowSamples);
    view.setChannelCount(kChannels);
    QRandomGenerator random(7);
    for (int i = 0; i < PlotView::kMaxWindowSamples; ++i) {
        for (int channel = 0; channel < kChannels; ++channel)
            view.addSample(channel,
                           noise ? float(random.bounded(2000.0) - 1000) : float(value(i, channel)),
                           i / 1000.0);
    }
    view.refresh();
    QImage image(view.size(), QImage::Format_RGB32);
    // The first paint delivers the pending resize, which reduces the stores
    // to the screen's columns once.
    QElapsedTimer first;
    first.start();
    view.render(&image);
    std::printf("first paint, with the reduction of the stores to the columns: %.0f ms\n",
                first.nsecsElapsed() / 1e6);
    double total = 0;
    double slowest = 0;
    double cpuTotal = 0;
    double cpuSlowest = 0;
    for (int n = 0; n < kPaints; ++n) {
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = cpuMs();
        view.render(&image);
        const double cpu = cpuMs() - cpuStart;
        const double ms = timer.nsecsElapsed() / 1e6;
        total += ms;
        slowest = std::max(slowest, ms);
        cpuTotal += cpu;
        cpuSlowest = std::max(cpuSlowest, cpu);
    }
    std::printf("painting %d x %d samples at 1000 x 550, %s: mean %.2f ms, slowest %.2f ms; "
                "processor time mean %.2f ms, slowest %.2f ms (target 8 ms)\n",
                kChannels, PlotView::kMaxWindowSamples, noise ? "noise" : "smooth", total / kPaints,
                slowest, cpuTotal / kPaints, cpuSlowest);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 64;
    const struct
    {
        PlotFraming framing;
        const char *target;
    } framings[] = { { PlotFraming::JustFloat, "100 MB/s" },
                     { PlotFraming::FireWater, "20 MB/s" },
                     { PlotFraming::Plain, "20 MB/s" },
                     { PlotFraming::Teleplot, "none set" } };
    for (const auto &entry : framings) {
        const QByteArray bytes = stream(entry.framing, megabytes * 1000000);
        const auto decoder = PlotDecoder::create(entry.framing);
        PlotBatch batch;
        const double alone = megabytesPerSecond(bytes, [&](QByteArray &buffer) {
            batch.clear();
            decoder->decode(buffer, batch);
        });
        Plotter tab(nullptr);
        tab.setFramingChoice(entry.framing);
        const double throughTab
                = megabytesPerSecond(bytes, [&](QByteArray &buffer) { tab.handleData(buffer); });
        std::printf("%-9s %lld MB: decoder %.1f MB/s, through the tab %.1f MB/s (target %s); "
                    "%lld frames, %lld garbage bytes\n",
                    qPrintable(PlotDecoder::framingName(entry.framing)), qint64(megabytes), alone,
                    throughTab, entry.target, decoder->stats().frames,
                    decoder->stats().garbageBytes);
    }
    paint(false);
    paint(true);
    return 0;
}

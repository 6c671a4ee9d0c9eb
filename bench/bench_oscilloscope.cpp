// Decoding: feeds the oscilloscope tab a stream of frames in 4 KiB deliveries
// and prints frames per second, at the default 500 and at the slowest 20000
// samples per division (the largest stores).
// Painting: paints a 760 x 410 view with all four channels on and full stores
// at 20000 samples per division (4 x 200001 samples), a smooth signal and noise
// that changes level at every sample, and prints the mean and slowest paint;
// for comparison also the time of drawing the traces one stroke per sample.
// Idle: paints the same view with empty stores, as the repaint timer does ten
// times a second when no data arrives.
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_oscilloscope [frames]

#include "oscilloscope.h"
#include "oscilloscopewave.h"

#include <QApplication>
#include <QDial>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr qsizetype kDelivery = 4096;
constexpr int kFullStore = 200001;
constexpr int kPaints = 30;

QByteArray frameStream(int frames)
{
    QByteArray stream;
    stream.reserve(qsizetype(frames) * 11);
    for (int i = 0; i < frames; ++i) {
        stream.append("\xFF\xFF", 2);
        for (int ch = 0; ch < 4; ++ch) {
            const quint16 raw = quint16(i * (ch + 1) * 97);
            stream.append(char(raw >> 8)).append(char(raw & 0xFF));
        }
        stream.append(char(i % 2 ? 0xFF : 0x00));
    }
    return stream;
}

void decode(const QByteArray &stream, int frames, int xDial)
{
    Oscilloscope tab(nullptr);
    tab.findChild<QDial *>(QStringLiteral("dial_xScaleIndex"))->setValue(xDial);
    QByteArray buffer;
    QElapsedTimer timer;
    timer.start();
    for (qsizetype pos = 0; pos < stream.size(); pos += kDelivery) {
        buffer.append(stream.constData() + pos, std::min(kDelivery, stream.size() - pos));
        tab.handleData(buffer);
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("decoding, %s samples per division: %d frames in %.3f s, %.2f million frames/s, "
                "%.1f MB/s\n",
                xDial == 0 ? "20000" : "500", frames, seconds, frames / seconds / 1e6,
                stream.size() / seconds / 1e6);
}

// The traces drawn one stroke per column change and one per level change.
void plainTraces(QImage &image, const QList<double> (&data)[4])
{
    const int w = image.width();
    const int h = image.height();
    const int gridWidth = w - 20;
    const int gridHeight = h - 40;
    const Qt::GlobalColor colors[4] = { Qt::yellow, Qt::cyan, Qt::blue, Qt::red };
    QPainter painter(&image);
    painter.setWindow(-10, -(gridHeight / 2) - 10, w, h);
    for (int ch = 0; ch < 4; ++ch) {
        painter.setPen(colors[ch]);
        const QList<double> &store = data[ch];
        int previousColumn = 0;
        int previousLevel = int(store[0] / 5.0 * gridHeight * 0.5);
        for (qsizetype i = 1; i < store.size(); ++i) {
            const int x = int(i / 200000.0 * gridWidth);
            const int l = int(store[i] / 5.0 * gridHeight * 0.5);
            if (x != previousColumn)
                painter.drawLine(previousColumn, -previousLevel, x, -previousLevel);
            if (l != previousLevel)
                painter.drawLine(x, -previousLevel, x, -l);
            previousColumn = x;
            previousLevel = l;
        }
    }
}

void paint(const char *name, bool noisy)
{
    OscilloscopeWave wave(nullptr);
    wave.resize(760, 410);
    wave.setXScaleIndex(0);
    QRandomGenerator random(1);
    QList<double> data[4];
    for (int ch = 0; ch < 4; ++ch) {
        wave.setCurCh(ch);
        wave.setYScaleIndex(5);
        for (int i = 0; i < kFullStore; ++i) {
            const double value = noisy ? random.bounded(9.0) - 4.5
                                       : 4 * std::sin(i / 8000.0 + ch) + 0.2 * std::sin(i / 300.0);
            wave.addData(ch, value);
            data[ch].append(value);
        }
    }

    QImage image(wave.size(), QImage::Format_ARGB32_Premultiplied);
    double total = 0;
    double slowest = 0;
    for (int round = 0; round < kPaints; ++round) {
        QElapsedTimer timer;
        timer.start();
        wave.render(&image);
        const double ms = timer.nsecsElapsed() / 1e6;
        total += ms;
        slowest = std::max(slowest, ms);
    }

    QElapsedTimer timer;
    timer.start();
    plainTraces(image, data);
    const double plain = timer.nsecsElapsed() / 1e6;
    std::printf("painting, %s: mean %.2f ms, slowest %.2f ms over %d paints "
                "(traces one stroke per sample: %.1f ms)\n",
                name, total / kPaints, slowest, kPaints, plain);
}

void idle()
{
    OscilloscopeWave wave(nullptr);
    wave.resize(760, 410);
    wave.setCurCh(0);
    wave.setYScaleIndex(5);
    QImage image(wave.size(), QImage::Format_ARGB32_Premultiplied);
    wave.render(&image); // the first paint draws the background once
    constexpr int kIdlePaints = 2000;
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; round < kIdlePaints; ++round)
        wave.render(&image);
    std::printf("painting, idle screen: mean %.1f us over %d paints\n",
                timer.nsecsElapsed() / 1e3 / kIdlePaints, kIdlePaints);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int frames = argc > 1 ? std::max(1, atoi(argv[1])) : 2000000;
    const QByteArray stream = frameStream(frames);
    decode(stream, frames, 5);
    decode(stream, frames, 0);
    paint("smooth signal", false);
    paint("noise", true);
    idle();
    return 0;
}

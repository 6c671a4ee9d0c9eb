// Pictures per second through the camera tab: one 320 x 240 picture per call
// of handleData, as the main window delivers it after a read, in the mid mode
// with both views on screen, stretched to 640 x 480. Every picture repaints
// both views. Then the parts of one refresh, each timed on its own:
// extraction from the buffer, statistics, binarization, and each view's
// setData with the repaint it triggers.
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_camera [pictures]

#include "byteutils.h"
#include "ccd.h"
#include "frameextraction.h"
#include "picview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QRadioButton>
#include <QSpinBox>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kPixels = kWidth * kHeight;
constexpr double kRequiredPicturesPerSecond = 200.0;

// Pictures that change from one to the next: a bright track drifting over a
// dark floor, grey levels 0..254.
std::vector<QByteArray> makePictures(int count)
{
    std::vector<QByteArray> pictures;
    for (int n = 0; n < count; ++n) {
        QByteArray picture(kPixels, '\0');
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const int centre = 100 + n * 3 + y / 4;
                const bool track = x > centre && x < centre + 120;
                picture[y * kWidth + x]
                        = char(track ? 150 + (x + y + n) % 100 : (x * 3 + y + n) % 80);
            }
        }
        pictures.push_back(picture);
    }
    return pictures;
}

// Mean and 99th percentile, in microseconds, of running step count times.
struct Timing
{
    double meanUs;
    double p99Us;
};

Timing measure(int count, const std::function<void(int)> &step)
{
    std::vector<qint64> durations;
    durations.reserve(count);
    QElapsedTimer one;
    for (int n = 0; n < count; ++n) {
        one.start();
        step(n);
        durations.push_back(one.nsecsElapsed());
    }
    std::sort(durations.begin(), durations.end());
    double sum = 0;
    for (qint64 d : durations)
        sum += d;
    return { sum / count / 1e3, durations[size_t(count) * 99 / 100] / 1e3 };
}

void print(const char *what, const Timing &t)
{
    std::printf("  %-34s %8.1f us mean, %8.1f us p99\n", what, t.meanUs, t.p99Us);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(10, atoi(argv[1])) : 2000;

    CCD tab(nullptr);
    tab.findChild<QSpinBox *>(QStringLiteral("spinBoxWidth"))->setValue(kWidth);
    tab.findChild<QSpinBox *>(QStringLiteral("spinBoxHeight"))->setValue(kHeight);
    if (!tab.findChild<QRadioButton *>(QStringLiteral("radioButton_mid"))->isChecked()) {
        std::fprintf(stderr, "the mid mode is not selected\n");
        return 1;
    }
    PicView *picView
            = tab.findChild<QGroupBox *>(QStringLiteral("groupBoxPic"))->findChild<PicView *>();
    PicView *binView
            = tab.findChild<QGroupBox *>(QStringLiteral("groupBoxBinPic"))->findChild<PicView *>();
    // Both views zoomed at 640 x 480, the size a wide window gives them.
    picView->setFixedSize(640, 480);
    binView->setFixedSize(640, 480);
    tab.show();
    QCoreApplication::processEvents();
    if (picView->size() != QSize(640, 480) || !picView->isVisible() || !binView->isVisible()) {
        std::fprintf(stderr, "the views are not shown at 640 x 480\n");
        return 1;
    }

    const std::vector<QByteArray> pictures = makePictures(16);
    std::vector<QByteArray> frames;
    for (const QByteArray &picture : pictures)
        frames.push_back(picture + QByteArray(1, char(0xFF)));

    // The receive buffer as the main window fills it: the read bytes appended.
    QByteArray buffer;
    QElapsedTimer total;
    total.start();
    const Timing refresh = measure(count, [&](int n) {
        buffer.append(frames[n % frames.size()]);
        tab.handleData(buffer);
    });
    const double picturesPerSecond = count / (total.nsecsElapsed() / 1e9);
    if (!buffer.isEmpty()) {
        std::fprintf(stderr, "the tab left %lld bytes\n", qlonglong(buffer.size()));
        return 1;
    }

    QByteArray picture;
    const Timing extraction = measure(count, [&](int n) {
        buffer.append(frames[n % frames.size()]);
        takeNewestFrame(buffer, kPixels, picture);
    });
    const Timing statistics = measure(count, [&](int n) {
        quint32 min, max, sum;
        byteStatistics(pictures[n % pictures.size()], min, max, sum);
    });
    const Timing binarization = measure(count, [&](int n) {
        QByteArray binary;
        binarize(pictures[n % pictures.size()], binary, 100);
    });
    const Timing paintPicture
            = measure(count, [&](int n) { picView->setData(pictures[n % pictures.size()]); });
    const Timing paintBinary
            = measure(count, [&](int n) { binView->setData(pictures[n % pictures.size()]); });

    std::printf("camera tab, %d pictures of %d x %d, one per delivery, mid mode, "
                "both views %d x %d (%s)\n",
                count, kWidth, kHeight, picView->width(), picView->height(),
                qPrintable(QGuiApplication::platformName()));
    std::printf("  %-34s %8.0f pictures/s (required %.0f)\n", "throughput", picturesPerSecond,
                kRequiredPicturesPerSecond);
    print("one refresh (handleData)", refresh);
    print("extraction (takeNewestFrame)", extraction);
    print("statistics (byteStatistics)", statistics);
    print("binarization (binarize)", binarization);
    print("picture view setData + repaint", paintPicture);
    print("binarized view setData + repaint", paintBinary);
    return picturesPerSecond >= kRequiredPicturesPerSecond ? 0 : 1;
}

// What the exports cost. The oscilloscope's four full stores (4 x 200001
// samples, at 20000 samples per division) formatted as CSV and written whole;
// the linear CCD's recording, one row per line appended to a file; the
// camera's picture series, one PNG file per picture.
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_export [rounds]

#include "appendfile.h"
#include "csvformat.h"
#include "exportdialogs.h"
#include "filesaving.h"
#include "pictureseries.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr qsizetype kStoreSamples = 10 * 20000 + 1;
constexpr double kRequiredCsvSeconds = 1.0;

// Voltages as the decoder makes them from a noisy signal: every value needs
// most of its digits.
void fillStores(QList<double> (&stores)[4])
{
    quint32 noise = 1;
    for (int ch = 0; ch < 4; ++ch) {
        stores[ch].reserve(kStoreSamples);
        for (qsizetype i = 0; i < kStoreSamples; ++i) {
            noise = noise * 1664525u + 1013904223u;
            const int raw = std::clamp(
                    int(32768 + 20000 * std::sin(i / (50.0 + ch * 30)) + int(noise >> 22) - 512), 0,
                    65535);
            stores[ch].append(raw * 5.0 / 65535.0 - ch);
        }
    }
}

// A track ahead with the sensor's noise, which is what makes a PNG large.
QImage picture(int width, int height, int n)
{
    quint32 noise = quint32(n) * 2654435761u + 1;
    QImage image(width, height, QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y) {
        uchar *row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int centre = width / 3 + n + y / 4;
            const int level = x > centre && x < centre + width / 3 ? 180 : 60;
            row[x] = uchar(level + int(noise >> 28) - 8);
        }
    }
    return image;
}

void benchScopeCsv(const QString &folder, int rounds)
{
    QList<double> stores[4];
    fillStores(stores);
    const QString path = folder + QStringLiteral("/scope.csv");
    double worst = 0;
    double best = 1e9;
    qint64 bytes = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        const QByteArray csv = scopeSamplesCsv(stores);
        const double formatted = timer.nsecsElapsed() / 1e9;
        if (saveWholeFile(path, csv) != SaveResult::Saved) {
            std::printf("writing %s failed\n", qPrintable(path));
            return;
        }
        const double total = timer.nsecsElapsed() / 1e9;
        bytes = csv.size();
        best = std::min(best, total);
        worst = std::max(worst, total);
        std::printf("  round %d: format %.3f s, format and write %.3f s\n", round + 1, formatted,
                    total);
    }
    std::printf("scope CSV, 4 x %lld samples, %.1f MB: best %.3f s, worst %.3f s "
                "(needed under %.1f s) %s\n",
                qlonglong(kStoreSamples), bytes / 1e6, best, worst, kRequiredCsvSeconds,
                worst < kRequiredCsvSeconds ? "ok" : "TOO SLOW");
}

void benchCcdRecording(const QString &folder)
{
    constexpr int kLines = 20000;
    QByteArray line(128, '\0');
    AppendFile file;
    if (file.open(folder + QStringLiteral("/ccd.csv"), lineRecordHeader(128))
        != SaveResult::Saved) {
        std::printf("cannot open the recording\n");
        return;
    }
    QElapsedTimer timer;
    timer.start();
    for (int n = 0; n < kLines; ++n) {
        for (int i = 0; i < 128; ++i)
            line[i] = char((i * 2 + n) % 255);
        if (!file.append(lineRecordRow(QDateTime::currentDateTime(), line))) {
            std::printf("recording failed\n");
            return;
        }
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("CCD recording: %d lines in %.3f s, %.0f lines/s, %.1f us per line\n", kLines,
                seconds, kLines / seconds, seconds / kLines * 1e6);
}

void benchPictureSeries(const QString &folder, int width, int height)
{
    constexpr int kPictures = 300;
    QList<QImage> pictures;
    for (int n = 0; n < kPictures; ++n)
        pictures.append(picture(width, height, n));
    QElapsedTimer timer;
    timer.start();
    for (const QImage &image : pictures)
        pngBytes(image);
    const double encoding = timer.nsecsElapsed() / 1e9;

    PictureSeries series;
    series.start(folder, QDateTime::currentDateTime());
    timer.start();
    for (const QImage &image : pictures) {
        if (series.save(image) != SaveResult::Saved) {
            std::printf("saving %s failed\n", qPrintable(series.lastFileName()));
            return;
        }
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("camera series %d x %d: %.0f pictures/s, %.2f ms per picture (PNG encoding "
                "%.2f ms), %lld bytes each\n",
                width, height, kPictures / seconds, seconds / kPictures * 1e3,
                encoding / kPictures * 1e3, qlonglong(QFileInfo(series.lastFileName()).size()));
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir dir;
    benchScopeCsv(dir.path(), rounds);
    benchCcdRecording(dir.path());
    benchPictureSeries(dir.path(), 120, 40);
    benchPictureSeries(dir.path(), 320, 240);
    return 0;
}

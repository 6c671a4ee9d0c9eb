// How responsive the window stays while a capture replays into the camera
// tab: a capture of 320 x 240 pictures arriving at 1 MB/s (4 KiB every
// 4 ms, as a fast USB adapter delivers them) plays at x8 and as fast as
// possible, with the tab shown at the window's minimum size of 1000 x 550.
// A 10 ms timer on the GUI thread measures how late its ticks come: that is
// how long a click or a repaint would wait.
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_replay [seconds recorded]

#include "capturefile.h"
#include "captureplayer.h"
#include "ccd.h"
#include "mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kRecordBytes = 4096;
constexpr int kRecordMicros = 4096;

// A bright track drifting over a dark floor, each picture ended by FF.
QByteArray cameraStream(qint64 bytes)
{
    QByteArray stream;
    stream.reserve(bytes + kWidth * kHeight);
    for (int n = 0; stream.size() < bytes; ++n) {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const int centre = 100 + n % 60 + y / 4;
                const bool track = x > centre && x < centre + 120;
                stream += char(track ? 150 + (x + y + n) % 100 : (x * 3 + y + n) % 80);
            }
        stream += char(0xFF);
    }
    return stream;
}

struct Lateness
{
    double p50Ms;
    double p99Ms;
    double maxMs;
    double seconds;
};

// Plays path at speed and measures the lateness of a 10 ms timer meanwhile;
// with no path, measures an idle window for three seconds, which shows what
// the machine itself adds.
Lateness play(MainWindow &window, const QString &path, double speed)
{
    CapturePlayer *player = window.player();
    std::vector<double> late;
    QElapsedTimer clock;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    qint64 last = 0;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        late.push_back(qMax(0.0, double(now - last) / 1e6 - 10.0));
        last = now;
    });
    QEventLoop loop;
    QObject::connect(player, &CapturePlayer::finished, &loop, &QEventLoop::quit);
    player->setSpeed(speed);
    clock.start();
    probe.start(10);
    if (path.isEmpty())
        QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    else
        player->start(path, 0);
    loop.exec();
    probe.stop();
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    std::sort(late.begin(), late.end());
    if (late.empty())
        return { 0, 0, 0, seconds };
    return { late[late.size() / 2], late[late.size() * 99 / 100], late.back(), seconds };
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? qMax(1, atoi(argv[1])) : 40;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("camera.cap"));
    {
        const QByteArray stream = cameraStream(qint64(seconds) * 1000000);
        QByteArray file = CaptureFormat::header();
        quint64 micros = 0;
        for (qsizetype at = 0; at < stream.size(); at += kRecordBytes, micros += kRecordMicros)
            CaptureFormat::appendRecord(file, micros, stream.mid(at, kRecordBytes));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("capture: %d s of 320 x 240 pictures at 1 MB/s, %.1f MB\n", seconds,
                    double(file.size()) / 1e6);
    }

    MainWindow window;
    window.resize(1000, 550);
    window.setCurrentTab(3);
    window.ccd()->setPictureSize(QSize(kWidth, kHeight));
    window.show();
    QApplication::processEvents();

    std::printf("%-10s %10s %10s %10s %10s %10s\n", "speed", "played s", "MB/s", "late p50",
                "late p99", "late max");
    for (double speed : { -1.0, 8.0, 0.0 }) {
        const Lateness result = play(window, speed < 0 ? QString() : path, qMax(0.0, speed));
        const double megabytes = speed < 0 ? 0 : double(window.player()->deliveredBytes()) / 1e6;
        std::printf("%-10s %10.2f %10.1f %8.2f ms %7.2f ms %7.2f ms\n",
                    speed < 0           ? "idle"
                            : speed > 0 ? qPrintable(QStringLiteral("x%1").arg(speed))
                                        : "fastest",
                    result.seconds, megabytes / result.seconds, result.p50Ms, result.p99Ms,
                    result.maxMs);
    }
    return 0;
}

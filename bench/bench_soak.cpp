// A long session, shortened to the time given: the real main window, fed by
// the simulated board through the board's own virtual port at a steady rate,
// with one tab shown. Prints how late a 10 ms timer on the GUI thread fired,
// the resident memory over the run, the CPU time per MB and whether
// everything the board sent arrived: the terminal's saved file against the
// board's bytes, the scope's decoded frames, the CCD tabs' shown and skipped
// lines or pictures.
//
// Over the network instead of the virtual port, the board serves on a TCP
// port of loopback (tcp) or sends datagrams to the window's UDP port (udp);
// over UDP what the system dropped is counted in datagrams, and the frames
// that did arrive must all decode.
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_soak TAB MB_PER_S SECONDS
//          [serial|tcp|udp] [WIDTHxHEIGHT]
//      TAB: hex or text (the terminal in that display), scope, ccd, camera
//           (188 x 120 pictures ended by FF, or WIDTHxHEIGHT), camera-text or
//           camera-binary (the same led by a header), camera-full (752 x 480
//           pictures led by a binary header)
//           justfloat or firewater (the plotter, 16 or 8 channels of the plot mode),
//           justfloat-trigger or firewater-trigger (the same with the trigger
//           on, Auto, rising through 0 on the fastest of the channels),
//           justfloat-spectrum or justfloat-trigger-spectrum (the same 16
//           channels in the view 频谱, 16,384 points, the trigger on or off)

#include "ccd.h"
#include "comassistant.h"
#include "latenessprobe.h"
#include "linearccd.h"
#include "mainwindow.h"
#include "oscilloscope.h"
#include "plotter.h"
#include "serialpanel.h"
#include "simoptions.h"
#include "spectrumpage.h"
#include "testsupport.h"
#include "triggerpanel.h"
#include "unitsource.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <cmath>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr quint64 kSeed = 12;
// The camera pictures of a full-speed USB board, unless asked otherwise.
constexpr int kCameraWidth = 188;
constexpr int kCameraHeight = 120;
// Targets for a long session.
constexpr double kLatenessP99Ms = 16.0;
constexpr double kLatenessMaxMs = 50.0;
constexpr double kMemoryEndMB = 300.0;
constexpr double kGrowthPercent = 5.0;

struct Plan
{
    QString tab;
    int tabIndex;
    QStringList simArguments; // mode and its options, without rate and count
    QString unit;
    bool header = false;  // the camera's pictures led by a header
    bool trigger = false; // the plotter's trigger on
    QSize camera { kCameraWidth, kCameraHeight };
};

bool planFor(const QString &tab, const QSize &camera, Plan &plan)
{
    const QString size[] = { QStringLiteral("--width"), QString::number(camera.width()),
                             QStringLiteral("--height"), QString::number(camera.height()) };
    if (tab == QLatin1String("hex") || tab == QLatin1String("text"))
        plan = { tab, 0, { QStringLiteral("text") }, QStringLiteral("lines") };
    else if (tab == QLatin1String("scope"))
        plan = { tab, 1, { QStringLiteral("scope") }, QStringLiteral("frames") };
    else if (tab == QLatin1String("ccd"))
        plan = { tab, 2, { QStringLiteral("ccd") }, QStringLiteral("lines") };
    else if (tab == QLatin1String("camera"))
        plan = { tab,
                 3,
                 { QStringLiteral("camera"), size[0], size[1], size[2], size[3] },
                 QStringLiteral("pictures") };
    else if (tab == QLatin1String("camera-text") || tab == QLatin1String("camera-binary"))
        plan = { tab,
                 3,
                 { QStringLiteral("camera"), size[0], size[1], size[2], size[3],
                   QStringLiteral("--framing"), QStringLiteral("header-") + tab.mid(7) },
                 QStringLiteral("pictures"),
                 true };
    else if (tab == QLatin1String("camera-full"))
        plan = { tab,
                 3,
                 { QStringLiteral("camera"), size[0], QStringLiteral("752"), size[2],
                   QStringLiteral("480"), QStringLiteral("--framing"),
                   QStringLiteral("header-binary") },
                 QStringLiteral("pictures"),
                 true };
    else if (const QString framing = tab.section(QLatin1Char('-'), 0, 0);
             (framing == QLatin1String("justfloat") || framing == QLatin1String("firewater"))
             && QStringList { framing, framing + QLatin1String("-trigger"),
                              framing + QLatin1String("-spectrum"),
                              framing + QLatin1String("-trigger-spectrum") }
                        .contains(tab))
        plan = { tab,
                 4,
                 { QStringLiteral("plot"), QStringLiteral("--framing"), framing,
                   QStringLiteral("--channels"),
                   QString::number(framing == QLatin1String("justfloat") ? 16 : 8) },
                 QStringLiteral("frames"),
                 false,
                 tab.contains(QLatin1String("-trigger")) };
    else
        return false;
    plan.simArguments << QStringLiteral("--seed") << QString::number(kSeed);
    plan.camera = camera;
    return true;
}

// The simulator's unit source for these arguments, as it makes its units.
std::unique_ptr<UnitSource> sourceFor(const QStringList &simArguments, const QString &rate)
{
    SimOptions options;
    QString error;
    parseSimArguments(QStringList { QStringLiteral("sim") } + simArguments
                              + QStringList { QStringLiteral("--rate"), rate },
                      true, options, error);
    return createUnitSource(options, error);
}

// Mean bytes per unit over the first units the simulator would send.
double meanUnitBytes(const QStringList &simArguments)
{
    QByteArray units;
    const qint64 n = 2000;
    sourceFor(simArguments, QStringLiteral("1000"))->generate(units, n);
    return double(units.size()) / double(n);
}

// A line of /proc/self/status ("VmRSS:   1234 kB") in MB.
double procStatusMB(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0.0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qsizetype(qstrlen(key))).trimmed().split(' ').value(0).toDouble()
                    * 1024.0 / 1e6;
    }
    return 0.0;
}

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
            + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(file.readAll().split(' ').value(0));
}

// Whether the file holds exactly the bytes the text source makes for units
// units, read and made a piece at a time.
bool fileHoldsUnits(const QString &path, const QStringList &simArguments, const QString &rate,
                    qint64 units)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const std::unique_ptr<UnitSource> source = sourceFor(simArguments, rate);
    QByteArray expected;
    for (qint64 made = 0; made < units;) {
        expected.clear();
        const qint64 step = qMin<qint64>(units - made, 10000);
        source->generate(expected, step);
        made += step;
        if (file.read(expected.size()) != expected)
            return false;
    }
    return file.atEnd();
}

// A UDP port of loopback that nobody uses right now.
quint16 freeUdpPort()
{
    QUdpSocket probe;
    return probe.bind(QHostAddress::LocalHost, 0) ? probe.localPort() : 0;
}

void sendDown(QProcess &sim)
{
    if (sim.state() == QProcess::NotRunning)
        return;
    sim.terminate();
    if (!sim.waitForFinished(5000))
        sim.kill();
    sim.waitForFinished(5000);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    Plan plan;
    const double mbPerSecond = args.value(2).toDouble();
    const double seconds = args.value(3).toDouble();
    const QString transport = args.value(4, QStringLiteral("serial"));
    const QStringList size = args.value(5).split(QLatin1Char('x'));
    const QSize camera = size.size() == 2 ? QSize(size.at(0).toInt(), size.at(1).toInt())
                                          : QSize(kCameraWidth, kCameraHeight);
    if (args.size() < 4 || args.size() > 6 || !planFor(args.value(1), camera, plan)
        || mbPerSecond <= 0.0 || seconds <= 0.0
        || !QStringList { QStringLiteral("serial"), QStringLiteral("tcp"), QStringLiteral("udp") }
                    .contains(transport)
        || camera.isEmpty()) {
        std::fprintf(stderr,
                     "usage: bench_soak hex|text|scope|ccd|camera|camera-text|camera-binary|"
                     "camera-full|justfloat|firewater|justfloat-trigger|firewater-trigger|"
                     "justfloat-spectrum|justfloat-trigger-spectrum MB_PER_S SECONDS "
                     "[serial|tcp|udp] "
                     "[WIDTHxHEIGHT]\n"
                     "(QT_QPA_PLATFORM=offscreen; the board simulator is " BOARDSIM_PROGRAM ")\n");
        return 2;
    }

    const double unitBytes = meanUnitBytes(plan.simArguments);
    const double unitRate = mbPerSecond * 1e6 / unitBytes;
    // The text's time stamps follow the rate: the same text for both ends.
    const QString rateText = QString::number(unitRate, 'f', 6);
    std::printf("%s over %s: %.3g MB/s for %.0f s, %.0f %s a second, load average %s\n",
                qPrintable(plan.tab), qPrintable(transport), mbPerSecond, seconds, unitRate,
                qPrintable(plan.unit), qPrintable(loadAverage()));
    std::fflush(stdout);

    QStringList link;
    if (transport == QLatin1String("tcp")) {
        link << QStringLiteral("--tcp-server") << QString::number(freeUdpPort());
    } else if (transport == QLatin1String("udp")) {
        link << QStringLiteral("--udp") << QStringLiteral("127.0.0.1:%1").arg(freeUdpPort());
    }
    QProcess sim;
    const auto startBoard = [&] {
        sim.start(QStringLiteral(BOARDSIM_PROGRAM),
                  QStringList(plan.simArguments)
                          << QStringLiteral("--rate") << rateText << QStringLiteral("--time")
                          << QString::number(seconds) << link);
        QDeadlineTimer started(10000);
        while (!sim.canReadLine() && !started.hasExpired())
            sim.waitForReadyRead(int(started.remainingTime()));
        const QString port = QString::fromLocal8Bit(sim.readLine()).trimmed();
        if (port.isEmpty())
            std::fprintf(stderr, "the simulator did not start: %s\n",
                         sim.readAllStandardError().constData());
        return port;
    };
    // Datagrams sent before the window listens are gone: a UDP board starts last.
    const bool boardFirst = transport != QLatin1String("udp");
    const QString port
            = boardFirst ? startBoard() : QStringLiteral("udp://:") + link.last().section(':', 1);
    if (port.isEmpty()) {
        sendDown(sim);
        return 1;
    }

    MainWindow window;
    window.setCurrentTab(plan.tabIndex);
    if (plan.tabIndex == 0)
        window.terminal()->setHexDisplay(plan.tab == QLatin1String("hex"));
    if (plan.tabIndex == 1) {
        // All four channels on: four traces to paint.
        for (int ch = 1; ch < 4; ++ch)
            window.oscilloscope()->setChannelScaleIndex(
                    ch, window.oscilloscope()->channelScaleIndex(0));
    }
    if (plan.trigger) {
        // The last channel is the fastest wave; its name comes with the data.
        auto *panel = window.plotter()->findChild<TriggerPanel *>();
        panel->setSource(plan.tab.startsWith(QLatin1String("justfloat")) ? 15 : 7);
        panel->setOn(true);
    }
    if (plan.tabIndex == 3 && plan.header)
        window.ccd()->setFraming(CCD::Framing::Header);
    else if (plan.tabIndex == 3)
        window.ccd()->setPictureSize(plan.camera);
    if (plan.tab.endsWith(QLatin1String("-spectrum"))) {
        window.plotter()->setView(Plotter::View::Spectrum);
        window.plotter()->spectrumPage()->setPoints(16384);
    }
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;

    // The machine's share of the lateness: the window idle, the port closed.
    LatenessProbe probe;
    probe.start();
    QTest::qWait(5000);
    probe.stop();
    std::printf("lateness, idle window for 5 s (ms): p50 %.2f, p99 %.2f, max %.2f\n",
                probe.quantileMs(0.5), probe.quantileMs(0.99), probe.quantileMs(1.0));

    // The board reports its total once its time is up: "sent 300 lines
    // (12345 bytes)".
    const QRegularExpression sentNotice(QStringLiteral("sent (\\d+) \\S+ \\((\\d+) bytes\\)"));
    QByteArray notices;
    qint64 units = 0;
    qint64 sentBytes = -1;
    double sentAt = 0.0;

    const double rssStart = procStatusMB("VmRSS:");
    const double cpuStart = cpuSeconds();
    QElapsedTimer clock;
    window.serialPanel()->setPortEntry(port);
    window.serialPanel()->openChosenPort();
    // A client connects in the background.
    for (int i = 0; i < 100 && window.connection()->state() == SerialConnection::State::Connecting;
         ++i)
        QTest::qWait(50);
    if (!window.connection()->isOpen()) {
        std::fprintf(stderr, "the window could not open %s\n", qPrintable(port));
        sendDown(sim);
        return 1;
    }
    if (!boardFirst && startBoard().isEmpty()) {
        sendDown(sim);
        return 1;
    }
    clock.start();
    probe.start();

    // Sampled four times a second: memory, and how far the window is behind
    // the board's schedule (at a steady rate, rate x time bytes are due).
    const double bytesPerSecond = mbPerSecond * 1e6;
    double rssAtHalf = 0.0;
    double rssAtEnd = 0.0;
    double rssPeak = rssStart;
    double behindAtHalfMB = 0.0;
    double behindAtEndMB = 0.0;
    double arrivedAt = -1.0;
    // Over UDP what was dropped never comes: the end is a second of quiet.
    qint64 lastReceived = -1;
    double quietSince = 0.0;
    QEventLoop loop;
    QTimer sampler;
    sampler.setInterval(250);
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const double t = double(clock.elapsed()) / 1000.0;
        const double rss = procStatusMB("VmRSS:");
        rssPeak = qMax(rssPeak, rss);
        const double received = double(window.connection()->receivedBytes());
        const double behindMB = (qMin(t, seconds) * bytesPerSecond - received) / 1e6;
        if (rssAtHalf == 0.0 && t >= seconds / 2) {
            rssAtHalf = rss;
            behindAtHalfMB = behindMB;
        }
        if (rssAtEnd == 0.0 && t >= seconds) {
            rssAtEnd = rss;
            behindAtEndMB = behindMB;
        }
        notices += sim.readAllStandardError();
        const QRegularExpressionMatch match = sentNotice.match(QString::fromLocal8Bit(notices));
        if (sentBytes < 0 && match.hasMatch()) {
            units = match.captured(1).toLongLong();
            sentBytes = match.captured(2).toLongLong();
            sentAt = t;
        }
        if (sentBytes >= 0 && window.connection()->receivedBytes() >= sentBytes) {
            arrivedAt = t;
            loop.quit();
        }
        if (window.connection()->receivedBytes() != lastReceived) {
            lastReceived = window.connection()->receivedBytes();
            quietSince = t;
        }
        if (transport == QLatin1String("udp") && sentBytes >= 0 && t - quietSince > 1.0)
            loop.quit();
        // A window far behind: give up a minute after the board stopped.
        if (t > seconds + 60)
            loop.quit();
    });
    sampler.start();
    loop.exec();
    sampler.stop();
    probe.stop();

    const double cpu = cpuSeconds() - cpuStart;
    const double rssEnd = procStatusMB("VmRSS:");
    if (rssAtEnd == 0.0)
        rssAtEnd = rssEnd;
    rssPeak = qMax(rssPeak, rssEnd);
    const qint64 received = window.connection()->receivedBytes();
    const double receivedMB = double(received) / 1e6;

    const double drainSeconds = arrivedAt < 0 ? -1.0 : arrivedAt - sentAt;
    std::printf("board: sent %lld bytes in %.1f s (%.2f MB/s); the window had them all %s\n",
                sentBytes, sentAt, double(qMax<qint64>(sentBytes, 0)) / 1e6 / qMax(sentAt, 1e-3),
                drainSeconds < 0
                        ? "never"
                        : qPrintable(QStringLiteral("%1 s later").arg(drainSeconds, 0, 'f', 2)));
    // Where the line carried less than asked, and the window was mostly idle
    // meanwhile, the shortfall is the virtual port's on this machine.
    std::printf("short of the rate asked: %.1f MB at half time, %.1f MB at the end; the window "
                "was busy %.0f %% of the time\n",
                behindAtHalfMB, behindAtEndMB,
                cpu / qMax(double(clock.elapsed()) / 1000.0, 1e-3) * 100.0);
    const double p50 = probe.quantileMs(0.5);
    const double p99 = probe.quantileMs(0.99);
    const double worst = probe.quantileMs(1.0);
    std::printf("lateness of a 10 ms timer (ms): p50 %.2f, p99 %.2f, max %.2f at %.1f s "
                "(%lld timeouts)\n",
                p50, p99, worst, probe.worstAtSeconds(), qint64(probe.count()));
    const double growth = rssAtHalf > 0.0 ? (rssAtEnd - rssAtHalf) / rssAtHalf * 100.0 : 0.0;
    std::printf("resident memory (MB): start %.1f, peak %.1f, end %.1f; last half %+.1f %%\n",
                rssStart, rssPeak, rssAtEnd, growth);
    std::printf("CPU: %.1f s for %.1f MB, %.3f s per MB (load average now %s)\n", cpu, receivedMB,
                cpu / qMax(receivedMB, 1e-9), qPrintable(loadAverage()));

    bool nothingLost = arrivedAt >= 0 && received == sentBytes;
    if (plan.tabIndex == 0) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("saved.bin"));
        {
            DialogDriver dialogs;
            dialogs.fileAnswers << path;
            window.terminal()
                    ->findChild<QAbstractButton *>(QStringLiteral("SaveDataGettedBnt"))
                    ->click();
        }
        const qint64 saved = QFileInfo(path).size();
        const bool same = fileHoldsUnits(path, plan.simArguments, rateText, units);
        std::printf("terminal: saved %lld bytes of %lld sent, %s\n", saved, sentBytes,
                    same ? "the same bytes" : "NOT the bytes sent");
        nothingLost = nothingLost && saved == sentBytes && same;
    } else if (plan.tabIndex == 1) {
        const ScopeFrameStats &stats = window.oscilloscope()->frameStats();
        std::printf("scope: %lld frames sent, %lld decoded, %lld bytes thrown away, %lld "
                    "resyncs\n",
                    units, stats.frames, stats.garbageBytes, stats.resyncs);
        if (transport == QLatin1String("udp")) {
            // The simulator puts whole frames into datagrams of 127 frames.
            const qint64 datagramBytes = 127 * 11;
            const qint64 sentDatagrams = (sentBytes + datagramBytes - 1) / datagramBytes;
            const qint64 lostBytes = sentBytes - received;
            std::printf("udp: %lld datagrams sent, %lld lost by the system (%.3f %%), %lld "
                        "frames lost; every frame that arrived decoded: %s\n",
                        sentDatagrams, lostBytes / datagramBytes,
                        100.0 * double(lostBytes) / double(qMax<qint64>(sentBytes, 1)),
                        units - stats.frames,
                        stats.frames * 11 == received && stats.garbageBytes == 0 ? "yes" : "NO");
            nothingLost = stats.frames * 11 == received && stats.garbageBytes == 0;
        } else {
            nothingLost = nothingLost && stats.frames == units && stats.garbageBytes == 0;
        }
    } else if (plan.tabIndex == 4) {
        const PlotStats stats = window.plotter()->stats();
        std::printf("plotter: %lld frames sent, %lld decoded, %lld garbage bytes\n", units,
                    stats.frames, stats.garbageBytes);
        nothingLost = nothingLost && stats.frames == units && stats.garbageBytes == 0;
    } else {
        const FrameStats &stats = plan.tabIndex == 2 ? window.linearCCD()->frameStats()
                                                     : window.ccd()->frameStats();
        std::printf("%s: %lld sent, %lld shown + %lld skipped = %lld, %lld misplaced (end "
                    "bytes or bad headers)\n",
                    qPrintable(plan.unit), units, stats.taken, stats.skipped,
                    stats.taken + stats.skipped, stats.misplaced);
        nothingLost = nothingLost && stats.taken + stats.skipped == units && stats.misplaced == 0;
    }

    QStringList missed;
    if (p99 > kLatenessP99Ms || worst > kLatenessMaxMs)
        missed << QStringLiteral("lateness");
    if (rssAtEnd > kMemoryEndMB || growth >= kGrowthPercent)
        missed << QStringLiteral("memory");
    if (!nothingLost)
        missed << QStringLiteral("arrival");
    // What the board sent and the window had not read when the board stopped.
    if (drainSeconds < 0 || drainSeconds > 1.0)
        missed << QStringLiteral("backlog");
    std::printf("targets: %s\n",
                missed.isEmpty() ? "all met"
                                 : qPrintable(QStringLiteral("missed: ") + missed.join(", ")));

    window.connection()->close();
    sendDown(sim);
    return 0;
}

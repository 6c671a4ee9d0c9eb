// Feeds the terminal tab 10 MB in 4 KiB deliveries, in hexadecimal and in text
// display, then re-renders each mode from what the display holds. Prints the
// throughput, the slowest delivery (including the repaint that follows it),
// the re-render times and the peak memory.
//
// Then feeds it at 2 MB/s for some seconds in each mode, as a port would, and
// prints how late a 10 ms timer on the same thread fired meanwhile (p50, p99,
// maximum) and the memory at the end.
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_terminal [megabytes [seconds]]

#include "comassistant.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRadioButton>
#include <QSerialPort>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

qsizetype g_total = 10 * 1000 * 1000;
double g_pacedSeconds = 20;
constexpr qsizetype kDelivery = 4096;
constexpr double kPacedRate = 2e6;

// Lines such as a board prints while driving: numbers, labels, some Chinese.
QByteArray boardText()
{
    QByteArray text;
    int line = 0;
    while (text.size() < g_total) {
        text += QStringLiteral("#%1 速度=%2 偏差=%3 left=%4 right=%5 舵机=%6\r\n")
                        .arg(line)
                        .arg(line % 300)
                        .arg(line % 41 - 20)
                        .arg(line % 128)
                        .arg((line * 7) % 128)
                        .arg(1500 + line % 200)
                        .toLocal8Bit();
        ++line;
    }
    text.truncate(g_total);
    return text;
}

qint64 memoryKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

qint64 peakMemoryKiB()
{
    return memoryKiB("VmHWM:");
}

// Feeds stream at kPacedRate from a 1 ms timer, in deliveries of at most
// kDelivery bytes, while a 10 ms timer measures how late it fires.
void paced(const char *mode, const QByteArray &stream)
{
    QSerialPort *port = nullptr;
    ComAssistant tab(nullptr, &port);
    tab.resize(760, 420);
    tab.show();
    tab.setHexDisplay(qstrcmp(mode, "hex") == 0);
    QCoreApplication::processEvents();

    QElapsedTimer clock;
    clock.start();
    qint64 fed = 0;
    QTimer feeder;
    feeder.setTimerType(Qt::PreciseTimer);
    QObject::connect(&feeder, &QTimer::timeout, [&] {
        const qint64 due = qint64(clock.nsecsElapsed() / 1e9 * kPacedRate);
        while (fed < due) {
            QByteArray buffer = stream.mid(fed % stream.size(), qMin<qint64>(due - fed, kDelivery));
            fed += buffer.size();
            tab.handleData(buffer);
        }
    });
    std::vector<double> lateness;
    qint64 lastNs = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (lastNs > 0)
            lateness.push_back(std::max(0.0, (now - lastNs) / 1e6 - 10.0));
        lastNs = now;
    });
    QEventLoop loop;
    QTimer::singleShot(int(g_pacedSeconds * 1000), &loop, &QEventLoop::quit);
    feeder.start(1);
    probe.start(10);
    loop.exec();

    std::sort(lateness.begin(), lateness.end());
    auto at = [&](double q) {
        return lateness.empty() ? 0.0 : lateness[size_t(q * (lateness.size() - 1))];
    };
    std::printf("%-4s display at %.1f MB/s for %.0f s: %.1f MB fed, timer late p50 %.1f ms, "
                "p99 %.1f ms, max %.1f ms; memory now %.0f MiB\n",
                mode, kPacedRate / 1e6, g_pacedSeconds, fed / 1e6, at(0.5), at(0.99), at(1.0),
                memoryKiB("VmRSS:") / 1024.0);
}

void run(const char *mode, const QByteArray &stream)
{
    QSerialPort *port = nullptr;
    ComAssistant tab(nullptr, &port);
    tab.resize(760, 420);
    tab.show();
    const bool text = qstrcmp(mode, "text") == 0;
    auto *textButton = tab.findChild<QRadioButton *>(QStringLiteral("GettedTextBnt"));
    auto *hexButton = tab.findChild<QRadioButton *>(QStringLiteral("GettedHexBnt"));
    (text ? textButton : hexButton)->click();
    QCoreApplication::processEvents();

    QElapsedTimer total;
    QElapsedTimer one;
    qint64 slowestNs = 0;
    total.start();
    for (qsizetype pos = 0; pos < stream.size(); pos += kDelivery) {
        one.start();
        QByteArray buffer = stream.mid(pos, kDelivery);
        tab.handleData(buffer);
        QCoreApplication::processEvents();
        slowestNs = std::max(slowestNs, one.nsecsElapsed());
    }
    const double seconds = total.nsecsElapsed() / 1e9;
    std::printf("%-4s display: %.1f MB in %.2f s = %.2f MB/s, slowest delivery %.1f ms\n", mode,
                stream.size() / 1e6, seconds, stream.size() / 1e6 / seconds, slowestNs / 1e6);

    for (QRadioButton *button : { hexButton, textButton }) {
        one.start();
        button->click();
        QCoreApplication::processEvents();
        std::printf("     re-render of %.0f MB as %s: %.2f s\n", stream.size() / 1e6,
                    button == hexButton ? "hex " : "text", one.nsecsElapsed() / 1e9);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc > 1)
        g_total = qsizetype(QByteArray(argv[1]).toDouble() * 1e6);
    if (argc > 2)
        g_pacedSeconds = QByteArray(argv[2]).toDouble();
    QByteArray binary(g_total, Qt::Uninitialized);
    for (qsizetype i = 0; i < binary.size(); ++i)
        binary[i] = char((i * 131 + (i >> 8)) & 0xFF);
    const QByteArray text = boardText();
    run("hex", binary);
    run("text", text);
    paced("hex", binary);
    paced("text", text);
    std::printf("peak memory: %.0f MiB\n", peakMemoryKiB() / 1024.0);
    return 0;
}

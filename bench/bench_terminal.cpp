// Feeds the terminal tab 10 MB in 4 KiB deliveries, in hexadecimal and in text
// display, then re-renders each mode from the whole history. Prints the
// throughput, the slowest delivery (including the repaint that follows it),
// the re-render times and the peak memory.
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_terminal [megabytes]

#include "comassistant.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRadioButton>
#include <QSerialPort>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

qsizetype g_total = 10 * 1000 * 1000;
constexpr qsizetype kDelivery = 4096;

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

qint64 peakMemoryKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
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
    QByteArray binary(g_total, Qt::Uninitialized);
    for (qsizetype i = 0; i < binary.size(); ++i)
        binary[i] = char((i * 131 + (i >> 8)) & 0xFF);
    run("hex", binary);
    run("text", boardText());
    std::printf("peak memory: %.0f MiB\n", peakMemoryKiB() / 1024.0);
    return 0;
}

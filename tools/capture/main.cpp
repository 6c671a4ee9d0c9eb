// smartcar-capture: what a capture or raw dump holds, and its frames as CSV
// or picture files. See its manual page for the layouts and exit statuses.

#include "capturesource.h"
#include "csvtext.h"
#include "framesplitter.h"
#include "plotcsvconverter.h"
#include "plotframingdetector.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QRect>
#include <QRegularExpression>
#include <QSize>

#include <cstdio>

namespace {

// Exit statuses: done; the capture is damaged and what came before the damage
// was converted; a bad option or a file that cannot be read or written.
enum ExitStatus { kDone = 0, kDamaged = 1, kBad = 2 };

constexpr int kLinePixels = 128;
// Output goes out in blocks of about this size.
constexpr qsizetype kWriteBlock = 1 << 20;

const char kUsage[] = "usage: smartcar-capture info FILE\n"
                      "       smartcar-capture csv [--framing "
                      "auto|firewater|justfloat|teleplot|plain|scope] FILE\n"
                      "       smartcar-capture lines FILE\n"
                      "       smartcar-capture pictures --size WxH FILE DIR\n";

void say(const QString &message)
{
    std::fprintf(stderr, "smartcar-capture: %s\n", qUtf8Printable(message));
}

int bad(const QString &message)
{
    say(message);
    return kBad;
}

void writeOut(QByteArray &out, bool force = false)
{
    if (out.size() < kWriteBlock && !force)
        return;
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    out.clear();
}

// Says where a damaged capture broke; the status the command ends with.
int finish(const CaptureSource &source, const QString &path)
{
    if (!source.damaged())
        return kDone;
    say(QStringLiteral("%1: damaged from byte %2 on (%3); converted what came before")
                .arg(path)
                .arg(source.damageOffset())
                .arg(source.damageText()));
    return kDamaged;
}

// The first bytes of the data, up to what the framing detector decides on.
QByteArray readHead(CaptureSource &source)
{
    QByteArray head;
    CaptureRecord record;
    while (head.size() < PlotFramingDetector::kDecideBytes && source.next(record))
        head.append(record.bytes);
    return head.left(PlotFramingDetector::kDecideBytes);
}

// The framing the window's 自动 would pick. A file too short for it to decide
// is all there will be: it is decided as a long enough head would be.
PlotFraming detectFraming(const QByteArray &head)
{
    if (const auto framing = PlotFramingDetector::detect(head))
        return *framing;
    return *PlotFramingDetector::detect(head + QByteArray(PlotFramingDetector::kDecideBytes, '\n'));
}

int runInfo(CaptureSource &source, const QString &path)
{
    QByteArray out;
    const auto line = [&out](const char *key, const QString &value) {
        out.append(key).append(": ").append(value.toUtf8()).append('\n');
    };
    line("file", path);
    line("size", QStringLiteral("%1 bytes").arg(source.fileSize()));
    QFile file(path);
    CaptureSummary summary;
    if (source.isCapture() && file.open(QIODevice::ReadOnly)
        && summarizeCapture(&file, summary) == CaptureReader::Kind::Capture) {
        QByteArray seconds;
        CsvText::appendSeconds(seconds, summary.durationMicros);
        line("format", QStringLiteral("capture, version %1").arg(CaptureFormat::kVersion));
        line("duration",
             QStringLiteral("%1 s (%2)")
                     .arg(QString::fromLatin1(seconds),
                          durationText(qint64(summary.durationMicros / 1000))));
        line("records", QString::number(summary.records));
        line("data", QStringLiteral("%1 bytes").arg(summary.bytes));
    } else {
        line("format", QStringLiteral("raw bytes, without arrival times"));
        line("data", QStringLiteral("%1 bytes").arg(source.fileSize()));
    }

    const QByteArray head = readHead(source);
    const PlotFraming framing = detectFraming(head);
    const auto decoder = PlotDecoder::create(framing);
    QByteArray buffer = head;
    PlotBatch batch;
    decoder->decode(buffer, batch);
    const PlotStats &stats = decoder->stats();
    line("plot framing",
         stats.frames > 0 ? QStringLiteral("%1 by its first bytes (%2 frames of %3 channels)")
                                    .arg(PlotDecoder::framingName(framing))
                                    .arg(stats.frames)
                                    .arg(decoder->channelNames().size())
                          : QStringLiteral("none recognised"));

    int status = kDone;
    if (source.isCapture()) {
        if (summary.end == CaptureReader::Status::End) {
            line("damage", QStringLiteral("none"));
        } else {
            line("damage",
                 QStringLiteral("from byte %1 on: %2")
                         .arg(summary.usableEnd)
                         .arg(summary.end == CaptureReader::Status::Truncated
                                      ? QStringLiteral("the file ends inside a record")
                                      : QStringLiteral("a record that cannot be (too long, "
                                                       "or going back in time)")));
            status = kDamaged;
        }
    }
    writeOut(out, true);
    return status;
}

// plotFraming: nothing for the oscilloscope's frames.
int runCsv(CaptureSource &source, const QString &path, std::optional<PlotFraming> plotFraming)
{
    if (plotFraming == PlotFraming::Auto) {
        plotFraming = detectFraming(readHead(source));
        source.rewind();
    }

    PlotCsvConverter converter(plotFraming, source.isCapture());
    CaptureRecord record;
    while (source.next(record))
        converter.learn(record.bytes);
    source.rewind();

    QByteArray out = converter.startWriting();
    while (source.next(record)) {
        converter.convert(record.bytes, record.micros, out);
        writeOut(out);
    }
    writeOut(out, true);
    if (converter.skippedBytes() > 0)
        say(QStringLiteral("%1: %2 bytes were no frames (garbage or text), %3 frames converted")
                    .arg(path)
                    .arg(converter.skippedBytes())
                    .arg(converter.frames()));
    if (converter.xyPoints() > 0)
        say(QStringLiteral("%1: %2 XY points left out (the CSV has no columns for them)")
                    .arg(path)
                    .arg(converter.xyPoints()));
    return finish(source, path);
}

// Cuts the frames of pixelCount pixels out of the file and hands each to
// take with its arrival time; what fell between whole frames is reported.
template<typename Take>
int splitFrames(CaptureSource &source, const QString &path, int pixelCount, Take take)
{
    FrameSplitter splitter(pixelCount);
    CaptureRecord record;
    while (source.next(record)) {
        for (const QByteArray &frame : splitter.feed(record.bytes)) {
            if (!take(frame, record.micros))
                return kBad;
        }
    }
    if (splitter.stats().droppedBytes > 0)
        say(QStringLiteral("%1: %2 bytes outside whole frames skipped, %3 frames converted")
                    .arg(path)
                    .arg(splitter.stats().droppedBytes)
                    .arg(splitter.stats().taken));
    return finish(source, path);
}

int runLines(CaptureSource &source, const QString &path)
{
    const bool timed = source.isCapture();
    QByteArray out;
    if (timed)
        out.append("time_s,");
    for (int pixel = 0; pixel < kLinePixels; ++pixel)
        out.append(QByteArray::number(pixel)).append(pixel + 1 < kLinePixels ? ',' : '\n');
    const int status
            = splitFrames(source, path, kLinePixels, [&](const QByteArray &frame, quint64 micros) {
                  if (timed) {
                      CsvText::appendSeconds(out, micros);
                      out.append(',');
                  }
                  for (int pixel = 0; pixel < kLinePixels; ++pixel) {
                      out.append(QByteArray::number(quint8(frame[pixel])));
                      out.append(pixel + 1 < kLinePixels ? ',' : '\n');
                  }
                  writeOut(out);
                  return true;
              });
    writeOut(out, true);
    return status;
}

int runPictures(CaptureSource &source, const QString &path, QSize size, const QString &folder)
{
    const int width = size.width();
    const int height = size.height();
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")))
        return bad(QStringLiteral("%1: cannot make the folder").arg(folder));

    const bool timed = source.isCapture();
    QByteArray out = timed ? "file,time_s\n" : "file\n";
    int number = 0;
    const int status = splitFrames(
            source, path, width * height, [&](const QByteArray &frame, quint64 micros) {
                const QString name
                        = QStringLiteral("picture_%1.png").arg(++number, 6, 10, QChar(u'0'));
                const QImage picture(reinterpret_cast<const uchar *>(frame.constData()), width,
                                     height, width, QImage::Format_Grayscale8);
                if (!picture.save(dir.filePath(name), "PNG")) {
                    say(QStringLiteral("%1: cannot write").arg(dir.filePath(name)));
                    return false;
                }
                CsvText::appendText(out, name);
                if (timed) {
                    out.append(',');
                    CsvText::appendSeconds(out, micros);
                }
                out.append('\n');
                writeOut(out);
                return true;
            });
    writeOut(out, true);
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.value(0) == QLatin1String("--help") || args.value(0) == QLatin1String("-h")) {
        std::fputs(kUsage, stdout);
        return kDone;
    }
    if (args.value(0) == QLatin1String("--version") || args.value(0) == QLatin1String("-v")) {
        std::puts("smartcar-capture " CAPTURE_TOOL_VERSION);
        return kDone;
    }
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    const QStringList commands { QStringLiteral("info"), QStringLiteral("csv"),
                                 QStringLiteral("lines"), QStringLiteral("pictures") };
    if (!commands.contains(command))
        return bad(command.isEmpty() ? QStringLiteral("no command: info, csv, lines or pictures")
                                     : QStringLiteral("unknown command '%1': info, csv, lines "
                                                      "or pictures")
                                               .arg(command));

    // The one option each command may have: --name VALUE or --name=VALUE.
    const QString allowed = command == QLatin1String("csv") ? QStringLiteral("--framing")
            : command == QLatin1String("pictures")          ? QStringLiteral("--size")
                                                            : QString();
    QString option = command == QLatin1String("csv") ? QStringLiteral("auto") : QString();
    QStringList positional;
    while (!args.isEmpty()) {
        QString arg = args.takeFirst();
        if (!arg.startsWith(QLatin1String("--"))) {
            positional.append(arg);
            continue;
        }
        const qsizetype equals = arg.indexOf(u'=');
        const QString name = arg.left(equals);
        if (allowed.isEmpty() || name != allowed)
            return bad(QStringLiteral("%1 takes no option %2").arg(command, name));
        if (equals < 0 && args.isEmpty())
            return bad(QStringLiteral("%1 needs a value").arg(name));
        option = equals < 0 ? args.takeFirst() : arg.mid(equals + 1);
    }
    const int wanted = command == QLatin1String("pictures") ? 2 : 1;
    if (positional.size() != wanted)
        return bad(QStringLiteral("%1 takes %2")
                           .arg(command,
                                wanted == 2 ? QStringLiteral("FILE DIR") : QStringLiteral("FILE")));
    if (command == QLatin1String("pictures") && option.isEmpty())
        return bad(QStringLiteral("pictures needs --size WxH"));

    std::optional<PlotFraming> plotFraming;
    if (command == QLatin1String("csv")
        && option.compare(QLatin1String("scope"), Qt::CaseInsensitive) != 0) {
        plotFraming = PlotDecoder::framingFromName(option);
        if (!plotFraming)
            return bad(QStringLiteral("unknown framing '%1': auto, firewater, justfloat, "
                                      "teleplot, plain or scope")
                               .arg(option));
    }

    QSize pictureSize;
    if (command == QLatin1String("pictures")) {
        // The sizes the camera tab offers.
        const QRegularExpressionMatch match
                = QRegularExpression(QStringLiteral("^(\\d{1,3})x(\\d{1,3})$")).match(option);
        if (match.hasMatch())
            pictureSize = QSize(match.captured(1).toInt(), match.captured(2).toInt());
        if (!QRect(1, 1, 320, 240).contains(pictureSize.width(), pictureSize.height()))
            return bad(QStringLiteral("picture size '%1' is not WxH within 1x1 to 320x240")
                               .arg(option));
    }

    const QString path = positional[0];
    CaptureSource source(path);
    QString error;
    if (!source.open(error))
        return bad(QStringLiteral("%1: %2").arg(path, error));
    int status;
    if (command == QLatin1String("info"))
        status = runInfo(source, path);
    else if (command == QLatin1String("csv"))
        status = runCsv(source, path, plotFraming);
    else if (command == QLatin1String("lines"))
        status = runLines(source, path);
    else
        status = runPictures(source, path, pictureSize, positional[1]);
    // A full disk under a redirection must not pass for a converted file.
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return bad(QStringLiteral("cannot write the standard output"));
    return status;
}

#include "simoptions.h"

#include "networkaddress.h"

#include <QCommandLineParser>

#include <cmath>
#include <limits>

namespace {

constexpr double kMaxRate = 1.0e6;
constexpr double kMaxFrequency = 1.0e6;
constexpr int kMaxAmplitude = 32767;
// The camera tab's picture size limits.
constexpr int kMaxWidth = 320;
constexpr int kMaxHeight = 240;
// Pictures led by a header may be as large as the sensor's full frame.
constexpr int kMaxHeaderWidth = 752;
constexpr int kMaxHeaderHeight = 480;

const QString kModes = QStringLiteral("text, scope, ccd, camera, plot or replay FILE");
constexpr int kMaxPlotChannels = 64;

double defaultRate(SimMode mode, qint32 baud)
{
    switch (mode) {
    case SimMode::Text:
        return 10.0;
    case SimMode::Scope:
        return 500.0;
    case SimMode::Ccd:
        return 50.0;
    case SimMode::Camera:
        return 10.0;
    case SimMode::Plot:
        return 100.0;
    case SimMode::Replay:
        // What the line carries at that speed with 10 bits per byte (8N1).
        return baud / 10.0;
    }
    return 1.0;
}

bool parseMode(const QString &name, SimMode &mode)
{
    static const struct
    {
        const char *name;
        SimMode mode;
    } modes[] = { { "text", SimMode::Text }, { "scope", SimMode::Scope },
                  { "ccd", SimMode::Ccd },   { "camera", SimMode::Camera },
                  { "plot", SimMode::Plot }, { "replay", SimMode::Replay } };
    for (const auto &entry : modes) {
        if (name == QLatin1String(entry.name)) {
            mode = entry.mode;
            return true;
        }
    }
    return false;
}

bool parseWhole(const QString &text, qint64 low, qint64 high, qint64 &value)
{
    bool ok = false;
    const qint64 parsed = text.toLongLong(&ok, 10);
    if (!ok || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

bool parseReal(const QString &text, double low, double high, double &value)
{
    bool ok = false;
    const double parsed = text.toDouble(&ok);
    if (!ok || !std::isfinite(parsed) || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

// One value for all four channels, or four values separated by commas.
template<typename T, typename Parse>
bool parseChannels(const QString &text, std::array<T, 4> &values, Parse parse)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 1 && parts.size() != 4)
        return false;
    std::array<T, 4> parsed {};
    for (int n = 0; n < 4; ++n) {
        if (!parse(parts.at(parts.size() == 1 ? 0 : n).trimmed(), parsed[n]))
            return false;
    }
    values = parsed;
    return true;
}

QString quoted(const QString &text)
{
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

} // namespace

ParseOutcome parseSimArguments(const QStringList &arguments, bool virtualPorts, SimOptions &options,
                               QString &error)
{
    const QCommandLineOption help(QStringList { QStringLiteral("h"), QStringLiteral("help") });
    const QCommandLineOption version(
            QStringList { QStringLiteral("v"), QStringLiteral("version") });
    const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption baud(QStringLiteral("baud"), QString(), QStringLiteral("N"));
    const QCommandLineOption rate(QStringLiteral("rate"), QString(), QStringLiteral("R"));
    const QCommandLineOption count(QStringLiteral("count"), QString(), QStringLiteral("N"));
    const QCommandLineOption time(QStringLiteral("time"), QString(), QStringLiteral("S"));
    const QCommandLineOption seed(QStringLiteral("seed"), QString(), QStringLiteral("N"));
    const QCommandLineOption stay(QStringLiteral("stay"));
    const QCommandLineOption loop(QStringLiteral("loop"));
    const QCommandLineOption freq(QStringLiteral("freq"), QString(), QStringLiteral("F"));
    const QCommandLineOption amplitude(QStringLiteral("amplitude"), QString(), QStringLiteral("A"));
    const QCommandLineOption width(QStringLiteral("width"), QString(), QStringLiteral("W"));
    const QCommandLineOption height(QStringLiteral("height"), QString(), QStringLiteral("H"));
    const QCommandLineOption framing(QStringLiteral("framing"), QString(), QStringLiteral("F"));
    const QCommandLineOption jpeg(QStringLiteral("jpeg"));
    const QCommandLineOption channels(QStringLiteral("channels"), QString(), QStringLiteral("N"));
    const QCommandLineOption tcpServer(QStringLiteral("tcp-server"), QString(),
                                       QStringLiteral("[ADDRESS:]PORT"));
    const QCommandLineOption tcp(QStringLiteral("tcp"), QString(), QStringLiteral("HOST:PORT"));
    const QCommandLineOption udp(QStringLiteral("udp"), QString(), QStringLiteral("HOST:PORT"));

    QCommandLineParser parser;
    parser.addOptions({ help,    version, port,     baud,      rate,      count, time,
                        seed,    stay,    loop,     freq,      amplitude, width, height,
                        framing, jpeg,    channels, tcpServer, tcp,       udp });
    if (!parser.parse(arguments)) {
        // The parser's sentence, fitted to the style of the other messages.
        error = parser.errorText();
        if (error.endsWith(QLatin1Char('.')))
            error.chop(1);
        if (!error.isEmpty())
            error[0] = error.at(0).toLower();
        return ParseOutcome::Error;
    }
    if (parser.isSet(help))
        return ParseOutcome::Help;
    if (parser.isSet(version))
        return ParseOutcome::Version;

    SimOptions result;
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        error = QStringLiteral("no mode given: choose ") + kModes;
        return ParseOutcome::Error;
    }
    if (!parseMode(positional.first(), result.mode)) {
        error = QStringLiteral("unknown mode ") + quoted(positional.first())
                + QStringLiteral(": choose ") + kModes;
        return ParseOutcome::Error;
    }
    qsizetype used = 1;
    if (result.mode == SimMode::Replay) {
        if (positional.size() < 2 || positional.at(1).isEmpty()) {
            error = QStringLiteral("replay needs the FILE to send");
            return ParseOutcome::Error;
        }
        result.file = positional.at(1);
        used = 2;
    }
    if (positional.size() > used) {
        error = QStringLiteral("unexpected argument ") + quoted(positional.at(used));
        return ParseOutcome::Error;
    }

    // Options that only make sense in one mode are refused in the others, so
    // that a mistyped mode does not silently ignore them.
    const struct
    {
        const QCommandLineOption &option;
        bool allowed;
        const char *where;
    } scoped[] = { { freq, result.mode == SimMode::Scope, "scope mode" },
                   { amplitude, result.mode == SimMode::Scope, "scope mode" },
                   { width, result.mode == SimMode::Camera, "camera mode" },
                   { height, result.mode == SimMode::Camera, "camera mode" },
                   { framing, result.mode == SimMode::Camera || result.mode == SimMode::Plot,
                     "camera or plot mode" },
                   { jpeg, result.mode == SimMode::Camera, "camera mode" },
                   { channels, result.mode == SimMode::Plot, "plot mode" },
                   { loop, result.mode == SimMode::Replay, "replay mode" },
                   { baud, parser.isSet(port), "--port" } };
    for (const auto &entry : scoped) {
        if (parser.isSet(entry.option) && !entry.allowed) {
            error = QStringLiteral("--%1 applies to %2 only")
                            .arg(entry.option.names().constFirst(), QLatin1String(entry.where));
            return ParseOutcome::Error;
        }
    }

    const QCommandLineOption *network = nullptr;
    int lines = parser.isSet(port) ? 1 : 0;
    for (const QCommandLineOption *option : { &tcpServer, &tcp, &udp }) {
        if (parser.isSet(*option)) {
            network = option;
            ++lines;
        }
    }
    if (lines > 1) {
        error = QStringLiteral("--port, --tcp-server, --tcp and --udp exclude each other");
        return ParseOutcome::Error;
    }
    if (network) {
        // The board's end of what the program opens: a module serving on a
        // port (loopback unless an address is given), or a board that
        // connects or sends to the program.
        QString value = parser.value(*network);
        QString scheme = QStringLiteral("tcp");
        if (network == &tcpServer) {
            scheme = QStringLiteral("tcp-server");
            if (!value.contains(QLatin1Char(':')))
                value.prepend(QStringLiteral("127.0.0.1:"));
        } else if (network == &udp) {
            scheme = QStringLiteral("udp");
        }
        const NetworkAddress address
                = NetworkAddress::parse(scheme + QStringLiteral("://") + value);
        if (!address.isValid() || address.host().isEmpty() || address.localPort() != 0) {
            error = QStringLiteral("--%1 wants %2, not %3")
                            .arg(network->names().constFirst(), network->valueName(),
                                 quoted(parser.value(*network)));
            return ParseOutcome::Error;
        }
        result.network = address.toString();
    } else if (parser.isSet(port)) {
        result.port = parser.value(port);
        if (result.port.isEmpty()) {
            error = QStringLiteral("--port wants the name of a serial port");
            return ParseOutcome::Error;
        }
    } else if (!virtualPorts) {
        error = QStringLiteral("this system cannot create a virtual port: name a serial port "
                               "with --port");
        return ParseOutcome::Error;
    }

    qint64 whole = 0;
    if (parser.isSet(baud)) {
        if (!parseWhole(parser.value(baud), 1, 100000000, whole)) {
            error = QStringLiteral("--baud wants a line speed in bits per second, not ")
                    + quoted(parser.value(baud));
            return ParseOutcome::Error;
        }
        result.baud = qint32(whole);
    }

    result.rate = defaultRate(result.mode, result.baud);
    if (parser.isSet(rate)
        && (!parseReal(parser.value(rate), 0.0, kMaxRate, result.rate) || result.rate <= 0.0)) {
        error = QStringLiteral(
                        "--rate wants a number of %1 per second above 0 and up to %2, not %3")
                        .arg(unitCount(result.mode, 2).section(QLatin1Char(' '), 1))
                        .arg(kMaxRate, 0, 'f', 0)
                        .arg(quoted(parser.value(rate)));
        return ParseOutcome::Error;
    }

    if (parser.isSet(count)) {
        if (!parseWhole(parser.value(count), 1, std::numeric_limits<qint64>::max(), whole)) {
            error = QStringLiteral("--count wants a whole number of %1, at least 1, not %2")
                            .arg(unitCount(result.mode, 2).section(QLatin1Char(' '), 1),
                                 quoted(parser.value(count)));
            return ParseOutcome::Error;
        }
        result.count = whole;
    }

    if (parser.isSet(time)
        && (!parseReal(parser.value(time), 0.0, 1.0e7, result.seconds) || result.seconds <= 0.0)) {
        error = QStringLiteral("--time wants a number of seconds above 0, not ")
                + quoted(parser.value(time));
        return ParseOutcome::Error;
    }

    if (parser.isSet(seed)) {
        bool ok = false;
        result.seed = parser.value(seed).toULongLong(&ok, 10);
        if (!ok) {
            error = QStringLiteral(
                            "--seed wants a whole number from 0 to 18446744073709551615, not ")
                    + quoted(parser.value(seed));
            return ParseOutcome::Error;
        }
        result.seedGiven = true;
    }

    if (parser.isSet(freq)
        && !parseChannels(parser.value(freq), result.frequencies,
                          [](const QString &text, double &value) {
                              return parseReal(text, 0.0, kMaxFrequency, value);
                          })) {
        error = QStringLiteral("--freq wants one frequency in Hz for all channels or four "
                               "separated by commas, each from 0 to %1, not %2")
                        .arg(kMaxFrequency, 0, 'f', 0)
                        .arg(quoted(parser.value(freq)));
        return ParseOutcome::Error;
    }
    if (parser.isSet(amplitude)
        && !parseChannels(parser.value(amplitude), result.amplitudes,
                          [](const QString &text, int &value) {
                              qint64 parsed = 0;
                              if (!parseWhole(text, 0, kMaxAmplitude, parsed))
                                  return false;
                              value = int(parsed);
                              return true;
                          })) {
        error = QStringLiteral("--amplitude wants one amplitude for all channels or four "
                               "separated by commas, each a whole number from 0 to %1, not %2")
                        .arg(kMaxAmplitude)
                        .arg(quoted(parser.value(amplitude)));
        return ParseOutcome::Error;
    }

    if (parser.isSet(framing) && result.mode == SimMode::Camera) {
        const QStringList names = { QStringLiteral("end"), QStringLiteral("header-text"),
                                    QStringLiteral("header-binary") };
        const qsizetype index = names.indexOf(parser.value(framing));
        if (index < 0) {
            error = QStringLiteral("--framing wants end, header-text or header-binary, not ")
                    + quoted(parser.value(framing));
            return ParseOutcome::Error;
        }
        result.cameraFraming = CameraFraming(index);
    }
    const bool header = result.cameraFraming != CameraFraming::EndByte;
    if (parser.isSet(jpeg) && !header) {
        error = QStringLiteral("--jpeg applies to --framing header-text or header-binary only");
        return ParseOutcome::Error;
    }
    result.jpeg = parser.isSet(jpeg);

    const struct
    {
        const QCommandLineOption &option;
        int high;
        int &value;
    } sizes[] = { { width, header ? kMaxHeaderWidth : kMaxWidth, result.width },
                  { height, header ? kMaxHeaderHeight : kMaxHeight, result.height } };
    for (const auto &entry : sizes) {
        if (!parser.isSet(entry.option))
            continue;
        if (!parseWhole(parser.value(entry.option), 1, entry.high, whole)) {
            error = QStringLiteral("--%1 wants a whole number of pixels from 1 to %2, not %3")
                            .arg(entry.option.names().constFirst())
                            .arg(entry.high)
                            .arg(quoted(parser.value(entry.option)));
            return ParseOutcome::Error;
        }
        entry.value = int(whole);
    }

    if (parser.isSet(framing) && result.mode == SimMode::Plot) {
        static const QStringList kFramings { QStringLiteral("firewater"),
                                             QStringLiteral("justfloat"),
                                             QStringLiteral("teleplot"), QStringLiteral("plain") };
        const qsizetype index = kFramings.indexOf(parser.value(framing));
        if (index < 0) {
            error = QStringLiteral("--framing wants firewater, justfloat, teleplot or plain, not ")
                    + quoted(parser.value(framing));
            return ParseOutcome::Error;
        }
        result.plotFraming = SimFraming(index);
    }
    if (parser.isSet(channels)) {
        if (!parseWhole(parser.value(channels), 1, kMaxPlotChannels, whole)) {
            error = QStringLiteral("--channels wants a whole number from 1 to %1, not %2")
                            .arg(kMaxPlotChannels)
                            .arg(quoted(parser.value(channels)));
            return ParseOutcome::Error;
        }
        result.channels = int(whole);
    }

    result.stay = parser.isSet(stay);
    result.loop = parser.isSet(loop);
    options = result;
    return ParseOutcome::Run;
}

QString unitCount(SimMode mode, qint64 n)
{
    const char *one = "byte";
    switch (mode) {
    case SimMode::Text:
    case SimMode::Ccd:
        one = "line";
        break;
    case SimMode::Scope:
    case SimMode::Plot:
        one = "frame";
        break;
    case SimMode::Camera:
        one = "picture";
        break;
    case SimMode::Replay:
        break;
    }
    return QStringLiteral("%1 %2%3").arg(n).arg(QLatin1String(one)).arg(n == 1 ? "" : "s");
}

QString modeDescription(SimMode mode)
{
    switch (mode) {
    case SimMode::Text:
        return QStringLiteral("debug print lines");
    case SimMode::Scope:
        return QStringLiteral("oscilloscope frames");
    case SimMode::Ccd:
        return QStringLiteral("linear CCD lines");
    case SimMode::Camera:
        return QStringLiteral("camera pictures");
    case SimMode::Plot:
        return QStringLiteral("plot frames");
    case SimMode::Replay:
        return QStringLiteral("file bytes");
    }
    return QString();
}

QString simVersionText()
{
    return QStringLiteral("smartcar-board-sim " BOARDSIM_VERSION);
}

QString simHelpText()
{
    return QStringLiteral(
            "Usage: smartcar-board-sim [OPTIONS] MODE [FILE]\n"
            "\n"
            "A simulated smart-car board: sends what a real board would send over its\n"
            "serial port, so that the debugging assistant can be tried without one.\n"
            "\n"
            "Without --port it creates a virtual serial port and prints its path on the\n"
            "first line of the output: type that path into the program's port list and\n"
            "open it. Sending starts when the port is opened and stops when it is\n"
            "closed again, or on Ctrl+C.\n"
            "\n"
            "Modes (the tab to watch in brackets):\n"
            "  text           lines of a board's debug print, Chinese included, in the\n"
            "                 system's 8-bit encoding (串口助手)\n"
            "  scope          11-byte frames FF FF, CH1..CH4 as big-endian 16-bit\n"
            "                 samples, a frame counter 0..254; CH1 sine, CH2 square,\n"
            "                 CH3 triangle, CH4 noise (示波器)\n"
            "  ccd            lines of 128 pixels of a track with two dark edges that\n"
            "                 drift, each ended by FF (线性ccd)\n"
            "  camera         grey pictures of the track ahead, WIDTH x HEIGHT pixels\n"
            "                 row by row, each ended by FF (摄像头)\n"
            "  plot           named signals for the plotter: speed (a speed loop's step\n"
            "                 response), target, steer (a steering error), sensor (a\n"
            "                 noisy reading with a vibration at 13 and 31 Hz), then\n"
            "                 waves, in the framing --framing chooses; Teleplot adds\n"
            "                 the car's path on a figure-eight as XY points (曲线)\n"
            "  replay FILE    the bytes of FILE, for example data saved by the terminal;\n"
            "                 a capture recorded by the program keeps its recorded pace\n"
            "Pixel values stay within 0..254, since FF ends a line or picture.\n"
            "\n"
            "Options:\n"
            "  --rate R       units per second: lines (text 10, ccd 50), frames (scope\n"
            "                 500, plot 100, the sample rate), pictures (camera 10) or bytes\n"
            "                 (replay: the baud rate / 10; not for a capture)\n"
            "  --count N      send N units, then fall silent; the virtual port stays\n"
            "                 open until the reader closes it\n"
            "  --time S       send for S seconds, then fall silent as with --count\n"
            "                 (whichever comes first); the last line of the output\n"
            "                 says how many units and bytes went out\n"
            "  --seed N       repeat the output of an earlier run (every run prints its\n"
            "                 seed)\n"
            "  --port NAME    write to this serial port instead of a virtual one, for\n"
            "                 example one end of a virtual null-modem pair\n"
            "  --baud N       line speed of --port (default 115200)\n"
            "  --tcp-server [ADDRESS:]PORT\n"
            "                 serve on a TCP port as a Wi-Fi module in access-point\n"
            "                 mode does (on 127.0.0.1 unless ADDRESS is given; 0.0.0.0\n"
            "                 for every interface); the program opens tcp://HOST:PORT\n"
            "  --tcp HOST:PORT  connect to the program, which listens on\n"
            "                 tcp-server://:PORT\n"
            "  --udp HOST:PORT  send datagrams to the program, which receives on\n"
            "                 udp://:PORT; each datagram holds whole units where they\n"
            "                 fit, so that a lost one loses units, not parts of them\n"
            "  --stay         when the reader closes the port (or the connection), wait\n"
            "                 for it to open again instead of stopping\n"
            "  --freq F       scope: frequencies in Hz, one for all channels or F1,F2,F3,F4\n"
            "                 (default 1,0.5,2,20; for CH4 how often the noise changes,\n"
            "                 0 for every frame)\n"
            "  --amplitude A  scope: peak deviation from mid-scale 32768 in raw units\n"
            "                 0..32767, one or A1,A2,A3,A4 (default 20000)\n"
            "  --width W      camera: picture width 1..320 (default 120; up to 752\n"
            "                 with a header)\n"
            "  --height H     camera: picture height 1..240 (default 40; up to 480\n"
            "                 with a header)\n"
            "  --framing F    camera: end (pictures ended by FF, the default),\n"
            "                 header-text (each led by image:ID,SIZE,W,H,FORMAT and a\n"
            "                 line feed) or header-binary (led by seven little-endian\n"
            "                 32-bit numbers: ID, SIZE, W, H, FORMAT, 0x7F800000 twice);\n"
            "                 plot: firewater (default), justfloat, teleplot or plain\n"
            "  --jpeg         camera with a header: send JPEG files (FORMAT 0) instead\n"
            "                 of grey bytes (FORMAT 24)\n"
            "  --channels N   plot: channels 1..64 (default 4)\n"
            "  --loop         replay: start the file again at its end\n"
            "  -h, --help     show this text\n"
            "  -v, --version  show the version\n"
            "\n"
            "Exit status: 0 when stopped, 1 when the port cannot be created or opened,\n"
            "2 for bad arguments (nothing is sent then).\n"
            "\n"
            "Examples:\n"
            "  smartcar-board-sim scope --freq 2 --amplitude 30000\n"
            "  smartcar-board-sim camera --width 80 --height 60 --rate 5\n"
            "  smartcar-board-sim plot --framing teleplot --rate 200\n"
            "  smartcar-board-sim --port /dev/ttyUSB0 --baud 115200 ccd\n"
            "  smartcar-board-sim camera --tcp-server 8080\n");
}

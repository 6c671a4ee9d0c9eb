// The simulator's command line: whatever it is given, it either refuses with
// a one-line message and leaves the options alone, or accepts options within
// their limits that read back the same when written out again.
#include "fuzzcheck.h"
#include "simoptions.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>

namespace {

bool sameOptions(const SimOptions &a, const SimOptions &b)
{
    return a.mode == b.mode && a.file == b.file && a.port == b.port && a.baud == b.baud
            && a.rate == b.rate && a.count == b.count && a.seed == b.seed
            && a.seedGiven == b.seedGiven && a.stay == b.stay && a.loop == b.loop
            && a.frequencies == b.frequencies && a.amplitudes == b.amplitudes && a.width == b.width
            && a.height == b.height && a.network == b.network && a.cameraFraming == b.cameraFraming
            && a.jpeg == b.jpeg && a.plotFraming == b.plotFraming && a.channels == b.channels;
}

void checkLimits(const SimOptions &options, bool virtualPorts)
{
    FUZZ_CHECK((options.mode == SimMode::Replay) != options.file.isEmpty());
    FUZZ_CHECK(virtualPorts || !options.port.isEmpty() || !options.network.isEmpty());
    FUZZ_CHECK(options.port.isEmpty() || options.network.isEmpty());
    FUZZ_CHECK(options.baud >= 1 && options.baud <= 100000000);
    FUZZ_CHECK(std::isfinite(options.rate) && options.rate > 0 && options.rate <= 1e6);
    FUZZ_CHECK(options.count >= 0);
    for (const double frequency : options.frequencies)
        FUZZ_CHECK(std::isfinite(frequency) && frequency >= 0 && frequency <= 1e6);
    for (const int amplitude : options.amplitudes)
        FUZZ_CHECK(amplitude >= 0 && amplitude <= 32767);
    const bool header = options.cameraFraming != CameraFraming::EndByte;
    FUZZ_CHECK(options.width >= 1 && options.width <= (header ? 752 : 320));
    FUZZ_CHECK(options.height >= 1 && options.height <= (header ? 480 : 240));
    FUZZ_CHECK(!options.jpeg || header);
    FUZZ_CHECK(options.channels >= 1 && options.channels <= 64);
    FUZZ_CHECK(!options.loop || options.mode == SimMode::Replay);
}

QString number(double value)
{
    return QString::number(value, 'g', 17);
}

// The command line that asks for exactly these options.
QStringList commandLine(const SimOptions &options)
{
    static const char *const modes[] = { "text", "scope", "ccd", "camera", "plot", "replay" };
    static const char *const cameraFramings[] = { "end", "header-text", "header-binary" };
    static const char *const plotFramings[] = { "firewater", "justfloat", "teleplot", "plain" };
    QStringList arguments { QStringLiteral("smartcar-board-sim") };
    auto add = [&arguments](const char *name, const QString &value) {
        arguments << QLatin1String("--") + QLatin1String(name) + QLatin1Char('=') + value;
    };
    if (!options.port.isEmpty()) {
        add("port", options.port);
        add("baud", QString::number(options.baud));
    }
    if (!options.network.isEmpty()) {
        const qsizetype scheme = options.network.indexOf(QStringLiteral("://"));
        arguments << QLatin1String("--") + options.network.left(scheme) + QLatin1Char('=')
                        + options.network.mid(scheme + 3);
    }
    add("rate", number(options.rate));
    if (options.count > 0)
        add("count", QString::number(options.count));
    if (options.seedGiven)
        add("seed", QString::number(options.seed));
    if (options.stay)
        arguments << QStringLiteral("--stay");
    if (options.loop)
        arguments << QStringLiteral("--loop");
    if (options.mode == SimMode::Scope) {
        QStringList frequencies;
        QStringList amplitudes;
        for (int n = 0; n < 4; ++n) {
            frequencies << number(options.frequencies[size_t(n)]);
            amplitudes << QString::number(options.amplitudes[size_t(n)]);
        }
        add("freq", frequencies.join(QLatin1Char(',')));
        add("amplitude", amplitudes.join(QLatin1Char(',')));
    }
    if (options.mode == SimMode::Camera) {
        add("width", QString::number(options.width));
        add("height", QString::number(options.height));
        add("framing", QLatin1String(cameraFramings[int(options.cameraFraming)]));
        if (options.jpeg)
            arguments << QStringLiteral("--jpeg");
    }
    if (options.mode == SimMode::Plot) {
        add("framing", QLatin1String(plotFramings[int(options.plotFraming)]));
        add("channels", QString::number(options.channels));
    }
    arguments << QStringLiteral("--") << QLatin1String(modes[int(options.mode)]);
    if (options.mode == SimMode::Replay)
        arguments << options.file;
    return arguments;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool virtualPorts = input.ConsumeBool();
    // Arguments separated by zero bytes, as the system hands them over.
    QStringList arguments { QStringLiteral("smartcar-board-sim") };
    const QList<QByteArray> words = toByteArray(input.ConsumeRemainingBytesAsString()).split('\0');
    for (const QByteArray &word : words)
        arguments << QString::fromLocal8Bit(word);

    SimOptions untouched;
    untouched.baud = 7;
    SimOptions options = untouched;
    QString error;
    switch (parseSimArguments(arguments, virtualPorts, options, error)) {
    case ParseOutcome::Error:
        // One line, unless it quotes an argument that holds a line feed.
        FUZZ_CHECK(!error.isEmpty());
        FUZZ_CHECK(!error.contains(QLatin1Char('\n'))
                   || arguments.join(QString()).contains(QLatin1Char('\n')));
        FUZZ_CHECK(sameOptions(options, untouched));
        break;
    case ParseOutcome::Help:
    case ParseOutcome::Version:
        FUZZ_CHECK(sameOptions(options, untouched));
        break;
    case ParseOutcome::Run: {
        checkLimits(options, virtualPorts);
        SimOptions again;
        FUZZ_CHECK(parseSimArguments(commandLine(options), virtualPorts, again, error)
                   == ParseOutcome::Run);
        FUZZ_CHECK(sameOptions(again, options));
        break;
    }
    }
    return 0;
}

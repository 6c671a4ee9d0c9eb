#include "networkboardlink.h"
#include "seriallink.h"
#include "simoptions.h"
#include "simulator.h"
#include "unitsource.h"
#ifdef BOARDSIM_HAVE_PTY
#    include "ptylink.h"
#endif

#include <QCoreApplication>
#include <QRandomGenerator>

#include <csignal>
#include <cstdio>

namespace {

// The one thing a signal handler may safely touch; the simulator polls it.
volatile std::sig_atomic_t stopRequested = 0;

extern "C" void requestStop(int)
{
    stopRequested = 1;
}

void printLine(std::FILE *stream, const QString &text)
{
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

void tell(const QString &text)
{
    printLine(stderr, QStringLiteral("smartcar-board-sim: ") + text);
}

// The size of one unit where it is fixed, so that a datagram carries whole ones.
qsizetype unitBytes(const SimOptions &options)
{
    switch (options.mode) {
    case SimMode::Scope:
        return 11;
    case SimMode::Ccd:
        return 129;
    case SimMode::Camera:
        return qsizetype(options.width) * options.height + 1;
    default:
        return 1;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);

#ifdef BOARDSIM_HAVE_PTY
    const bool virtualPorts = true;
#else
    const bool virtualPorts = false;
#endif
    SimOptions options;
    QString error;
    switch (parseSimArguments(QCoreApplication::arguments(), virtualPorts, options, error)) {
    case ParseOutcome::Help:
        std::fputs(simHelpText().toLocal8Bit().constData(), stdout);
        return 0;
    case ParseOutcome::Version:
        printLine(stdout, simVersionText());
        return 0;
    case ParseOutcome::Error:
        tell(error + QStringLiteral(" (see --help)"));
        return 2;
    case ParseOutcome::Run:
        break;
    }
    if (!options.seedGiven)
        options.seed = QRandomGenerator::system()->generate64();

    QString warning;
    std::unique_ptr<UnitSource> source = createUnitSource(options, error, &warning);
    if (!source) {
        tell(error);
        return 2;
    }
    if (!warning.isEmpty())
        tell(warning);

    std::unique_ptr<BoardLink> link;
    if (!options.network.isEmpty())
        link = std::make_unique<NetworkBoardLink>(NetworkAddress::parse(options.network),
                                                  unitBytes(options));
#ifdef BOARDSIM_HAVE_PTY
    if (!link && options.port.isEmpty())
        link = std::make_unique<PtyLink>();
#endif
    if (!link)
        link = std::make_unique<SerialLink>(options.port, options.baud);
    if (!link->open(error)) {
        tell(error);
        return 1;
    }

    const QString pace = source->paceText().isEmpty()
            ? QString::number(options.rate, 'g', 10) + QStringLiteral(" a second")
            : source->paceText();
    if (link->isVirtual() || !options.network.isEmpty()) {
        // The path alone on standard output, for scripts; the rest on standard error.
        printLine(stdout, link->deviceName());
        tell(QStringLiteral("%1, %2, seed %3: type %4 into the program's port list and "
                            "open it (Ctrl+C stops)")
                     .arg(modeDescription(options.mode), pace)
                     .arg(options.seed)
                     .arg(link->deviceName()));
    } else {
        tell(QStringLiteral("%1, %2, seed %3, to %4 (Ctrl+C stops)")
                     .arg(modeDescription(options.mode), pace)
                     .arg(options.seed)
                     .arg(link->deviceName()));
    }

    Simulator simulator(options, std::move(source), std::move(link), &stopRequested);
    QObject::connect(&simulator, &Simulator::notice, &tell);
    QObject::connect(&simulator, &Simulator::finished, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    simulator.start();
    return app.exec();
}

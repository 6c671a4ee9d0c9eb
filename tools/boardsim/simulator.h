#ifndef SIMULATOR_H
#define SIMULATOR_H

#include "boardlink.h"
#include "pacer.h"
#include "simoptions.h"
#include "unitsource.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <csignal>
#include <memory>

// Runs the simulated board: waits for a reader on the link, then sends units
// from the source at the chosen rate until the count is reached, the reader
// goes away or a stop is requested. Polls on a short timer, which also keeps
// the pacing fine-grained.
class Simulator : public QObject
{
    Q_OBJECT

public:
    // stopRequested is set asynchronously (by a signal handler) to stop.
    Simulator(const SimOptions &options, std::unique_ptr<UnitSource> source,
              std::unique_ptr<BoardLink> link, const volatile std::sig_atomic_t *stopRequested);

    void start();

signals:
    // Progress for the user, one line each.
    void notice(const QString &text);
    // The run is over; status is the process exit status.
    void finished(int status);

private:
    // Done: every unit sent, the reader still there. Idle: with --stay, every
    // unit sent and the reader gone; only a stop request ends the run.
    enum class State { WaitingForReader, Sending, Done, Idle, Finished };

    void tick();
    void send();
    void readerGone();
    void finish(const QString &why);
    // "300 lines (12345 bytes)": units generated, bytes the line took.
    QString sentText() const;

    SimOptions m_options;
    std::unique_ptr<UnitSource> m_source;
    std::unique_ptr<BoardLink> m_link;
    const volatile std::sig_atomic_t *m_stopRequested;
    State m_state = State::WaitingForReader;
    Pacer m_pacer;
    QElapsedTimer m_clock;
    QTimer m_timer;
    // Bytes of generated units that the line has not taken yet.
    QByteArray m_pending;
    // Units due by the clock and not generated yet.
    qint64 m_due = 0;
    qint64 m_sent = 0;
    // When sending began, and what had been sent by then.
    qint64 m_startNs = 0;
    qint64 m_sentAtStart = 0;
    qint64 m_sentBytes = 0;
    bool m_exhausted = false;
    // Since the first reader opened the port; --time counts from there.
    qint64 m_sendingSinceNs = -1;
    bool m_timeUp = false;
};

#endif // SIMULATOR_H

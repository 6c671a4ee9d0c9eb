#include "simulator.h"

namespace {

// Short enough that units at a few hundred per second leave in small groups,
// long enough to cost next to nothing while waiting.
constexpr int kTickMs = 5;
// Generate no more than this many bytes in one go, so that a high rate or a
// stalled reader cannot pile up memory.
constexpr qsizetype kMaxBatchBytes = 64 * 1024;

} // namespace

Simulator::Simulator(const SimOptions &options, std::unique_ptr<UnitSource> source,
                     std::unique_ptr<BoardLink> link,
                     const volatile std::sig_atomic_t *stopRequested)
    : m_options(options)
    , m_source(std::move(source))
    , m_link(std::move(link))
    , m_stopRequested(stopRequested)
    , m_pacer(options.rate)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &Simulator::tick);
}

void Simulator::start()
{
    m_clock.start();
    m_timer.start();
}

void Simulator::tick()
{
    if (*m_stopRequested) {
        finish(QStringLiteral("stopped"));
        return;
    }
    switch (m_state) {
    case State::WaitingForReader:
        if (!m_link->readerPresent())
            return;
        emit notice(QStringLiteral("the port is open, sending"));
        m_state = State::Sending;
        m_pacer.restart(m_clock.nsecsElapsed());
        m_startNs = m_clock.nsecsElapsed();
        m_sentAtStart = m_sent;
        send();
        return;
    case State::Sending:
        if (!m_link->readerPresent()) {
            readerGone();
            return;
        }
        send();
        return;
    case State::Done:
        // A named port keeps what it was given; a virtual one would drop the
        // bytes the reader has not read yet, so it stays until the reader leaves.
        if (!m_link->isVirtual()) {
            if (!m_link->readerPresent() || m_link->flushed())
                finish(QStringLiteral("all sent"));
        } else if (!m_link->readerPresent()) {
            readerGone();
        }
        return;
    case State::Idle:
    case State::Finished:
        return;
    }
}

void Simulator::send()
{
    if (!m_pending.isEmpty()) {
        const qint64 taken = m_link->write(m_pending);
        if (taken < 0) {
            readerGone();
            return;
        }
        m_pending.remove(0, qsizetype(taken));
        if (!m_pending.isEmpty())
            return;
    }

    // A capture keeps the pace it was recorded at; everything else the rate's.
    const qint64 now = m_clock.nsecsElapsed();
    const qint64 scheduled = m_source->dueBy(now - m_startNs);
    qint64 due = scheduled >= 0 ? scheduled - (m_sent - m_sentAtStart) : m_pacer.take(now);
    if (m_options.count > 0)
        due = qMin(due, m_options.count - m_sent);
    while (due > 0 && !m_exhausted && m_pending.size() < kMaxBatchBytes) {
        const qint64 step = qMin<qint64>(due, 1024);
        const qint64 made = m_source->generate(m_pending, step);
        m_sent += made;
        due -= made;
        m_exhausted = made < step;
    }
    if (!m_pending.isEmpty()) {
        const qint64 taken = m_link->write(m_pending);
        if (taken < 0) {
            readerGone();
            return;
        }
        m_pending.remove(0, qsizetype(taken));
    }

    const bool complete = m_exhausted || (m_options.count > 0 && m_sent >= m_options.count);
    if (complete && m_pending.isEmpty()) {
        m_state = State::Done;
        emit notice(m_link->isVirtual()
                            ? QStringLiteral("sent %1; the port stays open until the reader "
                                             "closes it")
                                      .arg(unitCount(m_options.mode, m_sent))
                            : QStringLiteral("sent %1").arg(unitCount(m_options.mode, m_sent)));
    }
}

void Simulator::readerGone()
{
    if (!m_options.stay || !m_link->isVirtual()) {
        finish(QStringLiteral("the other end closed the port"));
        return;
    }
    m_pending.clear();
    m_link->forgetUnread();
    if (m_state == State::Done) {
        emit notice(QStringLiteral("the reader closed the port; nothing more to send, Ctrl+C "
                                   "stops"));
        m_state = State::Idle;
        return;
    }
    emit notice(QStringLiteral("the reader closed the port; waiting for it to open again"));
    m_state = State::WaitingForReader;
}

void Simulator::finish(const QString &why)
{
    if (m_state == State::Finished)
        return;
    m_state = State::Finished;
    m_timer.stop();
    emit notice(QStringLiteral("%1; sent %2").arg(why, unitCount(m_options.mode, m_sent)));
    emit finished(0);
}

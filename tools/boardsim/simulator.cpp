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
        if (m_sendingSinceNs < 0)
            m_sendingSinceNs = m_clock.nsecsElapsed();
        send();
        return;
    case State::Sending:
        if (!m_link->readerPresent()) {
            readerGone();
            return;
        }
        m_source->hear(m_link->takeHeard());
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
    // Units fall due by the clock only while the line has room, so that a
    // reader that stops reading shows as the pacer's backlog.
    const qint64 now = m_clock.nsecsElapsed();
    if (m_options.seconds > 0.0 && double(now - m_sendingSinceNs) >= m_options.seconds * 1e9)
        m_timeUp = true;
    if (m_pending.isEmpty() && !m_timeUp) {
        // A capture keeps the pace it was recorded at; everything else the rate's.
        const qint64 scheduled = m_source->dueBy(now - m_startNs);
        if (scheduled >= 0)
            m_due = qMax<qint64>(0, scheduled - (m_sent - m_sentAtStart));
        else
            m_due += m_pacer.take(now);
        if (m_options.count > 0)
            m_due = qMin(m_due, m_options.count - m_sent);
    }
    // Everything due goes out in one tick while the line takes it: at a few
    // MB/s one batch per tick would leave the line empty between ticks.
    for (;;) {
        while (m_due > 0 && !m_exhausted && m_pending.size() < kMaxBatchBytes) {
            const qint64 step = qMin<qint64>(m_due, 1024);
            const qint64 made = m_source->generate(m_pending, step);
            m_sent += made;
            m_due -= made;
            m_exhausted = made < step;
        }
        if (m_pending.isEmpty())
            break;
        const qint64 taken = m_link->write(m_pending);
        if (taken < 0) {
            readerGone();
            return;
        }
        m_sentBytes += taken;
        m_pending.remove(0, qsizetype(taken));
        if (!m_pending.isEmpty())
            break;
    }

    const bool complete
            = m_exhausted || m_timeUp || (m_options.count > 0 && m_sent >= m_options.count);
    if (complete && m_pending.isEmpty()) {
        m_state = State::Done;
        emit notice(m_link->isVirtual()
                            ? QStringLiteral("sent %1; the port stays open until the reader "
                                             "closes it")
                                      .arg(sentText())
                            : QStringLiteral("sent %1").arg(sentText()));
    }
}

QString Simulator::sentText() const
{
    return QStringLiteral("%1 (%2 bytes)").arg(unitCount(m_options.mode, m_sent)).arg(m_sentBytes);
}

void Simulator::readerGone()
{
    if (!m_options.stay || !m_link->isVirtual()) {
        finish(QStringLiteral("the other end closed the port"));
        return;
    }
    m_pending.clear();
    m_due = 0;
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
    emit notice(QStringLiteral("%1; sent %2").arg(why, sentText()));
    emit finished(0);
}

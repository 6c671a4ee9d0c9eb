#include "captureplayer.h"

#include <cmath>

CapturePlayer::CapturePlayer(QObject *parent)
    : ByteSource(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CapturePlayer::tick);
}

CaptureReader::Kind CapturePlayer::fileKind(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return CaptureReader::Kind::Raw;
    CaptureReader reader(&file);
    return reader.open();
}

bool CapturePlayer::start(const QString &fileName, qint64 rawBytesPerSecond)
{
    stop();
    m_file.setFileName(fileName);
    if (!m_file.open(QIODevice::ReadOnly))
        return false;
    const CaptureReader::Kind kind = summarizeCapture(&m_file, m_summary);
    if (kind == CaptureReader::Kind::UnsupportedVersion
        || (kind == CaptureReader::Kind::Raw && rawBytesPerSecond <= 0) || !m_file.seek(0)) {
        m_file.close();
        return false;
    }
    m_capture = kind == CaptureReader::Kind::Capture;
    m_rawRate = rawBytesPerSecond;
    m_delivered = 0;
    m_positionUs = 0;
    m_clockUs = 0;
    if (m_capture) {
        m_reader = CaptureReader(&m_file);
        m_reader.open();
        m_durationUs = qint64(m_summary.durationMicros);
        readNext();
        // Silence before the first bytes is not played.
        if (m_nextStatus == CaptureReader::Status::Record)
            m_clockUs = m_positionUs = qint64(m_next.micros);
    } else {
        m_durationUs = qint64(double(m_file.size()) * 1e6 / double(m_rawRate));
    }
    setState(State::Playing);
    startTimer();
    return true;
}

void CapturePlayer::pause()
{
    if (m_state != State::Playing)
        return;
    m_timer.stop();
    setState(State::Paused);
}

void CapturePlayer::resume()
{
    if (m_state != State::Paused)
        return;
    setState(State::Playing);
    startTimer();
}

void CapturePlayer::stop()
{
    if (m_state != State::Idle)
        finish(Outcome::Stopped);
}

void CapturePlayer::setSpeed(double speed)
{
    m_speed = qMax(0.0, speed);
    if (m_state == State::Playing)
        startTimer();
}

void CapturePlayer::startTimer()
{
    // As fast as possible: a tick whenever the event loop is free.
    m_timer.start(m_speed > 0 ? kTickMs : 0);
    m_wallClock.start();
}

void CapturePlayer::tick()
{
    const bool all = m_speed == 0;
    if (!all)
        m_clockUs += double(m_wallClock.nsecsElapsed()) / 1000 * m_speed;
    m_wallClock.start();
    const QByteArray bytes = m_capture ? takeCaptureBytes(all) : takeRawBytes(all);
    if (!bytes.isEmpty()) {
        m_delivered += bytes.size();
        emit bytesReceived(bytes);
    }
    // A listener may have stopped the replay.
    if (m_state != State::Playing)
        return;
    if (m_capture) {
        if (m_nextStatus != CaptureReader::Status::Record)
            finish(m_nextStatus == CaptureReader::Status::End ? Outcome::Finished
                                                              : Outcome::Damaged);
    } else if (m_file.atEnd()) {
        finish(Outcome::Finished);
    } else if (bytes.isEmpty() && m_file.error() != QFileDevice::NoError) {
        finish(Outcome::ReadFailed);
    }
}

QByteArray CapturePlayer::takeCaptureBytes(bool all)
{
    QByteArray bytes;
    while (m_nextStatus == CaptureReader::Status::Record
           && (all || double(m_next.micros) <= m_clockUs)
           && (bytes.isEmpty() || bytes.size() + m_next.bytes.size() <= kMaxDelivery)) {
        bytes += m_next.bytes;
        m_positionUs = qint64(m_next.micros);
        readNext();
    }
    return bytes;
}

QByteArray CapturePlayer::takeRawBytes(bool all)
{
    const qint64 due = all
            ? kMaxDelivery
            : qMin<qint64>(kMaxDelivery,
                           qint64(std::floor(m_clockUs * double(m_rawRate) / 1e6)) - m_delivered);
    if (due <= 0)
        return QByteArray();
    const QByteArray bytes = m_file.read(due);
    m_positionUs = qint64(double(m_delivered + bytes.size()) * 1e6 / double(m_rawRate));
    return bytes;
}

void CapturePlayer::readNext()
{
    m_nextStatus = m_reader.next(m_next);
}

void CapturePlayer::finish(Outcome outcome)
{
    m_timer.stop();
    m_file.close();
    m_next = CaptureRecord();
    setState(State::Idle);
    emit finished(outcome);
}

void CapturePlayer::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

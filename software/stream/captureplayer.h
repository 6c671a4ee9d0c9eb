#ifndef CAPTUREPLAYER_H
#define CAPTUREPLAYER_H

#include "bytesource.h"
#include "capturefile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

// Plays a file back as if a board sent it: a capture at the pace it was
// recorded (or faster, or slower), any other file as plain bytes at a chosen
// byte rate. Listeners of bytesReceived cannot tell it from the port.
//
// The bytes due within one tick are delivered together, as one read of a
// port would bring them, and no delivery is larger than kMaxDelivery, so
// that even the fastest replay leaves the window time to paint and respond.
class CapturePlayer : public ByteSource
{
    Q_OBJECT

public:
    enum class State { Idle, Playing, Paused };
    Q_ENUM(State)
    enum class Outcome {
        Finished, // played to its end
        Stopped,  // stopped by stop()
        Damaged,  // played up to damage in the file
        ReadFailed,
    };
    Q_ENUM(Outcome)

    static constexpr int kTickMs = 10;
    static constexpr qsizetype kMaxDelivery = 256 * 1024;

    explicit CapturePlayer(QObject *parent = nullptr);

    // What the file is: a capture, a capture of a version this program does
    // not know, or anything else (raw).
    static CaptureReader::Kind fileKind(const QString &fileName);

    // Starts playing fileName: a capture at its pace, any other file at
    // rawBytesPerSecond. False, with state() Idle, when it cannot be read.
    bool start(const QString &fileName, qint64 rawBytesPerSecond);
    void pause();
    void resume();
    // Ends the replay early; finished() reports Stopped.
    void stop();

    // Times the recorded pace; 0 plays as fast as the window takes it.
    void setSpeed(double speed);
    double speed() const { return m_speed; }

    State state() const { return m_state; }
    bool isActive() const { return m_state != State::Idle; }
    QString fileName() const { return m_file.fileName(); }
    bool isCapture() const { return m_capture; }
    // Where the replay is, and how long the file plays at the recorded pace.
    qint64 positionMs() const { return m_positionUs / 1000; }
    qint64 durationMs() const { return m_durationUs / 1000; }
    // Bytes delivered so far.
    qint64 deliveredBytes() const { return m_delivered; }
    // For Damaged: where the usable part ends, in the file and in time.
    qint64 damageOffset() const { return m_summary.usableEnd; }

signals:
    void stateChanged(CapturePlayer::State state);
    void finished(CapturePlayer::Outcome outcome);

private:
    void tick();
    QByteArray takeCaptureBytes(bool all);
    QByteArray takeRawBytes(bool all);
    void readNext();
    void finish(Outcome outcome);
    void setState(State state);
    void startTimer();

    QFile m_file;
    CaptureReader m_reader { &m_file };
    CaptureSummary m_summary;
    bool m_capture = false;
    qint64 m_rawRate = 0;
    CaptureRecord m_next;
    CaptureReader::Status m_nextStatus = CaptureReader::Status::End;
    State m_state = State::Idle;
    double m_speed = 1.0;
    // The replay's clock, in the recording's microseconds.
    double m_clockUs = 0;
    qint64 m_positionUs = 0;
    qint64 m_durationUs = 0;
    qint64 m_delivered = 0;
    QElapsedTimer m_wallClock;
    QTimer m_timer;
};

#endif // CAPTUREPLAYER_H

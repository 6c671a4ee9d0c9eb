#ifndef REPLAYCONTROLS_H
#define REPLAYCONTROLS_H

#include "captureplayer.h"
#include "serialconnection.h"

#include <QTimer>
#include <QWidget>

class QAction;
class QActionGroup;
class QProgressBar;
class QToolButton;

// The status bar's replay controls: 回放 opens a capture or any other file
// and plays it; while it plays, the button stops it, and beside it are the
// progress with the time, the speed and pause. Replay is offered only while
// no port is open or awaited, as both would feed the same tabs.
class ReplayControls : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kRefreshMs = 250;
    static constexpr int kMessageMs = 5000;
    // The speeds offered, 0 for as fast as possible; index 2 is the recorded pace.
    static constexpr double kSpeeds[] = { 0.25, 0.5, 1, 2, 4, 8, 0 };
    static constexpr int kDefaultRawRate = 11520;

    ReplayControls(CapturePlayer *player, SerialConnection *connection, QWidget *parent = nullptr);

    // Asks for a file and, for a file without times, the byte rate, and
    // starts playing it. What 回放 does when nothing plays.
    void chooseAndPlay();

private:
    void onReplayClicked();
    void chooseSpeed(QAction *action);
    void onPlayerStateChanged(CapturePlayer::State state);
    void onFinished(CapturePlayer::Outcome outcome);
    void updateAvailability();
    void refresh();
    // In place of the port's state, for timeoutMs (0: until replaced).
    void showMessage(const QString &text, int timeoutMs = kMessageMs);

    CapturePlayer *m_player;
    SerialConnection *m_connection;
    QToolButton *m_replay;
    QProgressBar *m_progress;
    // A menu rather than a combo box, which would make the status bar taller.
    QToolButton *m_speed;
    QActionGroup *m_speeds;
    QToolButton *m_pause;
    QTimer m_refreshTimer;
    int m_rawRate = kDefaultRawRate;
};

#endif // REPLAYCONTROLS_H

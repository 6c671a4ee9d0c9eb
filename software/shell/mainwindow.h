#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "streamrouter.h"

#include <QByteArray>
#include <QMainWindow>

#include <memory>

class CapturePlayer;
class CCD;
class ComAssistant;
class LanguageButton;
class LinearCCD;
class Oscilloscope;
class Plotter;
class ReplayControls;
class SerialConnection;
class SerialPanel;
class SettingsPart;
class StatusBarPanel;
class TuningDock;
class WindowSettings;

QT_BEGIN_NAMESPACE
namespace Ui {
class MainWindow;
}
QT_END_NAMESPACE

// The one window: the serial panel on the left and the tabs on the right: the
// four written ones, then the plotter; and the tuning panel beside them when
// the user asks for it.
// It builds the parts and connects them: the serial connection, or a replay,
// feeds the stream router, which feeds the current tab.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The receive buffer keeps at most this many of the newest bytes.
    static constexpr qsizetype kRecvBufferLimit = StreamRouter::kBufferLimit;
    // How long the status bar shows a message of the tuning panel.
    static constexpr int kMessageMs = 5000;

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Bytes received and not yet consumed by a tab.
    const QByteArray &recvBuffer() const { return m_router->buffer(); }

    SerialConnection *connection() const { return m_connection; }
    SerialPanel *serialPanel() const { return m_serialPanel; }
    StatusBarPanel *statusPanel() const { return m_statusPanel; }
    CapturePlayer *player() const { return m_player; }
    ReplayControls *replayControls() const { return m_replay; }
    LanguageButton *languageButton() const { return m_languageButton; }
    ComAssistant *terminal() const { return m_comAssistant; }
    Oscilloscope *oscilloscope() const { return m_oscilloscope; }
    Plotter *plotter() const { return m_plotter; }
    LinearCCD *linearCCD() const { return m_linearCCD; }
    CCD *ccd() const { return m_ccd; }
    TuningDock *tuningDock() const { return m_tuningDock; }
    // Every part that remembers its state, the window first.
    QList<SettingsPart *> settingsParts() const;

    int currentTab() const;
    bool setCurrentTab(int index);

signals:
    void comOpen();
    void comClose();

private slots:
    void on_updataComBnt_clicked();
    void on_openPort_clicked();
    void onLinkClick(QString href);
    void on_exit_triggered();
    void on_about_triggered();
    void on_buyHardware_triggered();

private:
    void buildStatusBar();

    Ui::MainWindow *ui;
    std::unique_ptr<WindowSettings> m_windowSettings;
    SerialConnection *m_connection;
    CapturePlayer *m_player;
    StreamRouter *m_router;
    SerialPanel *m_serialPanel;
    StatusBarPanel *m_statusPanel;
    ReplayControls *m_replay;
    LanguageButton *m_languageButton;
    ComAssistant *m_comAssistant;
    Oscilloscope *m_oscilloscope;
    LinearCCD *m_linearCCD;
    CCD *m_ccd;
    Plotter *m_plotter;
    TuningDock *m_tuningDock;
};

#endif // MAINWINDOW_H

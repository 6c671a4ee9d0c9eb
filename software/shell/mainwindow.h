#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "serialconnection.h"
#include "streamrouter.h"

#include <QByteArray>
#include <QMainWindow>

class CapturePlayer;
class CCD;
class ComAssistant;
class LanguageButton;
class LinearCCD;
class Oscilloscope;
class PortWatcher;
class QComboBox;
class RecordingControl;
class ReplayControls;
class StatusBarPanel;

QT_BEGIN_NAMESPACE
namespace Ui {
class MainWindow;
}
QT_END_NAMESPACE

// The one window: the serial panel on the left and the four tabs on the right.
// It wires the serial connection, or a replay, to the stream router, which
// feeds the tabs, and shows the user what the connection reports.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The receive buffer keeps at most this many of the newest bytes.
    static constexpr qsizetype kRecvBufferLimit = StreamRouter::kBufferLimit;

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Bytes received and not yet consumed by a tab.
    const QByteArray &recvBuffer() const { return m_router->buffer(); }

    SerialConnection *connection() const { return m_connection; }
    PortWatcher *portWatcher() const { return m_portWatcher; }
    StatusBarPanel *statusPanel() const { return m_statusPanel; }
    RecordingControl *recordingControl() const { return m_recording; }
    CapturePlayer *player() const { return m_player; }
    ReplayControls *replayControls() const { return m_replay; }
    LanguageButton *languageButton() const { return m_languageButton; }
    ComAssistant *terminal() const { return m_comAssistant; }
    Oscilloscope *oscilloscope() const { return m_oscilloscope; }
    LinearCCD *linearCCD() const { return m_linearCCD; }
    CCD *ccd() const { return m_ccd; }

    // The serial panel's choices. The setters refuse what the lists do not
    // offer.
    QString portEntry() const;
    // Selects the listed port of that name, or else puts entry into the box.
    void setPortEntry(const QString &entry);
    qint32 baudRate() const;
    bool setBaudRate(qint32 rate);
    int parityIndex() const;
    bool setParityIndex(int index);
    int dataBitsIndex() const;
    bool setDataBitsIndex(int index);
    int stopBitsIndex() const;
    bool setStopBitsIndex(int index);
    int currentTab() const;
    bool setCurrentTab(int index);

public slots:
    // Opens the chosen port as a click on 打开串口 does, unless one is open
    // or a replay plays.
    void openChosenPort();

signals:
    void comOpen();
    void comClose();

private slots:
    void on_updataComBnt_clicked();
    void on_openPort_clicked();
    void onReadData();
    void onLinkClick(QString href);
    void on_exit_triggered();
    void on_about_triggered();
    void on_buyHardware_triggered();

private:
    void refreshPortList();
    void followPorts(const QStringList &names);
    void openSerialPort();
    void updatePanel();
    void onConnectionStateChanged(SerialConnection::State state);
    void onReconnected(const QString &device);
    void onReplayActive(bool active);
    bool selectIndex(QComboBox *list, int index);

    Ui::MainWindow *ui;
    SerialConnection *m_connection;
    PortWatcher *m_portWatcher;
    StatusBarPanel *m_statusPanel;
    StreamRouter *m_router;
    CapturePlayer *m_player;
    RecordingControl *m_recording;
    ReplayControls *m_replay;
    LanguageButton *m_languageButton;
    bool m_replaying = false;
    ComAssistant *m_comAssistant;
    Oscilloscope *m_oscilloscope;
    LinearCCD *m_linearCCD;
    CCD *m_ccd;
};

#endif // MAINWINDOW_H

#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "serialconnection.h"
#include "streamrouter.h"

#include <QByteArray>
#include <QMainWindow>
#include <QSerialPort>

class CCD;
class ComAssistant;
class LinearCCD;
class Oscilloscope;

QT_BEGIN_NAMESPACE
namespace Ui {
class MainWindow;
}
QT_END_NAMESPACE

// The one window: the serial panel on the left and the four tabs on the right.
// It wires the serial connection to the stream router, which feeds the tabs,
// and shows the user what the connection reports.
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
    void openSerialPort();
    void updatePanel();
    void onConnectionStateChanged(SerialConnection::State state);
    void onConnectionError(QSerialPort::SerialPortError error);

    Ui::MainWindow *ui;
    SerialConnection *m_connection;
    StreamRouter *m_router;
    ComAssistant *m_comAssistant;
    Oscilloscope *m_oscilloscope;
    LinearCCD *m_linearCCD;
    CCD *m_ccd;
};

#endif // MAINWINDOW_H

#ifndef MAINWINDOW_H
#define MAINWINDOW_H

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
// It owns the open port and the receive buffer that the current tab consumes.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The receive buffer keeps at most this many of the newest bytes, so that a
    // tab waiting for an end byte that never comes cannot exhaust memory.
    static constexpr qsizetype kRecvBufferLimit = 1024 * 1024;

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Bytes received and not yet consumed by a tab.
    const QByteArray &recvBuffer() const { return m_recvBuffer; }

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
    void applyPortSettings();
    void closeSerialPort();
    void updatePanel();
    void onPortError(QSerialPort::SerialPortError error);

    Ui::MainWindow *ui;
    QSerialPort *m_port;
    QByteArray m_recvBuffer;
    ComAssistant *m_comAssistant;
    Oscilloscope *m_oscilloscope;
    LinearCCD *m_linearCCD;
    CCD *m_ccd;
};

#endif // MAINWINDOW_H

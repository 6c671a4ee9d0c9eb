#ifndef REPEATSENDER_H
#define REPEATSENDER_H

#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QTimer>

// The clock of repeated sending: asks for a send every period while the port
// it was started on stays open and sound. It sends nothing itself, so that
// every send takes the same path as a click on 发送.
class RepeatSender : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMinPeriodMs = 10;
    static constexpr int kMaxPeriodMs = 60000;
    static constexpr int kDefaultPeriodMs = 1000;

    explicit RepeatSender(QObject *parent = nullptr);

    bool isActive() const { return m_port != nullptr; }
    int period() const { return m_timer.interval(); }
    // Clamped to kMinPeriodMs..kMaxPeriodMs; a running clock takes it at once.
    void setPeriod(int ms);

    // Asks for a send every period from now on, until stop() or until port
    // closes, goes away or fails.
    void start(QSerialPort *port);
    void stop();

signals:
    void due();
    // The port failed while open (a write or the device itself); the clock
    // has stopped.
    void failed();
    // The clock stopped, for whatever reason.
    void stopped();

private:
    void onPortError(QSerialPort *port, QSerialPort::SerialPortError error);

    QTimer m_timer;
    QPointer<QSerialPort> m_port;
};

#endif // REPEATSENDER_H

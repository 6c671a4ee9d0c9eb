#ifndef SERIALCONNECTION_H
#define SERIALCONNECTION_H

#include "bytelink.h"
#include "portsettings.h"
#include "trafficcounter.h"

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QSerialPort>
#include <QString>
#include <QStringList>
#include <QTimer>

// The serial port the program talks through: opens it with the panel's line
// settings, reads it, writes it, closes it, counts what goes through it, and
// reports what happens on it. It shows nothing; the window decides what the
// user sees.
//
// The port object exists only while the port is open: it is created by
// open(), deleted by close() or when the device goes away, and null in
// between. Whoever needs the port of the moment keeps portSlot().
//
// With auto-reconnect on, a device that goes away is waited for: every
// kRetryMs the connection tries to open it again, by its name or, for a USB
// adapter that comes back under another name, by its serial number or IDs.
// The ports the system lists are looked up for that on a worker thread, as
// the system may take tens of milliseconds to answer.
class SerialConnection : public ByteLink
{
    Q_OBJECT

public:
    enum class State {
        Closed,
        Open,
        Lost,    // the device went away while open; the port is closed
        Waiting, // lost as well, and about to be opened again once it is back
    };
    Q_ENUM(State)

    static constexpr int kRetryMs = 500;

    explicit SerialConnection(QObject *parent = nullptr);

    State state() const { return m_state; }
    bool isOpen() const override { return m_port != nullptr; }
    // The address of the pointer to the open port, which is null while none is.
    QSerialPort *const *portSlot() const { return &m_port; }

    // The device and the line settings of the last successful open, kept
    // after a close or a loss so that the same port can be opened again.
    QString deviceName() const { return m_deviceName; }
    LineSettings settings() const { return m_settings; }

    // Opens device (a bare name such as ttyUSB0 or COM3, or a path), sets its
    // line up and zeroes the counters, closing an open port (or ending a
    // wait) first. False when the device cannot be opened or refuses the
    // baud rate (then closed again); errorOccurred() says why, and the state
    // stays as it was, or Closed after a wait.
    bool open(const QString &device, const LineSettings &settings);
    // Whether the last open() failed because the device refused the rate.
    bool baudRateRefused() const { return m_baudRateRefused; }
    // Closes an open port or ends a wait; does nothing otherwise.
    void close();
    // True when the port took all of bytes; false without an open port. A
    // write that fails later is told by writeFailed().
    bool write(const QByteArray &bytes) override;

    bool autoReconnect() const { return m_autoReconnect; }
    // Turning it off during a wait ends the wait.
    void setAutoReconnect(bool on);

    // Bytes received and sent since the last open(); a reconnection goes on
    // counting. They stay readable after a close.
    qint64 receivedBytes() const { return m_traffic.received(); }
    qint64 sentBytes() const { return m_traffic.sent(); }
    // Bytes received within the last second.
    qint64 receiveRate() const { return m_traffic.receiveRate(m_clock.elapsed()); }
    // Zeroes the counts as open() does; both say so by countersReset().
    void resetCounters();

public slots:
    // Reads whatever the port holds and delivers it, even nothing. Does
    // nothing while no port is open.
    void readPending();

signals:
    // Each port in use, from open() or a reconnection until it is closed,
    // lost or waited for, is marked by the link's opened() and closed().
    void stateChanged(SerialConnection::State state);
    // The lost device was opened again, as device (which differs from the
    // name it was lost under when an adapter came back under another name).
    void reconnected(const QString &device);
    void bytesWritten(qint64 count);
    // The counts went back to zero, by open() or resetCounters().
    void countersReset();
    void errorOccurred(QSerialPort::SerialPortError error, const QString &description);

protected:
    // Sets the rate on the open port; false when the adapter or its driver
    // refuses it. Virtual so that a test can stand in for an adapter that
    // refuses, which a pseudo-terminal never does.
    virtual bool setLineRate(QSerialPort &port, qint32 rate);

private:
    QSerialPort *openDevice(const QString &device);
    void install(QSerialPort *port, const QString &device, const LineSettings &settings);
    void applySettings(const LineSettings &settings);
    void handleError(QSerialPort::SerialPortError error);
    void release(State state);
    void startWaiting();
    void stopWaiting();
    void retry();
    void tryReturningPort();
    void reconnect(QSerialPort *port, const QString &device);
    void countSent(qint64 bytes);

    QSerialPort *m_port = nullptr;
    State m_state = State::Closed;
    QString m_deviceName;
    LineSettings m_settings {};
    bool m_autoReconnect = false;
    bool m_baudRateRefused = false;
    // Who the open device is, for finding it again under another name.
    PortIdentity m_identity;
    // The other ports present when the device went away.
    QStringList m_portsAtLoss;
    QTimer m_retryTimer;
    QFutureWatcher<QList<PortIdentity>> m_portScan;
    TrafficCounter m_traffic;
    QElapsedTimer m_clock;
};

#endif // SERIALCONNECTION_H

#ifndef SERIALCONNECTION_H
#define SERIALCONNECTION_H

#include "bytesource.h"
#include "portsettings.h"

#include <QSerialPort>
#include <QString>

// The serial port the program talks through: opens it with the panel's line
// settings, reads it, writes it, closes it, and reports what happens on it.
// It shows nothing; the window decides what the user sees.
//
// The port object exists only while the port is open: it is created by
// open(), deleted by close() or when the device goes away, and null in
// between. Whoever needs the port of the moment keeps portSlot().
class SerialConnection : public ByteSource
{
    Q_OBJECT

public:
    enum class State {
        Closed,
        Open,
        Lost, // the device went away while open; the port is closed
    };
    Q_ENUM(State)

    explicit SerialConnection(QObject *parent = nullptr);

    State state() const { return m_state; }
    bool isOpen() const { return m_port != nullptr; }
    // The address of the pointer to the open port, which is null while none is.
    QSerialPort *const *portSlot() const { return &m_port; }

    // The device and the line settings of the last successful open, kept
    // after a close or a loss so that the same port can be opened again.
    QString deviceName() const { return m_deviceName; }
    LineSettings settings() const { return m_settings; }

    // Opens device (a bare name such as ttyUSB0 or COM3, or a path) and sets
    // its line up, closing an open port first. False when the device cannot
    // be opened; errorOccurred() says why, and the state stays as it was.
    bool open(const QString &device, const LineSettings &settings);
    // Does nothing unless a port is open.
    void close();
    // True when the port took all of bytes; false without an open port.
    bool write(const QByteArray &bytes);

public slots:
    // Reads whatever the port holds and delivers it, even nothing. Does
    // nothing while no port is open.
    void readPending();

signals:
    void stateChanged(SerialConnection::State state);
    void bytesWritten(qint64 count);
    void errorOccurred(QSerialPort::SerialPortError error, const QString &description);

private:
    void applySettings(const LineSettings &settings);
    void handleError(QSerialPort::SerialPortError error);
    void release(State state);

    QSerialPort *m_port = nullptr;
    State m_state = State::Closed;
    QString m_deviceName;
    LineSettings m_settings {};
};

#endif // SERIALCONNECTION_H

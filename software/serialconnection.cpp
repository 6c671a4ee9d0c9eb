#include "serialconnection.h"

#include <QPointer>

SerialConnection::SerialConnection(QObject *parent)
    : ByteSource(parent)
{ }

bool SerialConnection::open(const QString &device, const LineSettings &settings)
{
    close();
    // A bare name opens at its system location, a path as written.
    auto *port = new QSerialPort(device, this);
    if (!port->open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = port->error();
        const QString description = port->errorString();
        delete port;
        emit errorOccurred(error, description);
        return false;
    }

    m_port = port;
    m_deviceName = device;
    m_settings = settings;
    applySettings(settings);
    connect(port, &QSerialPort::readyRead, this, &SerialConnection::readPending);
    connect(port, &QSerialPort::bytesWritten, this, &SerialConnection::bytesWritten);
    // Queued, because handling an error may delete the port, which must not
    // happen while the port is still emitting.
    const QPointer<QSerialPort> guard = port;
    connect(
            port, &QSerialPort::errorOccurred, this,
            [this, guard](QSerialPort::SerialPortError error) {
                if (guard && guard == m_port)
                    handleError(error);
            },
            Qt::QueuedConnection);
    m_state = State::Open;
    emit stateChanged(m_state);
    return true;
}

void SerialConnection::close()
{
    if (m_port)
        release(State::Closed);
}

bool SerialConnection::write(const QByteArray &bytes)
{
    return m_port && m_port->write(bytes) == bytes.size();
}

void SerialConnection::readPending()
{
    if (m_port)
        emit bytesReceived(m_port->readAll());
}

void SerialConnection::applySettings(const LineSettings &settings)
{
    // A setting the device refuses (a virtual port knows no parity, say)
    // leaves the port open with its previous value.
    m_port->setBaudRate(settings.baudRate);
    m_port->setDataBits(settings.dataBits);
    m_port->setParity(settings.parity);
    if (settings.stopBits)
        m_port->setStopBits(*settings.stopBits);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
}

void SerialConnection::handleError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError)
        return;
    const QPointer<QSerialPort> port = m_port;
    emit errorOccurred(error, m_port->errorString());
    // The device went away (adapter pulled, cable cut), unless a listener
    // has closed the port meanwhile.
    if (port && port == m_port
        && (error == QSerialPort::ResourceError || error == QSerialPort::ReadError))
        release(State::Lost);
}

void SerialConnection::release(State state)
{
    m_port->close();
    delete m_port;
    m_port = nullptr;
    m_state = state;
    emit stateChanged(m_state);
}

#include "serialconnection.h"

#include <QPointer>
#include <QSerialPortInfo>
#include <QtConcurrent/QtConcurrentRun>

namespace {

PortIdentity identityOf(const QSerialPortInfo &info)
{
    PortIdentity identity;
    identity.name = info.portName();
    identity.serialNumber = info.serialNumber();
    identity.hasIds = info.hasVendorIdentifier() && info.hasProductIdentifier();
    identity.vendorId = info.vendorIdentifier();
    identity.productId = info.productIdentifier();
    return identity;
}

QList<PortIdentity> systemPorts()
{
    QList<PortIdentity> identities;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        identities.append(identityOf(info));
    return identities;
}

// Only USB adapters can be recognised under another name.
bool isRecognisable(const PortIdentity &identity)
{
    return identity.hasIds || !identity.serialNumber.isEmpty();
}

} // namespace

SerialConnection::SerialConnection(QObject *parent)
    : ByteLink(parent)
{
    m_retryTimer.setInterval(kRetryMs);
    connect(&m_retryTimer, &QTimer::timeout, this, &SerialConnection::retry);
    connect(&m_portScan, &QFutureWatcher<QList<PortIdentity>>::finished, this,
            &SerialConnection::tryReturningPort);
    m_clock.start();
}

bool SerialConnection::open(const QString &device, const LineSettings &settings)
{
    close();
    m_baudRateRefused = false;
    // A bare name opens at its system location, a path as written.
    auto *port = new QSerialPort(device, this);
    const bool opened = port->open(QIODevice::ReadWrite);
    // A port running at another rate than the one chosen would show only
    // garbage, so a refused rate closes it again.
    m_baudRateRefused = opened && !setLineRate(*port, settings.baudRate);
    if (!opened || m_baudRateRefused) {
        const QSerialPort::SerialPortError error = port->error();
        const QString description = port->errorString();
        delete port;
        emit errorOccurred(error, description);
        return false;
    }
    m_traffic.reset();
    emit countersReset();
    install(port, device, settings);
    return true;
}

void SerialConnection::install(QSerialPort *port, const QString &device,
                               const LineSettings &settings)
{
    m_port = port;
    m_deviceName = device;
    m_settings = settings;
    m_identity = PortIdentity();
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        if (info.portName() == port->portName() || info.systemLocation() == device) {
            m_identity = identityOf(info);
            break;
        }
    }
    applySettings(settings);
    connect(port, &QSerialPort::readyRead, this, &SerialConnection::readPending);
    connect(port, &QSerialPort::bytesWritten, this, &SerialConnection::countSent);
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
    emit opened();
    emit stateChanged(m_state);
}

void SerialConnection::close()
{
    if (m_port)
        release(State::Closed);
    else if (m_state == State::Waiting)
        stopWaiting();
}

bool SerialConnection::write(const QByteArray &bytes)
{
    return m_port && m_port->write(bytes) == bytes.size();
}

void SerialConnection::readPending()
{
    if (!m_port)
        return;
    const QByteArray bytes = m_port->readAll();
    m_traffic.addReceived(bytes.size(), m_clock.elapsed());
    emit bytesReceived(bytes);
}

bool SerialConnection::setLineRate(QSerialPort &port, qint32 rate)
{
    return port.setBaudRate(rate);
}

void SerialConnection::applySettings(const LineSettings &settings)
{
    // A setting the device refuses (a virtual port knows no parity, say)
    // leaves the port open with its previous value; open() has already
    // checked the rate.
    setLineRate(*m_port, settings.baudRate);
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
    if (error == QSerialPort::WriteError)
        emit writeFailed();
    // The device went away (adapter pulled, cable cut), unless a listener
    // has closed the port meanwhile.
    if (port && port == m_port
        && (error == QSerialPort::ResourceError || error == QSerialPort::ReadError)) {
        if (m_autoReconnect)
            startWaiting();
        else
            release(State::Lost);
    }
}

void SerialConnection::release(State state)
{
    m_port->close();
    delete m_port;
    m_port = nullptr;
    m_state = state;
    emit closed();
    emit stateChanged(m_state);
}

void SerialConnection::setAutoReconnect(bool on)
{
    m_autoReconnect = on;
    if (!on && m_state == State::Waiting)
        stopWaiting();
}

void SerialConnection::resetCounters()
{
    m_traffic.reset();
    emit countersReset();
}

QSerialPort *SerialConnection::openDevice(const QString &device)
{
    auto *port = new QSerialPort(device, this);
    if (port->open(QIODevice::ReadWrite))
        return port;
    delete port;
    return nullptr;
}

void SerialConnection::startWaiting()
{
    m_portsAtLoss.clear();
    if (isRecognisable(m_identity)) {
        const QList<PortIdentity> ports = systemPorts();
        for (const PortIdentity &port : ports)
            m_portsAtLoss.append(port.name);
    }
    release(State::Waiting);
    // A listener may have ended the wait at once.
    if (m_state == State::Waiting)
        m_retryTimer.start();
}

void SerialConnection::stopWaiting()
{
    m_retryTimer.stop();
    m_state = State::Closed;
    emit stateChanged(m_state);
}

void SerialConnection::retry()
{
    if (QSerialPort *port = openDevice(m_deviceName)) {
        reconnect(port, m_deviceName);
        return;
    }
    if (isRecognisable(m_identity) && !m_portScan.isRunning())
        m_portScan.setFuture(QtConcurrent::run(&systemPorts));
}

void SerialConnection::tryReturningPort()
{
    // The wait may have ended while the system was answering.
    if (m_state != State::Waiting)
        return;
    const QString device = returningPortName(m_identity, m_portScan.result(), m_portsAtLoss);
    if (device.isEmpty())
        return;
    if (QSerialPort *port = openDevice(device))
        reconnect(port, device);
}

void SerialConnection::reconnect(QSerialPort *port, const QString &device)
{
    m_retryTimer.stop();
    install(port, device, m_settings);
    emit reconnected(device);
}

void SerialConnection::countSent(qint64 bytes)
{
    m_traffic.addSent(bytes);
    emit bytesWritten(bytes);
}

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
    m_readDue.setSingleShot(true);
    m_readDue.setTimerType(Qt::PreciseTimer);
    connect(&m_readDue, &QTimer::timeout, this, &SerialConnection::readPending);
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
    m_address = NetworkAddress();
    install(port, device, settings);
    return true;
}

bool SerialConnection::openNetwork(const NetworkAddress &address)
{
    close();
    auto *link = new NetworkLink(address, this);
    if (!link->start()) {
        const QAbstractSocket::SocketError error = link->error();
        const QString description = link->errorString();
        delete link;
        emit networkFailed(error, description);
        return false;
    }
    m_address = address;
    m_deviceName = address.toString();
    m_traffic.reset();
    emit countersReset();
    attach(link);
    if (link->phase() == NetworkLink::Phase::Connecting) {
        m_state = State::Connecting;
        emit stateChanged(m_state);
    } else {
        linkUp();
    }
    return true;
}

void SerialConnection::attach(NetworkLink *link)
{
    m_link = link;
    connect(link, &ByteSource::bytesReceived, this, &SerialConnection::deliver);
    connect(link, &NetworkLink::bytesWritten, this, &SerialConnection::countSent);
    connect(link, &ByteLink::writeFailed, this, &ByteLink::writeFailed);
    connect(link, &NetworkLink::phaseChanged, this, [this](NetworkLink::Phase phase) {
        if (m_state == State::Open)
            emit networkChanged();
        else if (phase != NetworkLink::Phase::Connecting)
            linkUp();
    });
    connect(link, &NetworkLink::failed, this, &SerialConnection::linkFailed);
    connect(link, &NetworkLink::lost, this, &SerialConnection::linkLost);
}

void SerialConnection::linkUp()
{
    const bool wasWaiting = m_state == State::Waiting;
    m_retryTimer.stop();
    m_state = State::Open;
    emit opened();
    emit stateChanged(m_state);
    if (wasWaiting)
        emit reconnected(m_deviceName);
}

void SerialConnection::linkFailed(QAbstractSocket::SocketError error, const QString &description)
{
    dropLink();
    // While waiting, the next retry tries again without a word.
    if (m_state != State::Connecting)
        return;
    m_state = State::Closed;
    emit stateChanged(m_state);
    emit networkFailed(error, description);
}

void SerialConnection::linkLost()
{
    dropLink();
    m_state = m_autoReconnect ? State::Waiting : State::Lost;
    emit closed();
    emit stateChanged(m_state);
    // A listener may have ended the wait at once.
    if (m_state == State::Waiting)
        m_retryTimer.start();
}

void SerialConnection::dropLink()
{
    // Called from the link's own signals too: it goes once they have returned.
    m_link->disconnect(this);
    m_link->stop();
    m_link->deleteLater();
    m_link = nullptr;
}

void SerialConnection::deliver(const QByteArray &bytes)
{
    m_traffic.addReceived(bytes.size(), m_clock.elapsed());
    emit bytesReceived(bytes);
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
    connect(port, &QSerialPort::readyRead, this, &SerialConnection::readWhenDue);
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
    if (m_port) {
        release(State::Closed);
    } else if (m_state == State::Waiting) {
        stopWaiting();
    } else if (m_link) {
        const bool wasOpen = m_state == State::Open;
        dropLink();
        m_state = State::Closed;
        if (wasOpen)
            emit closed();
        emit stateChanged(m_state);
    }
}

bool SerialConnection::write(const QByteArray &bytes)
{
    if (m_link)
        return m_state == State::Open && m_link->write(bytes);
    return m_port && m_port->write(bytes) == bytes.size();
}

void SerialConnection::readWhenDue()
{
    // A fast line wakes the window a thousand times a second, while a screen
    // shows one picture per refresh. Reading once per refresh lets every tab
    // take more bytes at a time; the counters, the stream and the tabs still
    // change together.
    if (!m_port || m_readDue.isActive())
        return;
    const qint64 since = m_sinceRead.isValid() ? m_sinceRead.elapsed() : m_readInterval;
    if (since < m_readInterval)
        m_readDue.start(int(m_readInterval - since));
    else
        readPending();
}

void SerialConnection::readPending()
{
    m_readDue.stop();
    if (!m_port)
        return;
    m_sinceRead.start();
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
    // What the port took before it went is received all the same.
    if (m_readDue.isActive())
        readPending();
    if (!m_port)
        return;
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
    if (m_link)
        dropLink();
    m_state = State::Closed;
    emit stateChanged(m_state);
}

void SerialConnection::retry()
{
    if (m_address.isValid()) {
        // One attempt at a time; a failed one makes room for the next.
        if (!m_link) {
            auto *link = new NetworkLink(m_address, this);
            if (link->start())
                attach(link);
            else
                delete link;
        }
        return;
    }
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

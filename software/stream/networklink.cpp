#include "networklink.h"

#include <QHostInfo>
#include <QNetworkDatagram>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include <utility>

namespace {

// Larger writes go out in pieces that fit a datagram.
constexpr qsizetype kMaxDatagramBytes = 8192;

QHostAddress bindAddress(const QString &host)
{
    // Every interface only for an address typed without one.
    return host.isEmpty() ? QHostAddress(QHostAddress::Any) : QHostAddress(host);
}

QString hostPort(const QHostAddress &address, quint16 port)
{
    // An IPv4 client of a dual-stack socket shows as itself.
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    const QString host = isV4 ? QHostAddress(v4).toString()
                              : QLatin1Char('[') + address.toString() + QLatin1Char(']');
    return host + QLatin1Char(':') + QString::number(port);
}

} // namespace

NetworkLink::NetworkLink(const NetworkAddress &address, QObject *parent)
    : ByteLink(parent)
    , m_address(address)
{
    m_connectTimeout.setSingleShot(true);
    m_connectTimeout.setInterval(kConnectTimeoutMs);
    connect(&m_connectTimeout, &QTimer::timeout, this,
            [this] { fail(QAbstractSocket::SocketTimeoutError, tr("连接超时")); });
}

NetworkLink::~NetworkLink()
{
    stop();
}

void NetworkLink::stop()
{
    if (m_lookup >= 0) {
        QHostInfo::abortHostLookup(m_lookup);
        m_lookup = -1;
    }
    m_connectTimeout.stop();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
    if (m_server)
        m_server->close();
    m_udpPoll.stop();
    if (m_udp) {
        m_udp->disconnect(this);
        m_udp->close();
    }
    m_datagrams.clear();
}

bool NetworkLink::start()
{
    switch (m_address.kind()) {
    case NetworkAddress::Kind::TcpClient: {
        auto *socket = new QTcpSocket(this);
        watchSocket(socket);
        connect(socket, &QTcpSocket::connected, this, [this] {
            m_connectTimeout.stop();
            setPhase(Phase::Connected);
        });
        m_socket = socket;
        setPhase(Phase::Connecting);
        m_connectTimeout.start();
        socket->connectToHost(m_address.host(), m_address.port());
        return true;
    }
    case NetworkAddress::Kind::TcpServer:
        m_server = new QTcpServer(this);
        if (!m_server->listen(bindAddress(m_address.host()), m_address.port())) {
            m_error = m_server->serverError();
            m_errorString = m_server->errorString();
            return false;
        }
        connect(m_server, &QTcpServer::newConnection, this, &NetworkLink::acceptClient);
        setPhase(Phase::Listening);
        return true;
    case NetworkAddress::Kind::Udp: {
        if (m_address.host().isEmpty())
            return bindUdp(QHostAddress());
        const QHostAddress literal(m_address.host());
        if (!literal.isNull())
            return bindUdp(literal);
        setPhase(Phase::Connecting);
        lookUpUdpHost();
        return true;
    }
    case NetworkAddress::Kind::None:
        break;
    }
    m_error = QAbstractSocket::UnsupportedSocketOperationError;
    m_errorString = tr("地址格式不正确");
    return false;
}

QString NetworkLink::peer() const
{
    if (m_udp)
        return m_remote.isNull() ? QString() : hostPort(m_remote, m_remotePort);
    if (m_server && m_socket)
        return hostPort(m_socket->peerAddress(), m_socket->peerPort());
    return QString();
}

bool NetworkLink::isOpen() const
{
    return m_phase != Phase::Connecting;
}

bool NetworkLink::write(const QByteArray &bytes)
{
    if (m_udp) {
        if (m_remote.isNull())
            return false;
        for (qsizetype at = 0; at < bytes.size(); at += kMaxDatagramBytes) {
            const QByteArray piece = bytes.mid(at, kMaxDatagramBytes);
            if (m_udp->writeDatagram(piece, m_remote, m_remotePort) != piece.size()) {
                emit writeFailed();
                return false;
            }
            emit bytesWritten(piece.size());
        }
        return true;
    }
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return false;
    return m_socket->write(bytes) == bytes.size();
}

void NetworkLink::setPhase(Phase phase)
{
    m_phase = phase;
    emit phaseChanged(phase);
}

void NetworkLink::fail(QAbstractSocket::SocketError error, const QString &description)
{
    if (m_lookup >= 0) {
        QHostInfo::abortHostLookup(m_lookup);
        m_lookup = -1;
    }
    m_connectTimeout.stop();
    m_error = error;
    m_errorString = description;
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
    }
    emit failed(error, description);
}

bool NetworkLink::bindUdp(const QHostAddress &remote)
{
    m_udp = new QUdpSocket(this);
    const quint16 local = m_address.localPort();
    // A receiver on a port of its own binds where it was told; a sender takes
    // the local port it was given, or any.
    const QHostAddress where = remote.isNull() ? bindAddress(QString())
            : remote.protocol() == QAbstractSocket::IPv6Protocol
            ? QHostAddress(QHostAddress::AnyIPv6)
            : QHostAddress(QHostAddress::AnyIPv4);
    if (!m_udp->bind(where, local)) {
        m_error = m_udp->error();
        m_errorString = m_udp->errorString();
        return false;
    }
    // Room for the bursts a busy window leaves unread for a while; the system
    // may grant less.
    m_udp->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, kUdpReceiveBufferBytes);
    connect(m_udp, &QUdpSocket::readyRead, this, &NetworkLink::readDatagrams);
    // Under a steady flood the socket was seen to stop telling of new
    // datagrams for good: it is also looked at regularly.
    connect(&m_udpPoll, &QTimer::timeout, this, &NetworkLink::readDatagrams);
    m_udpPoll.start(kUdpPollMs);
    m_remote = remote;
    m_remotePort = remote.isNull() ? 0 : m_address.port();
    setPhase(remote.isNull() ? Phase::Listening : Phase::Open);
    return true;
}

void NetworkLink::lookUpUdpHost()
{
    m_connectTimeout.start();
    m_lookup = QHostInfo::lookupHost(m_address.host(), this, [this](const QHostInfo &info) {
        m_lookup = -1;
        m_connectTimeout.stop();
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
            fail(QAbstractSocket::HostNotFoundError, info.errorString());
            return;
        }
        if (!bindUdp(info.addresses().constFirst()))
            fail(m_error, m_errorString);
    });
}

void NetworkLink::watchSocket(QTcpSocket *socket)
{
    socket->setReadBufferSize(kReadBufferBytes);
    connect(socket, &QTcpSocket::readyRead, this, &NetworkLink::readSocket);
    connect(socket, &QTcpSocket::bytesWritten, this, &NetworkLink::bytesWritten);
    connect(socket, &QTcpSocket::errorOccurred, this,
            [this, socket](QAbstractSocket::SocketError e) {
                if (socket != m_socket)
                    return;
                if (m_server) {
                    // A server's client broke: the next one may come.
                    if (e != QAbstractSocket::RemoteHostClosedError)
                        socket->abort();
                    return;
                }
                if (m_phase == Phase::Connecting)
                    fail(e, socket->errorString());
            });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        if (socket != m_socket)
            return;
        if (m_server) {
            clientGone();
            return;
        }
        if (m_phase == Phase::Connected) {
            m_socket->disconnect(this);
            m_socket->deleteLater();
            emit lost();
        }
    });
}

void NetworkLink::acceptClient()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        if (m_socket) {
            // One client at a time: a second one is refused.
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_socket = socket;
        watchSocket(socket);
        setPhase(Phase::Connected);
        readSocket();
    }
}

void NetworkLink::clientGone()
{
    // What the client sent before it left has been read already.
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->deleteLater();
    emit writeFailed();
    setPhase(Phase::Listening);
}

void NetworkLink::readSocket()
{
    if (!m_socket)
        return;
    emit bytesReceived(m_socket->readAll());
}

// Datagrams are taken here and handed on from the event loop: a socket that
// hears of new ones while its readyRead() is still being handled would stop
// telling until it is read again, and the datagrams would pile up unread.
void NetworkLink::readDatagrams()
{
    if (!m_udp)
        return;
    while (m_udp->hasPendingDatagrams() && m_datagrams.size() < kMaxDeliveryBytes) {
        const QNetworkDatagram datagram = m_udp->receiveDatagram();
        if (!datagram.isValid())
            break;
        m_datagrams += datagram.data();
        // A receiver answers whoever sent last.
        if (m_address.host().isEmpty()
            && (datagram.senderAddress() != m_remote || datagram.senderPort() != m_remotePort)) {
            m_remote = datagram.senderAddress();
            m_remotePort = quint16(datagram.senderPort());
            setPhase(Phase::Open);
        }
    }
    if (!m_datagrams.isEmpty() && !m_deliveryDue) {
        m_deliveryDue = true;
        QMetaObject::invokeMethod(this, &NetworkLink::deliverDatagrams, Qt::QueuedConnection);
    }
}

void NetworkLink::deliverDatagrams()
{
    m_deliveryDue = false;
    const QByteArray bytes = std::exchange(m_datagrams, QByteArray());
    emit bytesReceived(bytes);
    // What waited while the delivery was full.
    readDatagrams();
}

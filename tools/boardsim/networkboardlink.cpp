#include "networkboardlink.h"

#include <QHostInfo>

namespace {

// What a module sends in one go at most: about one Ethernet frame.
constexpr qsizetype kDatagramBytes = 1400;
// A reader that falls behind holds the sender back once this much waits.
constexpr qint64 kMaxQueuedBytes = 256 * 1024;

} // namespace

NetworkBoardLink::NetworkBoardLink(const NetworkAddress &address, qsizetype unitBytes)
    : m_address(address)
    , m_datagramBytes(unitBytes > 0 && unitBytes <= kDatagramBytes
                              ? kDatagramBytes / unitBytes * unitBytes
                              : kDatagramBytes)
{ }

bool NetworkBoardLink::open(QString &error)
{
    switch (m_address.kind()) {
    case NetworkAddress::Kind::TcpServer:
        // A server binds the address it was given, nothing wider.
        if (!m_server.listen(QHostAddress(m_address.host()), m_address.port())) {
            error = QStringLiteral("cannot listen on %1: %2")
                            .arg(m_address.toString(), m_server.errorString());
            return false;
        }
        return true;
    case NetworkAddress::Kind::Udp: {
        m_remote = QHostAddress(m_address.host());
        if (m_remote.isNull()) {
            const QHostInfo info = QHostInfo::fromName(m_address.host());
            if (info.addresses().isEmpty()) {
                error = QStringLiteral("cannot find %1: %2")
                                .arg(m_address.host(), info.errorString());
                return false;
            }
            m_remote = info.addresses().constFirst();
        }
        return true;
    }
    case NetworkAddress::Kind::TcpClient:
        // Connected on the first look for a reader, and again after it leaves.
        return true;
    case NetworkAddress::Kind::None:
        break;
    }
    error = QStringLiteral("not a network address");
    return false;
}

QString NetworkBoardLink::deviceName() const
{
    const QString port = QString::number(m_address.port());
    switch (m_address.kind()) {
    case NetworkAddress::Kind::TcpServer:
        return QStringLiteral("tcp://") + m_address.toString().mid(int(qstrlen("tcp-server://")));
    case NetworkAddress::Kind::TcpClient:
        return QStringLiteral("tcp-server://:") + port;
    case NetworkAddress::Kind::Udp:
        return QStringLiteral("udp://:") + port;
    case NetworkAddress::Kind::None:
        break;
    }
    return QString();
}

bool NetworkBoardLink::readerPresent()
{
    if (m_address.kind() == NetworkAddress::Kind::Udp)
        return true;
    if (m_address.kind() == NetworkAddress::Kind::TcpServer) {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            // One reader at a time, as a module takes it.
            if (m_socket) {
                socket->abort();
                socket->deleteLater();
            } else {
                adopt(socket);
            }
        }
    } else if (!m_socket) {
        adopt(new QTcpSocket);
        m_socket->connectToHost(m_address.host(), m_address.port());
    }
    if (!m_socket)
        return false;
    heard(m_socket->readAll());
    switch (m_socket->state()) {
    case QAbstractSocket::ConnectedState:
        return true;
    case QAbstractSocket::HostLookupState:
    case QAbstractSocket::ConnectingState:
        return false;
    default:
        // Gone, or never there: the next look starts afresh.
        m_socket->deleteLater();
        m_socket = nullptr;
        return false;
    }
}

void NetworkBoardLink::adopt(QTcpSocket *socket)
{
    m_socket = socket;
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
}

qint64 NetworkBoardLink::write(const QByteArray &bytes)
{
    if (m_address.kind() == NetworkAddress::Kind::Udp) {
        qint64 taken = 0;
        while (taken < bytes.size()) {
            const QByteArray datagram = bytes.mid(taken, m_datagramBytes);
            // A full system buffer takes nothing now; the rest waits.
            if (m_udp.writeDatagram(datagram, m_remote, m_address.port()) < 0)
                break;
            taken += datagram.size();
        }
        return taken;
    }
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return -1;
    if (m_socket->bytesToWrite() > kMaxQueuedBytes)
        return 0;
    return m_socket->write(bytes);
}

bool NetworkBoardLink::flushed()
{
    return !m_socket || m_socket->bytesToWrite() == 0;
}

void NetworkBoardLink::forgetUnread()
{
    // The next reader gets a connection of its own.
    if (m_socket) {
        m_socket->abort();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
}

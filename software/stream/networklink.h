#ifndef NETWORKLINK_H
#define NETWORKLINK_H

#include "bytelink.h"
#include "networkaddress.h"

#include <QAbstractSocket>
#include <QHostAddress>
#include <QPointer>
#include <QTimer>

class QTcpServer;
class QTcpSocket;
class QUdpSocket;

// A link to a board over the network, for one address: a TCP client that
// connects to the board's module, a TCP server that takes one client at a
// time, or a UDP socket. It reads whatever arrives and hands it on as bytes,
// nothing more; the connection that owns it counts and routes them.
//
// A server and a UDP socket are in use as soon as they are bound; a client
// once its connection is made. Nothing here blocks: names are looked up and
// connections made in the background.
class NetworkLink : public ByteLink
{
    Q_OBJECT

public:
    enum class Phase {
        Connecting, // a client's connection is being made, or a name looked up
        Connected,  // a client connected, or a server's client
        Listening,  // a server without a client, or a UDP socket nobody sent to yet
        Open,       // a UDP socket with someone to send to
    };
    Q_ENUM(Phase)

    // A client that has not connected by then gives up.
    static constexpr int kConnectTimeoutMs = 5000;
    // What a TCP socket holds unread at most: beyond it the sender is held
    // back, so a flood cannot grow memory.
    static constexpr qint64 kReadBufferBytes = 1024 * 1024;
    // What the system may hold for a UDP socket: 2 MB/s for two seconds.
    static constexpr int kUdpReceiveBufferBytes = 4 * 1024 * 1024;
    // How often a UDP socket is read even when it says nothing.
    static constexpr int kUdpPollMs = 10;
    // What one delivery takes from a UDP socket at most.
    static constexpr qsizetype kMaxDeliveryBytes = 256 * 1024;

    NetworkLink(const NetworkAddress &address, QObject *parent = nullptr);
    ~NetworkLink() override;

    // Binds a server or UDP socket, or starts a client's connection. False
    // when the address cannot be bound; error() and errorString() say why.
    bool start();
    // Closes the sockets at once, without a word to anyone; the link is
    // done. A server's port is free again when it returns.
    void stop();

    NetworkAddress address() const { return m_address; }
    Phase phase() const { return m_phase; }
    // Who is on the other end, as ADDRESS:PORT: a server's client or a UDP
    // socket's last sender (or the address it sends to); empty while nobody.
    QString peer() const;
    QAbstractSocket::SocketError error() const { return m_error; }
    QString errorString() const { return m_errorString; }

    bool isOpen() const override;
    bool write(const QByteArray &bytes) override;

signals:
    // The phase or the peer changed.
    void phaseChanged(NetworkLink::Phase phase);
    // A client's connection could not be made; the link does nothing more.
    void failed(QAbstractSocket::SocketError error, const QString &description);
    // A client's connection broke after it was made; the link does nothing more.
    void lost();
    void bytesWritten(qint64 count);

private:
    void setPhase(Phase phase);
    void fail(QAbstractSocket::SocketError error, const QString &description);
    bool bindUdp(const QHostAddress &remote);
    void lookUpUdpHost();
    void watchSocket(QTcpSocket *socket);
    void acceptClient();
    void clientGone();
    void readSocket();
    void readDatagrams();
    void deliverDatagrams();

    NetworkAddress m_address;
    Phase m_phase = Phase::Connecting;
    QAbstractSocket::SocketError m_error = QAbstractSocket::UnknownSocketError;
    QString m_errorString;
    QTcpServer *m_server = nullptr;
    // The client's socket, or the server's client of the moment.
    QPointer<QTcpSocket> m_socket;
    QUdpSocket *m_udp = nullptr;
    QHostAddress m_remote;
    quint16 m_remotePort = 0;
    QTimer m_connectTimeout;
    QTimer m_udpPoll;
    int m_lookup = -1;
    // Datagrams read and not yet handed on, at most about kMaxDeliveryBytes.
    QByteArray m_datagrams;
    bool m_deliveryDue = false;
};

#endif // NETWORKLINK_H

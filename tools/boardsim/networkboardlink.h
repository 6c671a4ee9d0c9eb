#ifndef NETWORKBOARDLINK_H
#define NETWORKBOARDLINK_H

#include "boardlink.h"
#include "networkaddress.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

// The board's end over the network, as a Wi-Fi module in transparent mode
// has it: serving one client on a TCP port (tcp-server://), connecting to
// the program (tcp://), or sending datagrams to it (udp://). A UDP receiver
// cannot be seen, so it counts as present from the start.
class NetworkBoardLink : public BoardLink
{
public:
    // unitBytes: how many bytes one unit takes, so that a datagram carries
    // whole units where they fit.
    NetworkBoardLink(const NetworkAddress &address, qsizetype unitBytes);

    bool open(QString &error) override;
    // What to type into the program's port box.
    QString deviceName() const override;
    // A TCP link is like a virtual port: it lives while this program runs,
    // and --stay waits for the next reader. Datagrams are gone once sent.
    bool isVirtual() const override { return m_address.kind() != NetworkAddress::Kind::Udp; }
    bool readerPresent() override;
    qint64 write(const QByteArray &bytes) override;
    bool flushed() override;
    void forgetUnread() override;

private:
    void adopt(QTcpSocket *socket);

    NetworkAddress m_address;
    qsizetype m_datagramBytes;
    QTcpServer m_server;
    QTcpSocket *m_socket = nullptr;
    QUdpSocket m_udp;
    QHostAddress m_remote;
};

#endif // NETWORKBOARDLINK_H

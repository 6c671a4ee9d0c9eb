#ifndef NETWORKADDRESS_H
#define NETWORKADDRESS_H

#include <QString>

// A network address typed into the port box instead of a port name:
//   tcp://HOST:PORT                 connect to a server (a module in access-point mode)
//   tcp-server://[ADDRESS]:PORT     listen on ADDRESS, or on every interface without one
//   udp://:LOCALPORT                receive there, answer whoever sent last
//   udp://HOST:PORT[?local=PORT]    send there, receive on the socket used
// Anything else with "://" is a malformed address; an entry without "://" is
// a port name. Host names are kept as typed and looked up when used; IPv6
// addresses are written in brackets.
class NetworkAddress
{
public:
    enum class Kind { None, TcpClient, TcpServer, Udp };
    enum class Error {
        None,
        UnknownScheme,
        MissingHost, // a client needs someone to connect to
        BadHost,     // not a name or address, or a name where a server needs an address
        BadPort,     // missing, not a number, or outside 1..65535
        BadLocalPort,
        ExtraText, // a path, a user, or a query other than local=
    };

    // True for an entry meant as a network address, well formed or not.
    static bool isNetworkEntry(const QString &entry);
    // The address in entry (trimmed); kind() is None with error() set for a
    // malformed one, and None without an error for a port name.
    static NetworkAddress parse(const QString &entry);

    Kind kind() const { return m_kind; }
    Error error() const { return m_error; }
    bool isValid() const { return m_kind != Kind::None; }
    // The remote host for a client or UDP sender; the address to bind for a
    // server or UDP receiver (empty for every interface).
    QString host() const { return m_host; }
    quint16 port() const { return m_port; }
    // UDP only: the local port to receive on, 0 for any.
    quint16 localPort() const { return m_localPort; }
    // The address written the one way this class writes it.
    QString toString() const;

private:
    Kind m_kind = Kind::None;
    Error m_error = Error::None;
    QString m_host;
    quint16 m_port = 0;
    quint16 m_localPort = 0;
};

#endif // NETWORKADDRESS_H

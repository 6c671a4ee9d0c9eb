#include "networkaddress.h"

#include <QRegularExpression>
#include <QStringList>

#include <cctype>

namespace {

const QString kSeparator = QStringLiteral("://");

bool parsePort(const QString &text, quint16 &port)
{
    // Digits only: toUInt would also take "+80" or " 80".
    if (text.isEmpty() || text.size() > 5)
        return false;
    for (const QChar c : text) {
        if (!c.isDigit() || c.unicode() > '9')
            return false;
    }
    const uint value = text.toUInt();
    if (value < 1 || value > 65535)
        return false;
    port = quint16(value);
    return true;
}

bool isIpv4(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString &part : parts) {
        bool ok = false;
        const uint value = part.toUInt(&ok);
        if (!ok || part.isEmpty() || part.size() > 3 || !part.at(0).isDigit() || value > 255)
            return false;
    }
    return true;
}

bool isIpv6(const QString &text)
{
    // Groups of up to four hex digits, at most one "::", a dotted IPv4 tail allowed.
    QString body = text;
    int groups = 0;
    const int lastColon = body.lastIndexOf(QLatin1Char(':'));
    if (lastColon < 0)
        return false;
    if (body.indexOf(QLatin1Char('.'), lastColon) > lastColon) {
        if (!isIpv4(body.mid(lastColon + 1)))
            return false;
        body = body.left(lastColon + 1) + QStringLiteral("0:0");
    }
    const int gap = body.indexOf(QStringLiteral("::"));
    if (gap >= 0 && body.indexOf(QStringLiteral("::"), gap + 1) >= 0)
        return false;
    QString compact = body;
    if (gap >= 0)
        compact.replace(gap, 2, QLatin1Char(':'));
    if (compact.startsWith(QLatin1Char(':')))
        compact.remove(0, 1);
    if (compact.endsWith(QLatin1Char(':')))
        compact.chop(1);
    const QStringList parts = compact.isEmpty() ? QStringList() : compact.split(QLatin1Char(':'));
    for (const QString &part : parts) {
        if (part.isEmpty() || part.size() > 4)
            return false;
        for (const QChar c : part) {
            if (c.unicode() > 127 || !std::isxdigit(c.toLatin1()))
                return false;
        }
        ++groups;
    }
    return gap >= 0 ? groups <= 7 : groups == 8;
}

bool isIpAddress(const QString &host)
{
    return isIpv4(host) || isIpv6(host);
}

bool isHostName(const QString &host)
{
    static const QRegularExpression name(
            QStringLiteral("^(?=.{1,253}$)[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?"
                           "(?:\\.[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?)*\\.?$"));
    return name.match(host).hasMatch();
}

NetworkAddress::Error splitHostPort(const QString &text, QString &host, quint16 &port)
{
    int colon;
    if (text.startsWith(QLatin1Char('['))) {
        const int close = text.indexOf(QLatin1Char(']'));
        if (close < 0)
            return NetworkAddress::Error::BadHost;
        host = text.mid(1, close - 1);
        if (host.isEmpty() || !host.contains(QLatin1Char(':')) || !isIpAddress(host))
            return NetworkAddress::Error::BadHost;
        colon = close + 1;
        if (colon >= text.size() || text.at(colon) != QLatin1Char(':'))
            return NetworkAddress::Error::BadPort;
    } else {
        colon = text.lastIndexOf(QLatin1Char(':'));
        if (colon < 0)
            return NetworkAddress::Error::BadPort;
        host = text.left(colon);
        // An IPv6 address without brackets cannot be told from its port.
        if (host.contains(QLatin1Char(':')))
            return NetworkAddress::Error::BadHost;
        if (!host.isEmpty() && !isIpAddress(host) && !isHostName(host))
            return NetworkAddress::Error::BadHost;
    }
    if (!parsePort(text.mid(colon + 1), port))
        return NetworkAddress::Error::BadPort;
    return NetworkAddress::Error::None;
}

} // namespace

bool NetworkAddress::isNetworkEntry(const QString &entry)
{
    return entry.contains(kSeparator);
}

NetworkAddress NetworkAddress::parse(const QString &entry)
{
    NetworkAddress result;
    const QString text = entry.trimmed();
    const int separator = text.indexOf(kSeparator);
    if (separator < 0)
        return result;
    const QString scheme = text.left(separator).toLower();
    QString rest = text.mid(separator + kSeparator.size());
    Kind kind;
    if (scheme == QLatin1String("tcp"))
        kind = Kind::TcpClient;
    else if (scheme == QLatin1String("tcp-server"))
        kind = Kind::TcpServer;
    else if (scheme == QLatin1String("udp"))
        kind = Kind::Udp;
    else {
        result.m_error = Error::UnknownScheme;
        return result;
    }

    QString query;
    if (const int mark = rest.indexOf(QLatin1Char('?')); mark >= 0) {
        query = rest.mid(mark + 1);
        rest.truncate(mark);
    }
    if (rest.contains(QLatin1Char('/')) || rest.contains(QLatin1Char('@'))) {
        result.m_error = Error::ExtraText;
        return result;
    }
    QString host;
    quint16 port = 0;
    if (const Error error = splitHostPort(rest, host, port); error != Error::None) {
        result.m_error = error;
        return result;
    }

    quint16 localPort = 0;
    if (!query.isNull()) {
        const QString key = QStringLiteral("local=");
        if (kind != Kind::Udp || host.isEmpty() || !query.startsWith(key)) {
            result.m_error = Error::ExtraText;
            return result;
        }
        if (!parsePort(query.mid(key.size()), localPort)) {
            result.m_error = Error::BadLocalPort;
            return result;
        }
    }
    if (kind == Kind::TcpClient && host.isEmpty()) {
        result.m_error = Error::MissingHost;
        return result;
    }
    // A server binds the address it is given, never what a name resolves to.
    if (kind == Kind::TcpServer && !host.isEmpty() && !isIpAddress(host)) {
        result.m_error = Error::BadHost;
        return result;
    }
    if (kind == Kind::Udp && host.isEmpty())
        localPort = port;

    result.m_kind = kind;
    result.m_host = host;
    result.m_port = port;
    result.m_localPort = localPort;
    return result;
}

QString NetworkAddress::toString() const
{
    if (m_kind == Kind::None)
        return QString();
    const QString host = m_host.contains(QLatin1Char(':'))
            ? QLatin1Char('[') + m_host + QLatin1Char(']')
            : m_host;
    const QString hostPort = host + QLatin1Char(':') + QString::number(m_port);
    switch (m_kind) {
    case Kind::TcpClient:
        return QStringLiteral("tcp://") + hostPort;
    case Kind::TcpServer:
        return QStringLiteral("tcp-server://") + hostPort;
    case Kind::Udp:
        if (m_host.isEmpty())
            return QStringLiteral("udp://:") + QString::number(m_localPort);
        return QStringLiteral("udp://") + hostPort
                + (m_localPort ? QStringLiteral("?local=") + QString::number(m_localPort)
                               : QString());
    case Kind::None:
        break;
    }
    return QString();
}

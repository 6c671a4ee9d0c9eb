#include "seriallink.h"

SerialLink::SerialLink(const QString &name, qint32 baud)
    : m_name(name)
    , m_baud(baud)
{
    m_port.setPortName(name);
}

bool SerialLink::open(QString &error)
{
    if (!m_port.open(QIODevice::ReadWrite)) {
        error = QStringLiteral("cannot open %1: %2").arg(m_name, m_port.errorString());
        return false;
    }
    if (!m_port.setBaudRate(m_baud) || !m_port.setDataBits(QSerialPort::Data8)
        || !m_port.setParity(QSerialPort::NoParity) || !m_port.setStopBits(QSerialPort::OneStop)
        || !m_port.setFlowControl(QSerialPort::NoFlowControl)) {
        error = QStringLiteral("cannot set up %1: %2").arg(m_name, m_port.errorString());
        m_port.close();
        return false;
    }
    QObject::connect(&m_port, &QSerialPort::readyRead, &m_port, [this] { m_port.readAll(); });
    QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
                     [this](QSerialPort::SerialPortError e) {
                         if (e == QSerialPort::ResourceError || e == QSerialPort::WriteError
                             || e == QSerialPort::ReadError)
                             m_lost = true;
                     });
    return true;
}

bool SerialLink::readerPresent()
{
    if (m_lost || !m_port.isOpen())
        return false;
    heard(m_port.readAll());
    return true;
}

qint64 SerialLink::write(const QByteArray &bytes)
{
    if (!readerPresent())
        return -1;
    // The port buffers without limit; give it more only once it has sent what
    // it holds, so that the clock, not the buffer, decides when bytes leave.
    if (m_port.bytesToWrite() > 0)
        return 0;
    return m_port.write(bytes);
}

bool SerialLink::flushed()
{
    return m_lost || m_port.bytesToWrite() == 0;
}

#include "portslotlink.h"

PortSlotLink::PortSlotLink(QSerialPort *const *slot, QObject *parent)
    : ByteLink(parent)
    , m_slot(slot)
{ }

bool PortSlotLink::isOpen() const
{
    const QSerialPort *port = m_slot ? *m_slot : nullptr;
    return port && port->isOpen();
}

bool PortSlotLink::write(const QByteArray &bytes)
{
    if (!isOpen())
        return false;
    QSerialPort *port = *m_slot;
    follow(port);
    m_failed = false;
    return port->write(bytes) == bytes.size();
}

void PortSlotLink::follow(QSerialPort *port)
{
    if (port == m_port)
        return;
    // The owner put another port in place without closing this one.
    if (m_port)
        forget();
    m_port = port;
    connect(port, &QIODevice::aboutToClose, this, &PortSlotLink::forget);
    // Queued: the failure is told outside the port's own handling of it.
    const QPointer<QSerialPort> guard = port;
    connect(
            port, &QSerialPort::errorOccurred, this,
            [this, guard](QSerialPort::SerialPortError error) {
                if (guard && guard == m_port)
                    onError(error);
            },
            Qt::QueuedConnection);
    emit opened();
}

void PortSlotLink::forget()
{
    disconnect(m_port, nullptr, this, nullptr);
    m_port = nullptr;
    emit closed();
}

void PortSlotLink::onError(QSerialPort::SerialPortError error)
{
    if (m_failed)
        return;
    if (error == QSerialPort::WriteError || error == QSerialPort::ResourceError
        || error == QSerialPort::ReadError) {
        m_failed = true;
        emit writeFailed();
    }
}

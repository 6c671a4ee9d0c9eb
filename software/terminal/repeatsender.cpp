#include "repeatsender.h"

#include <algorithm>

RepeatSender::RepeatSender(QObject *parent)
    : QObject(parent)
{
    m_timer.setInterval(kDefaultPeriodMs);
    // The coarse default may stretch a short period by a twentieth.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &RepeatSender::due);
}

void RepeatSender::setPeriod(int ms)
{
    m_timer.setInterval(std::clamp(ms, kMinPeriodMs, kMaxPeriodMs));
}

void RepeatSender::start(QSerialPort *port)
{
    stop();
    if (!port || !port->isOpen())
        return;
    m_port = port;
    connect(port, &QIODevice::aboutToClose, this, &RepeatSender::stop);
    connect(port, &QObject::destroyed, this, &RepeatSender::stop);
    // Queued, as the window's own handler of the port's errors is: when that
    // one closes a lost port first, the window reports the loss, and a second
    // box for the same cause would only repeat it.
    connect(
            port, &QSerialPort::errorOccurred, this,
            [this, port](QSerialPort::SerialPortError error) { onPortError(port, error); },
            Qt::QueuedConnection);
    m_timer.start();
}

void RepeatSender::stop()
{
    if (!m_port && !m_timer.isActive())
        return;
    m_timer.stop();
    if (m_port)
        disconnect(m_port, nullptr, this, nullptr);
    m_port = nullptr;
    emit stopped();
}

void RepeatSender::onPortError(QSerialPort *port, QSerialPort::SerialPortError error)
{
    if (port != m_port || !port->isOpen())
        return;
    if (error == QSerialPort::WriteError || error == QSerialPort::ResourceError
        || error == QSerialPort::ReadError) {
        stop();
        emit failed();
    }
}

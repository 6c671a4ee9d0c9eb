#include "portwatcher.h"

#include "portsettings.h"

#include <QSerialPortInfo>

PortWatcher::PortWatcher(QObject *parent)
    : QObject(parent)
    , m_scanner(&PortWatcher::systemPorts)
{
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &PortWatcher::poll);
}

QStringList PortWatcher::scan()
{
    m_last = m_scanner();
    return m_last;
}

void PortWatcher::setActive(bool active)
{
    if (active == m_timer.isActive())
        return;
    if (active)
        m_timer.start();
    else
        m_timer.stop();
}

QStringList PortWatcher::systemPorts()
{
    const PortNaming naming = platformPortNaming();
    QStringList names;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        const QString name = listedPortName(info.portName(), naming);
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

void PortWatcher::poll()
{
    const QStringList previous = m_last;
    if (scan() != previous)
        emit portsChanged(m_last);
}

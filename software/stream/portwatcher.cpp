#include "portwatcher.h"

#include "portsettings.h"

#include <QSerialPortInfo>
#include <QtConcurrent/QtConcurrentRun>

PortWatcher::PortWatcher(QObject *parent)
    : QObject(parent)
    , m_scanner(&PortWatcher::systemPorts)
{
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &PortWatcher::poll);
    connect(&m_pending, &QFutureWatcher<QStringList>::finished, this, &PortWatcher::compare);
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
    // A slow system may still be answering the last look.
    if (!m_pending.isRunning())
        m_pending.setFuture(QtConcurrent::run(m_scanner));
}

void PortWatcher::compare()
{
    // Stopped meanwhile (a port was opened): the answer is of no use.
    if (!m_timer.isActive())
        return;
    const QStringList names = m_pending.result();
    if (names == m_last)
        return;
    m_last = names;
    emit portsChanged(m_last);
}

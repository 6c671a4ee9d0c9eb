#include "portsettings.h"

#include "baudrates.h"

PortNaming platformPortNaming()
{
#if defined(Q_OS_WIN)
    return PortNaming::ComStyle;
#else
    return PortNaming::SystemNames;
#endif
}

QString listedPortName(const QString &enumeratedName, PortNaming naming)
{
    const qsizetype nul = enumeratedName.indexOf(QChar(u'\0'));
    const QString name = nul < 0 ? enumeratedName : enumeratedName.left(nul);
    if (naming == PortNaming::ComStyle
        && !name.startsWith(QLatin1String("com"), Qt::CaseInsensitive))
        return QString();
    return name;
}

QString deviceNameForEntry(const QString &entry, PortNaming naming)
{
    const QString text = entry.trimmed();
    if (naming == PortNaming::SystemNames)
        return text;
    if (!text.startsWith(QLatin1String("com"), Qt::CaseInsensitive))
        return text;
    const QString digits = text.mid(3);
    bool ok = false;
    const int number = digits.toInt(&ok, 10);
    if (!ok)
        return QString();
    // Ports from COM10 on are reachable only through the device namespace.
    return (number > 9 ? QStringLiteral("\\\\.\\COM") : QStringLiteral("COM")) + digits;
}

LineSettings lineSettingsFor(const QString &baudText, int parityIndex, int dataBitsIndex,
                             int stopBitsIndex)
{
    LineSettings settings { 9600, QSerialPort::Data8, QSerialPort::NoParity, std::nullopt };
    if (const std::optional<qint32> rate = baudRateForText(baudText))
        settings.baudRate = *rate;
    static const QSerialPort::DataBits dataBits[]
            = { QSerialPort::Data8, QSerialPort::Data7, QSerialPort::Data6, QSerialPort::Data5 };
    if (dataBitsIndex >= 0 && dataBitsIndex < 4)
        settings.dataBits = dataBits[dataBitsIndex];
    if (parityIndex == 1)
        settings.parity = QSerialPort::OddParity;
    else if (parityIndex == 2)
        settings.parity = QSerialPort::EvenParity;
    if (stopBitsIndex == 0)
        settings.stopBits = QSerialPort::OneStop;
    else if (stopBitsIndex == 1)
        settings.stopBits = QSerialPort::TwoStop;
    return settings;
}

QString returningPortName(const PortIdentity &lost, const QList<PortIdentity> &available,
                          const QStringList &presentAtLoss)
{
    QString byIds;
    for (const PortIdentity &port : available) {
        if (port.name == lost.name || presentAtLoss.contains(port.name))
            continue;
        if (!lost.serialNumber.isEmpty() && port.serialNumber == lost.serialNumber)
            return port.name;
        // Two adapters of one make that report different serial numbers are
        // two devices, even with the same IDs.
        const bool serialsDiffer = !lost.serialNumber.isEmpty() && !port.serialNumber.isEmpty();
        if (byIds.isEmpty() && lost.hasIds && port.hasIds && port.vendorId == lost.vendorId
            && port.productId == lost.productId && !serialsDiffer)
            byIds = port.name;
    }
    return byIds;
}

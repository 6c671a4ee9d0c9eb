#include "portnames.h"

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
    if (naming == PortNaming::ComStyle && !name.startsWith(QLatin1String("com"), Qt::CaseInsensitive))
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

#include "lineending.h"

QByteArray lineEndingBytes(LineEnding ending)
{
    switch (ending) {
    case LineEnding::None:
        break;
    case LineEnding::CrLf:
        return QByteArrayLiteral("\r\n");
    case LineEnding::Lf:
        return QByteArrayLiteral("\n");
    case LineEnding::Cr:
        return QByteArrayLiteral("\r");
    }
    return QByteArray();
}

QStringList lineEndingNames()
{
    return { QStringLiteral("none"), QStringLiteral("crlf"), QStringLiteral("lf"),
             QStringLiteral("cr") };
}

#include "baudrates.h"

std::optional<qint32> baudRateForText(const QString &text)
{
    // No sign, no spaces, no decimal point: what the box lets the user type.
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    const qint64 rate = text.toLongLong(&ok, 10);
    if (!ok || !isBaudRateInRange(rate))
        return std::nullopt;
    return qint32(rate);
}

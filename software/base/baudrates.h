#ifndef BAUDRATES_H
#define BAUDRATES_H

#include <QString>

#include <optional>

// The baud rates the serial panel offers, in the order of its list.
inline constexpr qint32 kBaudRates[]
        = { 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000 };

// Any rate in this range may be typed into the box or given on the command
// line; whether the adapter takes it is the adapter's answer when opening.
inline constexpr qint32 kMinBaudRate = 50;
inline constexpr qint32 kMaxBaudRate = 12000000;

inline constexpr bool isBaudRateInRange(qint64 rate)
{
    return rate >= kMinBaudRate && rate <= kMaxBaudRate;
}

// The rate a text names: a whole decimal number from kMinBaudRate to
// kMaxBaudRate, digits only; unset for any other text.
std::optional<qint32> baudRateForText(const QString &text);

#endif // BAUDRATES_H

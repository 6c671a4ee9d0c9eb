#ifndef PLOTFUZZTEXT_H
#define PLOTFUZZTEXT_H

// Pieces of clean text streams for the text framings' targets.
#include "plotfuzz.h"

#include <limits>

// A value as a board may print it, and the value it stands for.
inline QByteArray printValue(FuzzedDataProvider &input, double &value)
{
    switch (input.ConsumeIntegralInRange<int>(0, 7)) {
    case 0:
        value = std::numeric_limits<double>::quiet_NaN();
        return "nan";
    case 1:
        value = input.ConsumeBool() ? HUGE_VAL : -HUGE_VAL;
        return value > 0 ? "inf" : "-inf";
    case 2:
        value = input.ConsumeIntegral<int>();
        return (value >= 0 && input.ConsumeBool() ? "+" : "") + QByteArray::number(value, 'f', 0);
    default:
        value = input.ConsumeFloatingPoint<double>();
        if (!std::isfinite(value))
            value = 0.5;
        // Seventeen digits read back as the same double.
        return input.ConsumeBool() ? QByteArray::number(value, 'g', 17)
                                   : QByteArray::number(value, 'e', 16);
    }
}

// "\n", "\r\n" or "\n\r". After "\n\r" the '\r' belongs to the next line.
inline QByteArray lineEnd(FuzzedDataProvider &input, bool &carriageReturnOwed)
{
    carriageReturnOwed = false;
    switch (input.ConsumeIntegralInRange<int>(0, 2)) {
    case 0:
        return "\n";
    case 1:
        return "\r\n";
    default:
        carriageReturnOwed = true;
        return "\n\r";
    }
}

// Lower-case letters, never empty.
inline QByteArray letters(FuzzedDataProvider &input)
{
    QByteArray text;
    const int length = input.ConsumeIntegralInRange<int>(1, 12);
    for (int n = 0; n < length; ++n)
        text.append(char('a' + input.ConsumeIntegralInRange<int>(0, 25)));
    return text;
}

#endif // PLOTFUZZTEXT_H

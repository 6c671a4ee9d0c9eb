#ifndef BAUDRATES_H
#define BAUDRATES_H

#include <QtGlobal>

// The baud rates the serial panel offers, in the order of its list.
inline constexpr qint32 kBaudRates[]
        = { 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000 };

#endif // BAUDRATES_H

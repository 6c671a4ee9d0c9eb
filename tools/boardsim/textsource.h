#ifndef TEXTSOURCE_H
#define TEXTSOURCE_H

#include "simrandom.h"
#include "unitsource.h"

// Lines such as a board's debug print: a time stamp and the car's speed, servo,
// line error and battery, now and then an event of the track. Chinese text is
// encoded in the system's 8-bit encoding, as the board's strings would arrive.
class TextSource : public UnitSource
{
public:
    TextSource(double rate, quint64 seed);

    qint64 generate(QByteArray &out, qint64 n) override;

private:
    // Line number index (from 0) as text, ended by a line feed.
    QString line(qint64 index);

    double m_rate;
    SimRandom m_random;
    qint64 m_index = 0;
};

#endif // TEXTSOURCE_H

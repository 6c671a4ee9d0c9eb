#ifndef UNITSOURCE_H
#define UNITSOURCE_H

#include <QByteArray>
#include <QString>

#include <memory>

struct SimOptions;

// Makes the bytes of the simulated board, one unit (line, frame, picture or
// byte) at a time. The content depends only on the options and the seed, never
// on the clock, so that a seed repeats a run byte for byte.
class UnitSource
{
public:
    virtual ~UnitSource() = default;

    // Appends up to n further units to out and returns how many it appended,
    // fewer than n only when a source with an end has reached it.
    virtual qint64 generate(QByteArray &out, qint64 n) = 0;
};

// The source for the options' mode; null with a one-line error when it cannot
// be made (a file to replay that cannot be read or is empty).
std::unique_ptr<UnitSource> createUnitSource(const SimOptions &options, QString &error);

#endif // UNITSOURCE_H

#ifndef UNITSOURCE_H
#define UNITSOURCE_H

#include <QByteArray>
#include <QString>

#include <memory>

struct SimOptions;

// Makes the bytes of the simulated board, one unit (line, frame, picture or
// byte) at a time. The content depends only on the options, the seed and the
// commands the board heard, never on the clock, so that a seed repeats a run
// byte for byte.
class UnitSource
{
public:
    virtual ~UnitSource() = default;

    // Appends up to n further units to out and returns how many it appended,
    // fewer than n only when a source with an end has reached it.
    virtual qint64 generate(QByteArray &out, qint64 n) = 0;

    // For a source with a pace of its own (a capture's recorded times): how
    // many units are due by elapsedNs after sending began. -1 for sources
    // paced by the rate.
    virtual qint64 dueBy(qint64 elapsedNs) const
    {
        Q_UNUSED(elapsedNs);
        return -1;
    }
    // How such a source is paced, for the start-up line; empty otherwise.
    virtual QString paceText() const { return QString(); }
    // What the reader sent to the board, for a source that takes commands.
    virtual void hear(const QByteArray &bytes) { Q_UNUSED(bytes); }
};

// The source for the options' mode; null with a one-line error when it cannot
// be made (a file to replay that cannot be read or is empty). A capture file
// damaged partway is sent up to the damage, with a line about it in warning.
std::unique_ptr<UnitSource> createUnitSource(const SimOptions &options, QString &error,
                                             QString *warning = nullptr);

#endif // UNITSOURCE_H

#ifndef BOARDLINK_H
#define BOARDLINK_H

#include <QByteArray>
#include <QString>

// The simulated board's end of the serial line.
class BoardLink
{
public:
    virtual ~BoardLink() = default;

    // Opens the line; on failure error holds a one-line reason.
    virtual bool open(QString &error) = 0;

    // The device the reader opens.
    virtual QString deviceName() const = 0;

    // True for a port that exists only while this program runs: it must stay
    // open after the last unit until the reader has taken its bytes.
    virtual bool isVirtual() const = 0;

    // Whether someone holds the other end open now. Also reads and discards
    // whatever the reader sent to the board.
    virtual bool readerPresent() = 0;

    // Hands bytes to the line; returns how many it took (possibly 0 while the
    // line is full), or -1 when the other end has gone.
    virtual qint64 write(const QByteArray &bytes) = 0;

    // True when every byte handed over has left this program.
    virtual bool flushed() = 0;

    // Drops bytes that the reader left unread when it closed the port, so that
    // the next reader starts at the beginning of a unit.
    virtual void forgetUnread() = 0;
};

#endif // BOARDLINK_H

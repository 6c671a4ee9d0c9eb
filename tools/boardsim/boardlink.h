#ifndef BOARDLINK_H
#define BOARDLINK_H

#include <QByteArray>
#include <QString>

#include <utility>

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

    // Whether someone holds the other end open now. Also reads whatever the
    // reader sent to the board, for takeHeard().
    virtual bool readerPresent() = 0;

    // Hands bytes to the line; returns how many it took (possibly 0 while the
    // line is full), or -1 when the other end has gone.
    virtual qint64 write(const QByteArray &bytes) = 0;

    // True when every byte handed over has left this program.
    virtual bool flushed() = 0;

    // Drops bytes that the reader left unread when it closed the port, so that
    // the next reader starts at the beginning of a unit.
    virtual void forgetUnread() = 0;

    // What the reader sent since the last call: the newest kHeardLimit bytes.
    QByteArray takeHeard() { return std::exchange(m_heard, QByteArray()); }
    static constexpr qsizetype kHeardLimit = 4096;

protected:
    void heard(const QByteArray &bytes)
    {
        m_heard.append(bytes);
        if (m_heard.size() > kHeardLimit)
            m_heard.remove(0, m_heard.size() - kHeardLimit);
    }

private:
    QByteArray m_heard;
};

#endif // BOARDLINK_H

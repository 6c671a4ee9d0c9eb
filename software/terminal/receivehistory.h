#ifndef RECEIVEHISTORY_H
#define RECEIVEHISTORY_H

#include <QByteArray>

#include <deque>
#include <memory>

class QIODevice;
class QTemporaryFile;

// Every byte the terminal received since it was cleared, in order, with the
// time each delivery arrived. The newest bytes stay in memory; older ones move
// to a temporary file in the system's temporary folder, which goes when the
// history is cleared or destroyed. Should that file fail, bytes stay in memory:
// none is ever dropped.
class ReceiveHistory
{
public:
    static constexpr qsizetype kDefaultMemoryLimit = 16 * 1024 * 1024;

    struct Arrival
    {
        qint64 offset; // of the delivery's first byte
        qint64 msecs;  // since the epoch
    };

    explicit ReceiveHistory(qsizetype memoryLimit = kDefaultMemoryLimit);
    ~ReceiveHistory();

    void setMemoryLimit(qsizetype bytes);

    // Keeps bytes that arrived at msecs since the epoch.
    void append(const QByteArray &bytes, qint64 msecs);
    void clear();

    // Bytes received in all.
    qint64 size() const { return m_spilled + m_memory.size(); }
    // Bytes held in the temporary file.
    qint64 spilled() const { return m_spilled; }
    qsizetype memorySize() const { return m_memory.size(); }

    // At most length bytes from offset on, all of them for a negative length;
    // empty if the file cannot be read.
    QByteArray read(qint64 offset, qint64 length = -1);
    // Writes every byte in order; false if out or the temporary file failed.
    bool writeTo(QIODevice &out);

    // True once the temporary file failed; from then on bytes stay in memory.
    bool spillFailed() const { return m_spillFailed; }

    // The arrival times, oldest first, the first one covering offset 0 or
    // the offset given to forgetArrivalsBefore.
    const std::deque<Arrival> &arrivals() const { return m_arrivals; }
    // Drops the times of deliveries that ended before offset.
    void forgetArrivalsBefore(qint64 offset);

private:
    void spill();

    qsizetype m_memoryLimit;
    QByteArray m_memory;
    std::unique_ptr<QTemporaryFile> m_file;
    qint64 m_spilled = 0;
    bool m_spillFailed = false;
    std::deque<Arrival> m_arrivals;
};

#endif // RECEIVEHISTORY_H

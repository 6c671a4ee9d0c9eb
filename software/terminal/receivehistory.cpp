#include "receivehistory.h"

#include <QDir>
#include <QTemporaryFile>

namespace {

// Bytes copied at once between the temporary file and a saved file.
constexpr qint64 kCopyChunk = 1024 * 1024;

} // namespace

ReceiveHistory::ReceiveHistory(qsizetype memoryLimit)
    : m_memoryLimit(memoryLimit)
{ }

ReceiveHistory::~ReceiveHistory() = default;

void ReceiveHistory::setMemoryLimit(qsizetype bytes)
{
    m_memoryLimit = qMax<qsizetype>(bytes, 1);
}

void ReceiveHistory::append(const QByteArray &bytes, qint64 msecs)
{
    if (bytes.isEmpty())
        return;
    // Deliveries of the same millisecond share one entry.
    if (m_arrivals.empty() || m_arrivals.back().msecs != msecs)
        m_arrivals.push_back({ size(), msecs });
    m_memory.append(bytes);
    // Moved out in slices of an eighth of the limit, so the file is written
    // now and then rather than on every delivery.
    if (!m_spillFailed && m_memory.size() > m_memoryLimit + m_memoryLimit / 8)
        spill();
}

void ReceiveHistory::clear()
{
    m_memory.clear();
    m_file.reset();
    m_spilled = 0;
    m_spillFailed = false;
    m_arrivals.clear();
}

void ReceiveHistory::spill()
{
    if (!m_file) {
        m_file = std::make_unique<QTemporaryFile>(
                QDir::tempPath() + QStringLiteral("/smartcar-terminal-XXXXXX.bin"));
        if (!m_file->open()) {
            m_file.reset();
            m_spillFailed = true;
            return;
        }
    }
    const qsizetype count = m_memory.size() - m_memoryLimit;
    if (!m_file->seek(m_spilled) || m_file->write(m_memory.constData(), count) != count
        || !m_file->flush()) {
        // What did reach the file is cut off again: those bytes are still in
        // memory, and the file must hold exactly the bytes before them.
        m_file->resize(m_spilled);
        m_spillFailed = true;
        return;
    }
    m_spilled += count;
    // Removing from the front only moves the array's start.
    m_memory.remove(0, count);
}

QByteArray ReceiveHistory::read(qint64 offset, qint64 length)
{
    offset = qBound<qint64>(0, offset, size());
    const qint64 end = length < 0 ? size() : qMin(size(), offset + length);
    if (offset >= m_spilled)
        return m_memory.mid(offset - m_spilled, end - offset);
    const qint64 fromFile = qMin(end, m_spilled) - offset;
    if (!m_file->seek(offset))
        return {};
    QByteArray bytes = m_file->read(fromFile);
    if (bytes.size() != fromFile)
        return {};
    return bytes + m_memory.left(end - m_spilled);
}

bool ReceiveHistory::writeTo(QIODevice &out)
{
    if (m_file && !m_file->seek(0))
        return false;
    for (qint64 done = 0; done < m_spilled;) {
        const QByteArray chunk = m_file->read(qMin(kCopyChunk, m_spilled - done));
        if (chunk.isEmpty() || out.write(chunk) != chunk.size())
            return false;
        done += chunk.size();
    }
    return out.write(m_memory) == m_memory.size();
}

void ReceiveHistory::forgetArrivalsBefore(qint64 offset)
{
    while (m_arrivals.size() > 1 && m_arrivals[1].offset <= offset)
        m_arrivals.pop_front();
}

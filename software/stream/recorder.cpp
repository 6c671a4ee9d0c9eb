#include "recorder.h"

#include "capturefile.h"

#include <QFile>
#include <QtConcurrent/QtConcurrentRun>
#include <QtEndian>

namespace {

// How much of the first written bytes of chunk are whole records.
qint64 wholeRecords(const QByteArray &chunk, qint64 written)
{
    qint64 end = 0;
    for (;;) {
        if (end + CaptureFormat::kRecordHeaderSize > written)
            return end;
        const qint64 next = end + CaptureFormat::kRecordHeaderSize
                + qFromLittleEndian<quint32>(chunk.constData() + end + 8);
        if (next > written)
            return end;
        end = next;
    }
}

} // namespace

Recorder::Recorder(QObject *parent)
    : QObject(parent)
{
    m_timer.setInterval(kFlushMs);
    connect(&m_timer, &QTimer::timeout, this, &Recorder::tick);
}

Recorder::~Recorder()
{
    stop();
}

SaveResult Recorder::start(const QString &fileName, Format format)
{
    stop();
    auto file = std::make_shared<QFile>(fileName);
    // Unbuffered: what the worker wrote is in the system's hands at once.
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return SaveResult::OpenFailed;
    const QByteArray header = format == Format::Capture ? CaptureFormat::header() : QByteArray();
    if (file->write(header) != header.size())
        return SaveResult::WriteFailed;
    m_file = file;
    m_fileName = fileName;
    m_format = format;
    m_pending.clear();
    m_written = m_size = header.size();
    m_clock.start();
    m_timer.start();
    return SaveResult::Saved;
}

void Recorder::stop()
{
    if (!m_file)
        return;
    m_timer.stop();
    m_write.waitForFinished();
    bool ok = collectWrite();
    if (ok && !m_pending.isEmpty()) {
        startWrite();
        m_write.waitForFinished();
        ok = collectWrite();
    }
    m_file->close();
    m_file.reset();
    m_pending.clear();
    if (!ok)
        emit failed(m_fileName);
}

void Recorder::record(const QByteArray &bytes)
{
    if (!m_file || bytes.isEmpty())
        return;
    const qsizetype before = m_pending.size();
    if (m_format == Format::Capture)
        CaptureFormat::appendRecord(m_pending, quint64(m_clock.nsecsElapsed() / 1000), bytes);
    else
        m_pending.append(bytes);
    m_size += m_pending.size() - before;
}

void Recorder::tick()
{
    if (m_write.isValid() && !m_write.isFinished())
        return;
    if (!collectWrite()) {
        fail();
        return;
    }
    if (!m_pending.isEmpty())
        startWrite();
    emit progressed();
}

void Recorder::startWrite()
{
    m_writing.swap(m_pending);
    m_pending.clear();
    m_write = QtConcurrent::run(
            [](std::shared_ptr<QFile> file, QByteArray chunk) {
                const qint64 n = file->write(chunk);
                return WriteResult { qMax<qint64>(0, n), n == chunk.size() };
            },
            m_file, m_writing);
}

// Takes in the finished write, if any. False when it failed; then the file
// has been cut back to its last whole record.
bool Recorder::collectWrite()
{
    if (!m_write.isValid())
        return true;
    const WriteResult result = m_write.result();
    m_write = QFuture<WriteResult>();
    if (result.ok) {
        m_written += m_writing.size();
        m_writing.clear();
        return true;
    }
    const qint64 kept = m_format == Format::Capture ? wholeRecords(m_writing, result.written)
                                                    : result.written;
    m_file->resize(m_written + kept);
    m_writing.clear();
    return false;
}

void Recorder::fail()
{
    m_timer.stop();
    m_file->close();
    m_file.reset();
    m_pending.clear();
    emit failed(m_fileName);
}

#ifndef RECORDER_H
#define RECORDER_H

#include "filesaving.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFuture>
#include <QObject>
#include <QTimer>

#include <memory>

class QFile;

// Writes every delivery of received bytes into a file, as a capture (with
// the time each delivery arrived) or as the plain bytes. The receive path
// only appends to a buffer; a worker thread writes the buffer out every
// kFlushMs, so a crash loses at most that much and a slow disk never holds
// up the reading.
class Recorder : public QObject
{
    Q_OBJECT

public:
    enum class Format { Capture, Raw };

    static constexpr int kFlushMs = 250;

    explicit Recorder(QObject *parent = nullptr);
    ~Recorder() override;

    // Creates or empties fileName and starts recording into it.
    SaveResult start(const QString &fileName, Format format);
    // Writes what is still buffered and closes the file. A failure of that
    // last write is reported by failed() as well.
    void stop();

    bool isRecording() const { return m_file != nullptr; }
    QString fileName() const { return m_fileName; }
    // What the file holds once everything buffered is written.
    qint64 size() const { return m_size; }
    qint64 elapsedMs() const { return m_clock.elapsed(); }

public slots:
    void record(const QByteArray &bytes);

signals:
    // A write failed; the recording has ended and the file keeps every
    // whole record before the failure.
    void failed(const QString &fileName);
    // Emitted every kFlushMs while recording, for a display of the progress.
    void progressed();

private:
    struct WriteResult
    {
        qint64 written = 0;
        bool ok = true;
    };

    void tick();
    void startWrite();
    bool collectWrite();
    void fail();

    std::shared_ptr<QFile> m_file;
    QString m_fileName;
    Format m_format = Format::Capture;
    QByteArray m_pending;
    // The buffer the worker is writing, and what the file held before it.
    QByteArray m_writing;
    QFuture<WriteResult> m_write;
    qint64 m_written = 0;
    qint64 m_size = 0;
    QElapsedTimer m_clock;
    QTimer m_timer;
};

#endif // RECORDER_H

#ifndef CAPTUREREPLAYSOURCE_H
#define CAPTUREREPLAYSOURCE_H

#include "capturefile.h"
#include "replaysource.h"

#include <QList>

// The bytes of a capture file, sent at the pace they were recorded: each
// record is due as long after the first one as it came in after it. Looping
// starts over after the mean gap between records.
class CaptureReplaySource : public ReplaySource
{
public:
    // records in order of their times, which never go back.
    CaptureReplaySource(const QList<CaptureRecord> &records, bool loop);

    qint64 dueBy(qint64 elapsedNs) const override;
    QString paceText() const override;

    // The records a capture file holds before any damage, and a line about
    // the damage if there is any. False when bytes are not a capture.
    static bool readCapture(const QByteArray &bytes, QList<CaptureRecord> &records,
                            QString &damage);

private:
    bool m_loop;
    // Microseconds after the first record, and the bytes due by then.
    QList<qint64> m_times;
    QList<qint64> m_dueBytes;
    qint64 m_periodUs = 0;
};

#endif // CAPTUREREPLAYSOURCE_H

#ifndef FRAMEHEALTH_H
#define FRAMEHEALTH_H

#include "frameextraction.h"
#include "scopeframedecoder.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Running totals of how a tab's frames fared, as its decoder and the receive
// buffer count them. Which figures apply depends on the tab.
struct FrameCounts
{
    // Scope frames decoded, or lines and pictures shown.
    qint64 frames = 0;
    // Scope: bytes thrown away as belonging to no frame.
    qint64 garbageBytes = 0;
    // Scope: frames found after bytes had been thrown away.
    qint64 resyncs = 0;
    // Lines and pictures: complete ones passed over for a newer one.
    qint64 skipped = 0;
    // Lines and pictures: end bytes at another place than the frame's size.
    qint64 misplaced = 0;
    // Lines and pictures: bytes dropped at the receive buffer's bound.
    qint64 overflowBytes = 0;
};

// The figures of a scope decoder's statistics, and of a line or picture
// extraction's.
FrameCounts frameCountsOf(const ScopeFrameStats &stats);
FrameCounts frameCountsOf(const FrameStats &stats);

// One tab's frame health since the last reset: the totals less those at the
// reset, the frames per second over the last second, and the texts the
// status bar shows for them. Times are milliseconds on a steady clock, given
// by the caller; the totals never go down.
class FrameHealth
{
    Q_DECLARE_TR_FUNCTIONS(FrameHealth)

public:
    enum class Kind { Scope, Line, Picture };

    explicit FrameHealth(Kind kind = Kind::Scope);

    Kind kind() const { return m_kind; }
    // Counts from zero again, from totals taken at nowMs.
    void reset(const FrameCounts &totals, qint64 nowMs);
    // Takes totals read at nowMs, which never goes back.
    void update(const FrameCounts &totals, qint64 nowMs);

    // Counted since the reset.
    FrameCounts counts() const;
    // Frames within about the last second, scaled to one second.
    qint64 framesPerSecond() const;

    // One short line, such as "帧 1234 · 丢弃 12 B · 重同步 3 · 500 帧/s".
    QString text() const;
    // What each figure of text() means, with its exact value.
    QString toolTip() const;
    // Texts of every kind with the widest figures each can show, for a
    // width that stays put whatever the figures.
    static QStringList widestTexts();

    // A count in at most five digits: 12345, 12.3万, 1234万, 12.3亿; in
    // English 12345, 123k, 12.3M, 123G.
    static QString countText(qint64 count);
    // Bytes in at most four digits: 9999 B, 12.3 KB, 1234 KB, 12.3 MB (1 KB
    // = 1000 B, as the receive rate counts).
    static QString byteText(qint64 bytes);

private:
    struct Sample
    {
        qint64 ms;
        qint64 frames;
    };

    // The line of kind with its figures in the order shown; the scope shows
    // no overflow and ignores it.
    static QString format(Kind kind, const QString &frames, const QString &second,
                          const QString &third, const QString &overflow, const QString &rate);

    Kind m_kind;
    FrameCounts m_base;
    FrameCounts m_last;
    // The frame totals of the updates over the last second, oldest first;
    // the first one is at least a second old once there is one that old.
    QList<Sample> m_samples;
};

#endif // FRAMEHEALTH_H

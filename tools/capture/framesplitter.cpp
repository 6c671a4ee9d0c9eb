#include "framesplitter.h"

FrameSplitter::FrameSplitter(int pixelCount)
    : m_pixelCount(pixelCount)
{ }

QList<QByteArray> FrameSplitter::feed(const QByteArray &bytes)
{
    m_pending.append(bytes);
    QList<QByteArray> frames;
    qsizetype from = 0;
    for (qsizetype end; (end = m_pending.indexOf(char(0xFF), from)) >= 0; from = end + 1) {
        QByteArray piece = m_pending.sliced(from, end + 1 - from);
        QByteArray frame;
        if (takeNewestFrame(piece, m_pixelCount, frame, m_stats) == FrameCut::Taken) {
            frames.append(frame);
        } else if (!piece.isEmpty()) {
            // Too short to be cut at all: an end byte out of place.
            ++m_stats.misplaced;
            m_stats.droppedBytes += piece.size();
        }
    }
    m_pending.remove(0, from);
    // Without an end byte only the newest bytes can still become a frame; one
    // more than a frame keeps the end byte, when it comes, counted as out of
    // place.
    const qsizetype keep = m_pixelCount + 1;
    if (m_pending.size() > keep) {
        m_stats.droppedBytes += m_pending.size() - keep;
        m_pending.remove(0, m_pending.size() - keep);
    }
    return frames;
}

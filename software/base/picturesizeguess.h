#ifndef PICTURESIZEGUESS_H
#define PICTURESIZEGUESS_H

#include <QByteArray>
#include <QList>
#include <QSize>

// Measures how far apart the end bytes 0xFF of a picture or line stream are,
// to tell the user the size the board really sends when it is not the one
// chosen, and proposes picture sizes for that many bytes.
//
// It reads the receive buffer before a cut removes anything and looks only at
// the bytes it has not seen; the cut tells it how many bytes it removed from
// the front.
class PictureSizeGuess
{
public:
    // So many end bytes in a row at one distance make the size steady.
    static constexpr int kSteadyCount = 3;

    void scan(const QByteArray &buffer);
    void removedFront(qsizetype count);
    // Starts again, for a new stream (a port opened) or a new size chosen.
    void reset();

    // The bytes between the last end bytes once kSteadyCount gaps in a row
    // agreed, else 0. It stays until a different gap comes.
    qsizetype steadySize() const { return m_steadyCount >= kSteadyCount ? m_lastGap : 0; }

    // Sizes for a picture of byteCount bytes, likely ones first: the common
    // camera formats of that many pixels, then the other factor pairs, wider
    // than tall first and the nearer to 4:3 the earlier. Only sizes within
    // maximum (both sides from 1), at most limit of them.
    static QList<QSize> likelySizes(qsizetype byteCount, QSize maximum, int limit = 8);

private:
    qsizetype m_scanned = 0;   // bytes at the front of the buffer already looked at
    qsizetype m_sinceEnd = -1; // bytes since the last end byte; -1 before the first
    qsizetype m_lastGap = 0;
    int m_steadyCount = 0;
};

#endif // PICTURESIZEGUESS_H

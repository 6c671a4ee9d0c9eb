#ifndef RECEIVERENDERER_H
#define RECEIVERENDERER_H

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <deque>

// Turns received bytes, delivery by delivery, into the text the receive
// display appends: hexadecimal text of 16 bytes a line, or text decoded in
// the chosen encoding, either optionally with the arrival time at the start
// of each line. The result depends only on the bytes and their times, not on
// how they were cut into deliveries, so a display built live equals one built
// again from the history.
//
// A text document pays for every paragraph it holds, and the hexadecimal
// display has a line every 16 bytes. Line breaks are therefore written as line
// separators, with a real paragraph break after every kLinesPerParagraph lines:
// the display and its plain text look the same, at a fraction of the cost per
// line. The offset of the byte each paragraph starts with is kept, so that the
// display can drop its oldest paragraphs and tell how many bytes they held.
//
// A paragraph also ends at the first line break after kParagraphBytes bytes,
// and a line longer than that is cut into paragraphs of about that size: the
// display lays out the paragraph it appends to on every append, so one that
// grew without bound would stall it. Shorter lines are shown as received.
class ReceiveRenderer
{
public:
    static constexpr int kLinesPerParagraph = 16;
    static constexpr qsizetype kParagraphBytes = 4096;
    // Length of "[hh:mm:ss.zzz] ".
    static constexpr int kStampLength = 15;

    ReceiveRenderer();

    // Starts an empty display whose first byte is the one at offset: in
    // hexadecimal (offset then is a multiple of 16) or as text decoded by
    // encoding (a name of TextEncoding), with or without the arrival times.
    void reset(bool hex, const QString &encoding, bool timestamps, qint64 offset);

    // The text for the next bytes, which arrived at msecs since the epoch.
    QString append(QByteArrayView bytes, qint64 msecs);

    // The offset of the next byte.
    qint64 offset() const { return m_offset; }
    // The offset at which each paragraph of the display starts, oldest first.
    const std::deque<qint64> &paragraphStarts() const { return m_paragraphStarts; }
    // Forgets the oldest paragraphs, which the display dropped.
    void dropParagraphs(qsizetype count);

    // The time stamp written before a line.
    static QString stampText(qint64 msecs);

private:
    void appendHex(QString &out, QByteArrayView bytes, qint64 msecs);
    void appendText(QString &out, QByteArrayView bytes, qint64 msecs);
    // Where the run from..to of bytes, which has no line break before its
    // last byte, ends a paragraph that grew too long; to when it does not.
    qsizetype pieceCut(QByteArrayView bytes, qsizetype from, qsizetype to) const;
    void decodeRun(QString &out, QByteArrayView bytes, qsizetype from, qsizetype to, qint64 msecs);
    void lineBreak(QString &out, qint64 next);
    const QString &stamp(qint64 msecs);

    bool m_hex = true;
    bool m_timestamps = false;
    QStringDecoder m_decoder;
    qint64 m_offset = 0;
    int m_linesInParagraph = 0;
    // A carriage return ended the text so far: a line feed right after it
    // belongs to the same line break.
    bool m_afterReturn = false;
    // The next character starts a line; it arrived at m_lineTime, or with the
    // next delivery when that is -1.
    bool m_lineStart = true;
    qint64 m_lineTime = -1;
    std::deque<qint64> m_paragraphStarts;
    // Where the line, or the piece of a long line, being shown started; and
    // the last byte of the delivery before.
    qint64 m_pieceStart = 0;
    uchar m_lastByte = 0;
    qint64 m_stampMsecs = -1;
    QString m_stamp;
};

#endif // RECEIVERENDERER_H

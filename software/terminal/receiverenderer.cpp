#include "receiverenderer.h"

#include "textencoding.h"

#include <QDateTime>

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

} // namespace

ReceiveRenderer::ReceiveRenderer()
{
    reset(true, TextEncoding::local(), false, 0);
}

void ReceiveRenderer::reset(bool hex, const QString &encoding, bool timestamps, qint64 offset)
{
    m_hex = hex;
    m_timestamps = timestamps;
    m_decoder = TextEncoding::decoder(encoding);
    m_offset = offset;
    m_linesInParagraph = 0;
    m_afterReturn = false;
    m_lineStart = true;
    m_lineTime = -1;
    m_paragraphStarts = { offset };
    m_pieceStart = offset;
    m_lastByte = 0;
}

QString ReceiveRenderer::append(QByteArrayView bytes, qint64 msecs)
{
    QString out;
    if (m_hex)
        appendHex(out, bytes, msecs);
    else
        appendText(out, bytes, msecs);
    m_offset += bytes.size();
    return out;
}

void ReceiveRenderer::dropParagraphs(qsizetype count)
{
    count = qMin<qsizetype>(count, qsizetype(m_paragraphStarts.size()) - 1);
    if (count > 0)
        m_paragraphStarts.erase(m_paragraphStarts.begin(), m_paragraphStarts.begin() + count);
}

QString ReceiveRenderer::stampText(qint64 msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs).toString(QStringLiteral("[hh:mm:ss.zzz] "));
}

void ReceiveRenderer::appendHex(QString &out, QByteArrayView bytes, qint64 msecs)
{
    // Built directly in the string's storage: this runs on every delivery.
    const qsizetype lines = bytes.size() / 16 + 1;
    out.resize(bytes.size() * 3 + (m_timestamps ? lines * kStampLength : 0));
    QChar *dst = out.data();
    const QString &lineStamp = m_timestamps ? stamp(msecs) : m_stamp;
    const auto *data = reinterpret_cast<const uchar *>(bytes.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const qint64 position = m_offset + i;
        const int column = int(position % 16);
        if (column == 0 && m_timestamps) {
            std::copy(lineStamp.cbegin(), lineStamp.cend(), dst);
            dst += lineStamp.size();
        }
        *dst++ = QLatin1Char(kHexDigits[data[i] >> 4]);
        *dst++ = QLatin1Char(kHexDigits[data[i] & 0x0F]);
        if (column != 15) {
            *dst++ = QLatin1Char(' ');
        } else if (++m_linesInParagraph < kLinesPerParagraph) {
            *dst++ = QChar(QChar::LineSeparator);
        } else {
            *dst++ = QLatin1Char('\n');
            m_linesInParagraph = 0;
            m_paragraphStarts.push_back(position + 1);
        }
    }
    out.truncate(dst - out.constData());
}

void ReceiveRenderer::appendText(QString &out, QByteArrayView bytes, qint64 msecs)
{
    out.reserve(bytes.size());
    const char *data = bytes.data();
    const qsizetype size = bytes.size();
    // Decoded a line at a time, so that each line break's byte is known: the
    // paragraph after it starts right behind that byte. Line feeds and
    // carriage returns are single bytes in every encoding offered.
    for (qsizetype from = 0; from < size;) {
        qsizetype to = from;
        while (to < size && data[to] != '\n' && data[to] != '\r')
            ++to;
        if (to < size)
            ++to;
        const qsizetype cut = pieceCut(bytes, from, to);
        decodeRun(out, bytes, from, cut, msecs);
        if (cut < to) {
            out += QLatin1Char('\n');
            m_linesInParagraph = 0;
            m_paragraphStarts.push_back(m_offset + cut);
            m_pieceStart = m_offset + cut;
        }
        from = cut;
    }
    if (size > 0)
        m_lastByte = uchar(data[size - 1]);
}

qsizetype ReceiveRenderer::pieceCut(QByteArrayView bytes, qsizetype from, qsizetype to) const
{
    const qint64 held = m_offset + from - m_pieceStart;
    const qsizetype first = from + qsizetype(qMax<qint64>(0, kParagraphBytes - held));
    // The line break itself stays with its line.
    const char last = bytes[to - 1];
    const qsizetype end = last == '\n' || last == '\r' ? to - 1 : to;
    // Two bytes below 0x80 in a row: the second starts a character in every
    // encoding offered, so the decoder holds nothing back there. Text with no
    // such place at all (no ASCII) grows on until it has one.
    for (qsizetype i = first; i < end; ++i) {
        const uchar before = i > 0 ? uchar(bytes[i - 1]) : m_lastByte;
        if (before < 0x80 && uchar(bytes[i]) < 0x80)
            return i;
    }
    return to;
}

void ReceiveRenderer::decodeRun(QString &out, QByteArrayView bytes, qsizetype from, qsizetype to,
                                qint64 msecs)
{
    const qsizetype size = bytes.size();
    const QString part = m_decoder.decode(bytes.sliced(from, to - from));
    for (const QChar c : part) {
        const char16_t u = c.unicode();
        // Zero bytes are left out of the text, as boards pad with them.
        if (u == 0)
            continue;
        if (u == u'\n' && m_afterReturn) {
            m_afterReturn = false;
            // A paragraph that started after the carriage return starts
            // after the line feed instead.
            if (m_paragraphStarts.back() == m_offset + to - 1)
                ++m_paragraphStarts.back();
            m_lineTime = to < size ? msecs : -1;
            continue;
        }
        m_afterReturn = u == u'\r';
        if (u == u'\r' || u == u'\n') {
            // An empty line has its time too.
            if (m_lineStart && m_timestamps)
                out += stamp(m_lineTime >= 0 ? m_lineTime : msecs);
            lineBreak(out, m_offset + to);
            m_pieceStart = m_offset + to;
            m_lineStart = true;
            m_lineTime = to < size ? msecs : -1;
        } else if (u == QChar::LineSeparator || u == QChar::ParagraphSeparator) {
            out += QChar(QChar::LineSeparator);
            m_lineStart = true;
            m_lineTime = msecs;
        } else {
            if (m_lineStart) {
                if (m_timestamps)
                    out += stamp(m_lineTime >= 0 ? m_lineTime : msecs);
                m_lineStart = false;
            }
            out += c;
        }
    }
}

void ReceiveRenderer::lineBreak(QString &out, qint64 next)
{
    if (++m_linesInParagraph < kLinesPerParagraph
        && next - m_paragraphStarts.back() < kParagraphBytes) {
        out += QChar(QChar::LineSeparator);
    } else {
        out += QLatin1Char('\n');
        m_linesInParagraph = 0;
        m_paragraphStarts.push_back(next);
    }
}

const QString &ReceiveRenderer::stamp(qint64 msecs)
{
    // Deliveries come far more often than the time changes.
    if (msecs != m_stampMsecs) {
        m_stamp = stampText(msecs);
        m_stampMsecs = msecs;
    }
    return m_stamp;
}

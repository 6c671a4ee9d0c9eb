#include "textlinedecoder.h"

#include <cstring>

void TextLineDecoder::decode(QByteArray &buffer, PlotBatch &batch)
{
    const char *const data = buffer.constData();
    const qsizetype size = buffer.size();
    qsizetype pos = 0;
    while (pos < size) {
        const auto *feed = static_cast<const char *>(std::memchr(data + pos, '\n', size - pos));
        if (!feed) {
            if (size - pos > kMaxLineBytes) {
                discard(size - pos);
                batch.addLog(logText(data + pos, data + pos + 80) + QStringLiteral("…"));
                m_skippingLine = true;
                pos = size;
            }
            break;
        }
        const qsizetype end = feed - data;
        const qint64 bytes = end + 1 - pos;
        if (m_skippingLine) {
            discard(bytes);
            m_skippingLine = false;
        } else if (bytes - 1 > kMaxLineBytes) {
            discard(bytes);
            batch.addLog(logText(data + pos, data + pos + 80) + QStringLiteral("…"));
        } else {
            takeLine(data + pos, data + end, bytes, batch);
        }
        pos = end + 1;
    }
    buffer.remove(0, pos);
}

void TextLineDecoder::takeLine(const char *begin, const char *end, qint64 bytes, PlotBatch &batch)
{
    while (begin < end && *begin == '\r')
        ++begin;
    while (end > begin && end[-1] == '\r')
        --end;
    if (begin == end) {
        m_stats.dataBytes += bytes;
        return;
    }
    switch (decodeLine(begin, end, batch)) {
    case LineKind::Data:
        countFrame(bytes);
        break;
    case LineKind::Text:
        ++m_stats.textLines;
        m_stats.textBytes += bytes;
        batch.addLog(logText(begin, end));
        break;
    case LineKind::Garbage:
        discard(bytes);
        batch.addLog(logText(begin, end));
        break;
    }
}

QString TextLineDecoder::logText(const char *begin, const char *end)
{
    QString text = QString::fromUtf8(begin, end - begin);
    // Control characters of binary noise would upset the log's layout.
    for (QChar &c : text) {
        if (c.unicode() < 0x20 && c != QLatin1Char('\t'))
            c = QChar(0xB7);
    }
    return text;
}

#include "byteutils.h"

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

// Converts one token of hexadecimal text; false when it is too long or no number.
bool appendToken(const QString &token, QByteArray &out)
{
    if (token.size() > 2)
        return false;
    bool ok = false;
    const int value = token.toInt(&ok, 16);
    if (!ok)
        return false;
    out.append(char(value & 0xFF));
    return true;
}

} // namespace

bool byteStatistics(const QByteArray &data, quint32 &min, quint32 &max, quint32 &sum)
{
    if (data.isEmpty())
        return false;
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    quint32 lo = bytes[0];
    quint32 hi = bytes[0];
    quint32 total = bytes[0];
    for (qsizetype i = 1; i < data.size(); ++i) {
        const quint32 b = bytes[i];
        if (b > hi)
            hi = b;
        if (b < lo)
            lo = b;
        total += b;
    }
    min = lo;
    max = hi;
    sum = total;
    return true;
}

void binarize(const QByteArray &src, QByteArray &dst, quint8 threshold)
{
    const qsizetype offset = dst.size();
    dst.resize(offset + src.size());
    const auto *in = reinterpret_cast<const uchar *>(src.constData());
    char *out = dst.data() + offset;
    for (qsizetype i = 0; i < src.size(); ++i)
        out[i] = in[i] > threshold ? char(0xFF) : char(0x00);
}

QByteArray byteToHex(quint8 value)
{
    const char digits[2] = { kHexDigits[value >> 4], kHexDigits[value & 0x0F] };
    return QByteArray(digits, 2);
}

bool isSpaceChar(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\n' || u == u'\r';
}

void bytesToText(const QByteArray &data, QString &text)
{
    text = QString::fromLocal8Bit(data);
    text.remove(QChar(u'\0'));
}

bool hexTextToBytes(const QString &text, QByteArray &out)
{
    QString token;
    for (const QChar c : text) {
        if (!isSpaceChar(c)) {
            token.append(c);
            continue;
        }
        if (!token.isEmpty() && !appendToken(token, out)) {
            out.clear();
            return false;
        }
        token.clear();
    }
    if (!token.isEmpty() && !appendToken(token, out)) {
        out.clear();
        return false;
    }
    return true;
}

void bytesToHexText(const QByteArray &data, QString &text, int start)
{
    // Built directly into the string's storage: this runs on every delivery and
    // on re-rendering the whole history, so it must stay linear and allocation-free.
    text.resize(data.size() * 3);
    QChar *out = text.data();
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    for (qsizetype i = 0; i < data.size(); ++i) {
        const uchar b = bytes[i];
        *out++ = QLatin1Char(kHexDigits[b >> 4]);
        *out++ = QLatin1Char(kHexDigits[b & 0x0F]);
        *out++ = (qint64(start) + i) % 16 == 15 ? QLatin1Char('\n') : QLatin1Char(' ');
    }
}

#include "commandtemplate.h"

#include <QtEndian>

#include <cmath>
#include <cstring>

namespace {

// A placeholder for the value as bytes: its size, whether it is signed, a
// float, and in which byte order.
struct BinaryPlaceholder
{
    const char *name;
    int size;
    bool isSigned;
    bool isFloat;
    bool bigEndian;
};

const BinaryPlaceholder kBinary[] = {
    { "u8", 1, false, false, false },    { "i8", 1, true, false, false },
    { "u16le", 2, false, false, false }, { "u16be", 2, false, false, true },
    { "i16le", 2, true, false, false },  { "i16be", 2, true, false, true },
    { "i32le", 4, true, false, false },  { "i32be", 4, true, false, true },
    { "f32le", 4, false, true, false },  { "f32be", 4, false, true, true },
};

const BinaryPlaceholder *binaryPlaceholder(const QString &name)
{
    for (const BinaryPlaceholder &placeholder : kBinary) {
        if (name == QLatin1String(placeholder.name))
            return &placeholder;
    }
    return nullptr;
}

int hexDigit(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

// The bytes of value as placeholder, in its byte order.
QByteArray binaryBytes(const BinaryPlaceholder &placeholder, double value)
{
    char bytes[4];
    if (placeholder.isFloat) {
        quint32 bits;
        const float single = float(value);
        std::memcpy(&bits, &single, sizeof bits);
        if (placeholder.bigEndian)
            qToBigEndian(bits, bytes);
        else
            qToLittleEndian(bits, bytes);
        return QByteArray(bytes, 4);
    }
    // Two's complement: the low bytes of the rounded value, signed or not.
    const auto bits = quint32(qint64(std::llround(value)));
    for (int n = 0; n < placeholder.size; ++n) {
        const int shift = 8 * (placeholder.bigEndian ? placeholder.size - 1 - n : n);
        bytes[n] = char((bits >> shift) & 0xFF);
    }
    return QByteArray(bytes, placeholder.size);
}

bool fits(const BinaryPlaceholder &placeholder, double value)
{
    if (placeholder.isFloat)
        return std::isfinite(value) && std::fabs(value) <= 3.4e38;
    const long long rounded = std::llround(value);
    const int bits = 8 * placeholder.size;
    const long long low = placeholder.isSigned ? -(1LL << (bits - 1)) : 0;
    const long long high = placeholder.isSigned ? (1LL << (bits - 1)) - 1 : (1LL << bits) - 1;
    return rounded >= low && rounded <= high;
}

} // namespace

std::optional<QString> CommandTemplate::check(const QString &text, CommandMode mode,
                                              const std::optional<ValueRange> &range)
{
    if (text.isEmpty())
        return tr("命令为空");
    if (!range)
        return run(text, mode, 0, 0, false, nullptr);
    if (range->decimals < 0 || range->decimals > kMaxDecimals)
        return tr("小数位数应在0到%1之间").arg(kMaxDecimals);
    // Every placeholder grows or shrinks with the value: what forms at both
    // ends forms in between.
    if (auto error = run(text, mode, range->minimum, range->decimals, true, nullptr))
        return error;
    return run(text, mode, range->maximum, range->decimals, true, nullptr);
}

QByteArray CommandTemplate::form(const QString &text, CommandMode mode, double value, int decimals)
{
    QByteArray out;
    run(text, mode, value, decimals, true, &out);
    return out;
}

QString CommandTemplate::oneLine(QString text, CommandMode mode)
{
    const bool hex = mode == CommandMode::Hex;
    text.replace(u'\n', hex ? QStringLiteral(" ") : QStringLiteral("\\n"));
    text.replace(u'\r', hex ? QStringLiteral(" ") : QStringLiteral("\\r"));
    text.replace(u'\t', hex ? QStringLiteral(" ") : QStringLiteral("\\t"));
    return text;
}

std::optional<QString> CommandTemplate::run(const QString &text, CommandMode mode, double value,
                                            int decimals, bool hasValue, QByteArray *out)
{
    QByteArray bytes;
    const qsizetype size = text.size();
    qsizetype at = 0;
    while (at < size) {
        const QChar c = text.at(at);
        if (c == u'{') {
            const qsizetype close = text.indexOf(u'}', at + 1);
            if (close < 0)
                return tr("第%1个字符处的“{”没有配对的“}”").arg(at + 1);
            const QString name = text.mid(at + 1, close - at - 1);
            at = close + 1;
            if (name == QLatin1String("sum8") || name == QLatin1String("xor8")) {
                quint8 check = 0;
                for (const char byte : std::as_const(bytes))
                    check = name.startsWith(u's') ? quint8(check + quint8(byte))
                                                  : quint8(check ^ quint8(byte));
                bytes.append(char(check));
                continue;
            }
            const BinaryPlaceholder *binary = binaryPlaceholder(name);
            if (!binary && name != QLatin1String("v") && name != QLatin1String("i"))
                return tr("未知的占位符{%1}").arg(name);
            if (!hasValue)
                return tr("{%1}需要数值，只能用于滑块和数值框").arg(name);
            if (binary) {
                if (mode == CommandMode::Text)
                    return tr("{%1}只能用于十六进制模式").arg(name);
                if (!fits(*binary, value))
                    return tr("数值%1超出{%2}的范围").arg(value).arg(name);
                bytes.append(binaryBytes(*binary, value));
            } else if (name == QLatin1String("v")) {
                bytes.append(QByteArray::number(value, 'f', decimals));
            } else {
                bytes.append(QByteArray::number(std::llround(value)));
            }
        } else if (mode == CommandMode::Hex) {
            if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') {
                ++at;
                continue;
            }
            qsizetype end = at;
            while (end < size && hexDigit(text.at(end)) >= 0)
                ++end;
            if (end == at || end - at > 2)
                return tr("第%1个字符处不是一到两位的十六进制数").arg(at + 1);
            int byte = 0;
            for (qsizetype n = at; n < end; ++n)
                byte = byte * 16 + hexDigit(text.at(n));
            bytes.append(char(byte));
            at = end;
        } else if (c == u'\\') {
            const QChar next = at + 1 < size ? text.at(at + 1) : QChar();
            if (next == u'n' || next == u'r' || next == u't' || next == u'\\') {
                bytes.append(next == u'n'           ? '\n'
                                     : next == u'r' ? '\r'
                                     : next == u't' ? '\t'
                                                    : '\\');
                at += 2;
            } else if (next == u'x' && at + 3 < size && hexDigit(text.at(at + 2)) >= 0
                       && hexDigit(text.at(at + 3)) >= 0) {
                bytes.append(char(hexDigit(text.at(at + 2)) * 16 + hexDigit(text.at(at + 3))));
                at += 4;
            } else {
                return tr("第%1个字符处的转义无效（可用\\n \\r \\t \\\\ \\xNN）").arg(at + 1);
            }
        } else {
            // Up to the next escape or placeholder, in one piece: a character
            // outside the basic plane is two halves.
            qsizetype end = at;
            while (end < size && text.at(end) != u'\\' && text.at(end) != u'{')
                ++end;
            bytes.append(text.mid(at, end - at).toUtf8());
            at = end;
        }
    }
    if (out)
        *out = bytes;
    return std::nullopt;
}

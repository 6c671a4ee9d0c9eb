#include "csvtext.h"

#include <charconv>
#include <cmath>

namespace CsvText {

void appendNumber(QByteArray &out, double value)
{
    if (std::isnan(value))
        return;
    char text[32];
    const float single = float(value);
    const auto result = double(single) == value ? std::to_chars(text, text + sizeof text, single)
                                                : std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr - text);
}

void appendSeconds(QByteArray &out, quint64 micros)
{
    out.append(QByteArray::number(micros / 1000000));
    out.append('.');
    out.append(QByteArray::number(micros % 1000000).rightJustified(6, '0'));
}

void appendText(QByteArray &out, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\n')
        && !bytes.contains('\r')) {
        out.append(bytes);
        return;
    }
    out.append('"');
    out.append(QByteArray(bytes).replace('"', "\"\""));
    out.append('"');
}

} // namespace CsvText

#include "teleplotdecoder.h"

#include <QByteArrayView>
#include <QVarLengthArray>

TextLineDecoder::LineKind TeleplotDecoder::decodeLine(const char *begin, const char *end,
                                                      PlotBatch &batch)
{
    if (*begin != '>')
        return LineKind::Text;
    const QByteArrayView line(begin + 1, end - begin - 1);

    QByteArrayView body = line;
    const qsizetype bar = line.lastIndexOf('|');
    if (bar >= 0) {
        body = line.first(bar);
        for (const QByteArrayView flag :
             { QByteArrayView("t"), QByteArrayView("xy"), QByteArrayView("np") }) {
            // Flags are separated by commas.
            for (qsizetype from = bar + 1; from <= line.size();) {
                qsizetype comma = line.indexOf(',', from);
                if (comma < 0)
                    comma = line.size();
                if (line.sliced(from, comma - from).trimmed() == flag)
                    return LineKind::Text;
                from = comma + 1;
            }
        }
    }
    const qsizetype colon = body.indexOf(':');
    if (colon <= 0)
        return LineKind::Garbage;
    const QByteArrayView name = body.first(colon).trimmed();
    QByteArrayView points = body.sliced(colon + 1);
    QByteArrayView unit;
    // The section sign in UTF-8.
    const qsizetype section = points.indexOf(QByteArrayView("\xC2\xA7"));
    if (section >= 0) {
        unit = points.sliced(section + 2).trimmed();
        points = points.first(section);
    }
    if (name.isEmpty())
        return LineKind::Garbage;

    // Parsed whole before anything is added: a line that fails adds nothing.
    const qsizetype offset = batch.values.size();
    QVarLengthArray<double, 16> times;
    for (qsizetype from = 0; from <= points.size();) {
        qsizetype semicolon = points.indexOf(';', from);
        if (semicolon < 0)
            semicolon = points.size();
        const QByteArrayView point = points.sliced(from, semicolon - from);
        from = semicolon + 1;
        // A trailing ';' ends the list.
        if (semicolon == points.size() && point.trimmed().isEmpty() && times.size() > 0)
            break;
        const qsizetype pointColon = point.indexOf(':');
        double time = qQNaN();
        double value;
        const char *valueBegin = point.data() + (pointColon < 0 ? 0 : pointColon + 1);
        if ((pointColon >= 0 && !parseNumber(point.data(), point.data() + pointColon, time))
            || !parseNumber(valueBegin, point.data() + point.size(), value)) {
            batch.values.resize(offset);
            return LineKind::Garbage;
        }
        batch.values.append(value);
        times.append(time);
    }

    auto found = m_channels.constFind(name.toByteArray());
    int channel;
    if (found != m_channels.constEnd()) {
        channel = *found;
        if (!unit.isEmpty())
            m_units[channel] = QString::fromUtf8(unit);
    } else {
        if (m_names.size() == kMaxChannels) {
            batch.values.resize(offset);
            return LineKind::Garbage;
        }
        channel = int(m_names.size());
        m_channels.insert(name.toByteArray(), channel);
        m_names.append(QString::fromUtf8(name));
        m_units.append(QString::fromUtf8(unit));
    }
    for (qsizetype n = 0; n < times.size(); ++n)
        addRow(batch, offset + n, channel, 1, times[n]);
    return LineKind::Data;
}

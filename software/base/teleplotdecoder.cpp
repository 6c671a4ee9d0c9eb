#include "teleplotdecoder.h"

#include <QByteArrayView>
#include <QVarLengthArray>

namespace {

// Calls part with each piece of list between separators, the last one
// included, until part returns false; true when every piece was taken.
template<typename Part>
bool forEachPart(QByteArrayView list, char separator, Part part)
{
    for (qsizetype from = 0; from <= list.size();) {
        qsizetype next = list.indexOf(separator, from);
        if (next < 0)
            next = list.size();
        if (!part(list.sliced(from, next - from), next == list.size()))
            return false;
        from = next + 1;
    }
    return true;
}

} // namespace

// Text wins over xy: a value that is not to be plotted is not drawn either.
TeleplotDecoder::Flags TeleplotDecoder::flagsOf(QByteArrayView flags)
{
    Flags found = Flags::None;
    forEachPart(flags, ',', [&found](QByteArrayView flag, bool) {
        flag = flag.trimmed();
        if (flag == QByteArrayView("t") || flag == QByteArrayView("np"))
            found = Flags::Text;
        else if (flag == QByteArrayView("xy") && found == Flags::None)
            found = Flags::XY;
        return true;
    });
    return found;
}

TextLineDecoder::LineKind TeleplotDecoder::decodeLine(const char *begin, const char *end,
                                                      PlotBatch &batch)
{
    if (*begin != '>')
        return LineKind::Text;
    const QByteArrayView line(begin + 1, end - begin - 1);

    QByteArrayView body = line;
    Flags flags = Flags::None;
    const qsizetype bar = line.lastIndexOf('|');
    if (bar >= 0) {
        body = line.first(bar);
        flags = flagsOf(line.sliced(bar + 1));
        if (flags == Flags::Text)
            return LineKind::Text;
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
    if (flags == Flags::XY)
        return decodeXY(name, points, batch);

    // Parsed whole before anything is added: a line that fails adds nothing.
    const qsizetype offset = batch.values.size();
    QVarLengthArray<double, 16> times;
    const bool parsed = forEachPart(points, ';', [&](QByteArrayView point, bool last) {
        // A trailing ';' ends the list.
        if (last && point.trimmed().isEmpty() && times.size() > 0)
            return false;
        const qsizetype pointColon = point.indexOf(':');
        double time = qQNaN();
        double value;
        const char *valueBegin = point.data() + (pointColon < 0 ? 0 : pointColon + 1);
        if ((pointColon >= 0 && !parseNumber(point.data(), point.data() + pointColon, time))
            || !parseNumber(valueBegin, point.data() + point.size(), value)) {
            times.clear();
            return false;
        }
        batch.values.append(value);
        times.append(time);
        return true;
    });
    // A trailing ';' stops the walk with the points taken, a point that fails
    // with none.
    if (!parsed && times.isEmpty()) {
        batch.values.resize(offset);
        return LineKind::Garbage;
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

// "x:y" or "x:y:timestamp_ms" per point; the unit, if any, is not kept.
TextLineDecoder::LineKind TeleplotDecoder::decodeXY(QByteArrayView name, QByteArrayView points,
                                                    PlotBatch &batch)
{
    QVarLengthArray<XYPoint, 16> parsed;
    const bool whole = forEachPart(points, ';', [&parsed](QByteArrayView point, bool last) {
        if (last && point.trimmed().isEmpty() && parsed.size() > 0)
            return false;
        double numbers[3] = { 0, 0, qQNaN() };
        int count = 0;
        const bool fits = forEachPart(point, ':', [&](QByteArrayView number, bool) {
            return count < 3
                    && parseNumber(number.data(), number.data() + number.size(), numbers[count++]);
        });
        if (!fits || count < 2) {
            parsed.clear();
            return false;
        }
        parsed.append(XYPoint { 0, numbers[0], numbers[1], numbers[2] });
        return true;
    });
    if (!whole && parsed.isEmpty())
        return LineKind::Garbage;

    const QByteArray key = name.toByteArray();
    auto found = m_xySeries.constFind(key);
    int series;
    if (found != m_xySeries.constEnd()) {
        series = *found;
    } else {
        if (m_xyNames.size() == kMaxXYSeries)
            return LineKind::Garbage;
        series = int(m_xyNames.size());
        m_xySeries.insert(key, series);
        m_xyNames.append(QString::fromUtf8(name));
    }
    for (XYPoint point : parsed) {
        point.series = series;
        addXYPoint(batch, point);
    }
    ++m_stats.xyFrames;
    return LineKind::Data;
}

#include "plotdecoder.h"

#include "firewaterdecoder.h"
#include "justfloatdecoder.h"
#include "plaindecoder.h"
#include "teleplotdecoder.h"

#include <charconv>
#include <cmath>

void PlotBatch::clear()
{
    values.clear();
    rows.clear();
    xyPoints.clear();
    log.clear();
}

void PlotBatch::addLog(const QString &line)
{
    // A flood of text keeps only its newest lines, without shifting the list
    // at every line.
    if (log.size() >= 2 * kMaxLogLines)
        log.remove(0, log.size() - kMaxLogLines);
    log.append(line);
}

bool PlotDecoder::parseNumber(const char *begin, const char *end, double &value)
{
    while (begin < end && (*begin == ' ' || *begin == '\t'))
        ++begin;
    while (end > begin && (end[-1] == ' ' || end[-1] == '\t'))
        --end;
    // from_chars takes a minus sign but no plus.
    if (begin < end && *begin == '+' && end - begin > 1 && begin[1] != '-')
        ++begin;
    if (begin == end)
        return false;
    const auto [stop, error] = std::from_chars(begin, end, value);
    return error == std::errc() && stop == end;
}

QString PlotDecoder::defaultName(int channel)
{
    return QStringLiteral("CH%1").arg(channel + 1);
}

std::unique_ptr<PlotDecoder> PlotDecoder::create(PlotFraming framing)
{
    switch (framing) {
    case PlotFraming::FireWater:
        return std::make_unique<FireWaterDecoder>();
    case PlotFraming::JustFloat:
        return std::make_unique<JustFloatDecoder>();
    case PlotFraming::Teleplot:
        return std::make_unique<TeleplotDecoder>();
    case PlotFraming::Plain:
        return std::make_unique<PlainDecoder>();
    case PlotFraming::Auto:
        break;
    }
    return nullptr;
}

QString PlotDecoder::framingName(PlotFraming framing)
{
    switch (framing) {
    case PlotFraming::FireWater:
        return QStringLiteral("FireWater");
    case PlotFraming::JustFloat:
        return QStringLiteral("JustFloat");
    case PlotFraming::Teleplot:
        return QStringLiteral("Teleplot");
    case PlotFraming::Plain:
        return QStringLiteral("Plain");
    case PlotFraming::Auto:
        break;
    }
    return QStringLiteral("auto");
}

std::optional<PlotFraming> PlotDecoder::framingFromName(const QString &name)
{
    for (const PlotFraming framing :
         { PlotFraming::Auto, PlotFraming::FireWater, PlotFraming::JustFloat, PlotFraming::Teleplot,
           PlotFraming::Plain }) {
        if (name.compare(framingName(framing), Qt::CaseInsensitive) == 0)
            return framing;
    }
    return std::nullopt;
}

void PlotDecoder::addRow(PlotBatch &batch, qsizetype offset, int channel, int count, double timeMs)
{
    for (qsizetype i = offset; i < offset + count; ++i) {
        if (!std::isfinite(batch.values[i]))
            ++m_stats.nonFinite;
    }
    batch.rows.append(PlotRow { offset, channel, count, int(m_names.size()), timeMs });
    m_stats.values += count;
}

void PlotDecoder::addXYPoint(PlotBatch &batch, const XYPoint &point)
{
    m_stats.nonFinite += int(!std::isfinite(point.x)) + int(!std::isfinite(point.y));
    m_stats.values += 2;
    batch.xyPoints.append(point);
}

void PlotDecoder::countFrame(qint64 bytes)
{
    ++m_stats.frames;
    m_stats.dataBytes += bytes;
    if (m_outOfStep) {
        ++m_stats.resyncs;
        m_outOfStep = false;
    }
}

void PlotDecoder::discard(qint64 bytes)
{
    if (bytes <= 0)
        return;
    m_stats.garbageBytes += bytes;
    m_outOfStep = true;
}

void PlotDecoder::setUnnamedCount(int count)
{
    if (count == m_names.size())
        return;
    while (m_names.size() > count) {
        m_names.removeLast();
        m_units.removeLast();
    }
    while (m_names.size() < count) {
        m_names.append(defaultName(int(m_names.size())));
        m_units.append(QString());
    }
}

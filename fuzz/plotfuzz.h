#ifndef PLOTFUZZ_H
#define PLOTFUZZ_H

// What the four plot framings' targets share: feeding a decoder in the
// deliveries the fuzzer cuts, checking what must hold for any input, and
// comparing what came out with what a clean stream was made of.
#include "fuzzcheck.h"
#include "plotdecoder.h"

#include <QList>

#include <algorithm>

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstring>
#include <vector>

// One value as it reached the plot.
struct PlotPoint
{
    int channel;
    double value;
    double timeMs;

    bool operator==(const PlotPoint &other) const
    {
        // Bit for bit, so that NaN equals NaN and -0 differs from 0.
        return channel == other.channel && std::memcmp(&value, &other.value, 8) == 0
                && (timeMs == other.timeMs || (std::isnan(timeMs) && std::isnan(other.timeMs)));
    }
};

// Bit for bit, like PlotPoint.
inline bool sameXYPoint(const XYPoint &a, const XYPoint &b)
{
    return a.series == b.series && std::memcmp(&a.x, &b.x, 8) == 0
            && std::memcmp(&a.y, &b.y, 8) == 0
            && (a.timeMs == b.timeMs || (std::isnan(a.timeMs) && std::isnan(b.timeMs)));
}

inline bool sameXYPoints(const QList<XYPoint> &a, const QList<XYPoint> &b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), sameXYPoint);
}

struct PlotFed
{
    QList<PlotPoint> points;
    QList<XYPoint> xyPoints;
    QStringList names;
    PlotStats stats;
};

// Feeds stream into one buffer in deliveries of the given sizes (the rest at
// once when they run out), checking after each: only a front part is taken,
// at most maxWaiting bytes wait, the consumed bytes are all counted once,
// every value belongs to a row of a known channel, every XY point to a known
// series, and the value and non-finite counts match what came out (an XY
// point is two values).
inline PlotFed feedPlot(PlotFraming framing, const QByteArray &stream, const std::vector<int> &cuts,
                        qsizetype maxWaiting)
{
    const auto decoder = PlotDecoder::create(framing);
    QByteArray buffer;
    PlotFed fed;
    qsizetype given = 0;
    qint64 values = 0;
    qint64 nonFinite = 0;
    for (size_t n = 0; n <= cuts.size() && given < stream.size(); ++n) {
        const qsizetype piece = n < cuts.size() ? cuts[n] : stream.size() - given;
        buffer.append(stream.mid(given, piece));
        given = qMin(stream.size(), given + piece);
        PlotBatch batch;
        decoder->decode(buffer, batch);
        FUZZ_CHECK(buffer.size() <= maxWaiting);
        FUZZ_CHECK(stream.left(given).endsWith(buffer));
        const PlotStats &stats = decoder->stats();
        FUZZ_CHECK(stats.dataBytes + stats.textBytes + stats.garbageBytes == given - buffer.size());
        FUZZ_CHECK(batch.log.size() <= 2 * PlotBatch::kMaxLogLines);
        qsizetype expectedOffset = 0;
        for (const PlotRow &row : batch.rows) {
            FUZZ_CHECK(row.offset == expectedOffset && row.count > 0);
            FUZZ_CHECK(row.channel >= 0 && row.channel + row.count <= row.channelCount);
            FUZZ_CHECK(row.channelCount <= PlotDecoder::kMaxChannels);
            for (int c = 0; c < row.count; ++c) {
                const double value = batch.values[row.offset + c];
                fed.points.append(PlotPoint { row.channel + c, value, row.timeMs });
                if (!std::isfinite(value))
                    ++nonFinite;
            }
            expectedOffset += row.count;
            values += row.count;
        }
        for (const XYPoint &point : batch.xyPoints) {
            FUZZ_CHECK(point.series >= 0 && point.series < decoder->xySeriesNames().size());
            fed.xyPoints.append(point);
            nonFinite += int(!std::isfinite(point.x)) + int(!std::isfinite(point.y));
            values += 2;
        }
        // Only values of rows: nothing of a line that failed stays behind.
        FUZZ_CHECK(batch.values.size() == expectedOffset);
        FUZZ_CHECK(stats.values == values && stats.nonFinite == nonFinite);
        FUZZ_CHECK(stats.resyncs <= stats.frames);
        FUZZ_CHECK(decoder->channelNames().size() == decoder->channelUnits().size());
        FUZZ_CHECK(decoder->channelNames().size() <= PlotDecoder::kMaxChannels);
        FUZZ_CHECK(decoder->xySeriesNames().size() <= PlotDecoder::kMaxXYSeries);
    }
    fed.names = decoder->channelNames();
    fed.stats = decoder->stats();
    return fed;
}

// A clean stream and what it must decode to, with the garbage put in it.
struct CleanStream
{
    QByteArray bytes;
    QList<PlotPoint> points;
    QList<XYPoint> xyPoints;
    qint64 garbageBytes = 0;
};

// The clean stream decodes to its points with exactly its garbage counted,
// whole and in the fuzzer's deliveries alike.
inline void checkClean(PlotFraming framing, const CleanStream &clean, const std::vector<int> &cuts,
                       qsizetype maxWaiting)
{
    for (const bool cut : { false, true }) {
        const PlotFed fed
                = feedPlot(framing, clean.bytes, cut ? cuts : std::vector<int> {}, maxWaiting);
        FUZZ_CHECK(fed.points == clean.points);
        FUZZ_CHECK(sameXYPoints(fed.xyPoints, clean.xyPoints));
        FUZZ_CHECK(fed.stats.garbageBytes == clean.garbageBytes);
    }
}

inline std::vector<int> consumeCuts(FuzzedDataProvider &input)
{
    std::vector<int> cuts;
    for (int n = 0; n < 64 && input.remaining_bytes() > 0; ++n)
        cuts.push_back(input.ConsumeIntegralInRange<int>(0, 40));
    return cuts;
}

// The fuzzer's input as a stream and the cuts of its deliveries. The stream
// is fed as it is, and is then the material a clean stream is made from.
struct PlotFuzzInput
{
    QByteArray raw;
    std::vector<int> cuts;
};

inline PlotFuzzInput feedFuzzInput(PlotFraming framing, const uint8_t *data, size_t size,
                                   qsizetype maxWaiting)
{
    FuzzedDataProvider input(data, size);
    PlotFuzzInput result;
    result.raw = toByteArray(
            input.ConsumeBytesAsString(input.ConsumeIntegralInRange<size_t>(0, size)));
    result.cuts = consumeCuts(input);
    feedPlot(framing, result.raw, result.cuts, maxWaiting);
    return result;
}

#endif // PLOTFUZZ_H

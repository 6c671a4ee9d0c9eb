#include "plotframingdetector.h"

#include "justfloatdecoder.h"

namespace {

// How each text framing fares with the complete lines of text.
PlotStats statsOf(PlotFraming framing, const QByteArray &text)
{
    QByteArray buffer = text;
    PlotBatch batch;
    const auto decoder = PlotDecoder::create(framing);
    decoder->decode(buffer, batch);
    return decoder->stats();
}

} // namespace

std::optional<PlotFraming> PlotFramingDetector::detect(const QByteArray &head)
{
    // Text never holds this run with its two NUL bytes.
    if (head.contains(JustFloatDecoder::tail()))
        return PlotFraming::JustFloat;

    const qsizetype lastFeed = head.lastIndexOf('\n');
    const QByteArray lines = head.left(lastFeed + 1);
    const bool enough = head.size() >= kDecideBytes;
    int lineCount = 0;
    for (qsizetype from = 0; from < lines.size();) {
        const qsizetype feed = lines.indexOf('\n', from);
        if (lines.sliced(from, feed - from).trimmed().size() > 0)
            ++lineCount;
        from = feed + 1;
    }
    if (lineCount < kDecideLines && !enough)
        return std::nullopt;

    if (statsOf(PlotFraming::Teleplot, lines).frames > 0)
        return PlotFraming::Teleplot;
    const PlotStats fireWater = statsOf(PlotFraming::FireWater, lines);
    const PlotStats plain = statsOf(PlotFraming::Plain, lines);
    // Comma-separated numbers are both: FireWater, unless Plain reads more
    // values ("a:1 b:2") or found a header naming the columns.
    if (plain.frames > 0 && (plain.values > fireWater.values || plain.textLines > 0))
        return PlotFraming::Plain;
    if (fireWater.frames > 0)
        return PlotFraming::FireWater;
    if (plain.frames > 0)
        return PlotFraming::Plain;
    if (!enough)
        return std::nullopt;
    // Neither reads: binary without tails yet, or text of no framing.
    return lineCount > 0 ? PlotFraming::FireWater : PlotFraming::JustFloat;
}

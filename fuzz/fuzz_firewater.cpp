// The FireWater framing: any bytes in any deliveries, and clean streams of
// tagged and untagged lines with garbage lines between them.
#include "plotfuzztext.h"
#include "textlinedecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const qsizetype maxWaiting = TextLineDecoder::kMaxLineBytes;
    const PlotFuzzInput input = feedFuzzInput(PlotFraming::FireWater, data, size, maxWaiting);
    FuzzedDataProvider make(reinterpret_cast<const uint8_t *>(input.raw.constData()),
                            input.raw.size());
    CleanStream clean;
    bool carriageReturnOwed = false;
    while (make.remaining_bytes() > 0) {
        const qint64 owed = carriageReturnOwed ? 1 : 0;
        if (make.ConsumeIntegralInRange<int>(0, 5) == 0) {
            // No number: garbage, and never plotted.
            const QByteArray line = "#" + letters(make) + lineEnd(make, carriageReturnOwed);
            clean.bytes += line;
            clean.garbageBytes += owed + line.size() - (carriageReturnOwed ? 1 : 0);
            continue;
        }
        QByteArray line = make.ConsumeBool() ? letters(make) + ":" : QByteArray();
        const int count = make.ConsumeIntegralInRange<int>(1, 8);
        for (int c = 0; c < count; ++c) {
            double value;
            const QByteArray text = printValue(make, value);
            line += (c > 0 ? "," : "") + QByteArray(make.ConsumeBool() ? " " : "") + text;
            clean.points.append(PlotPoint { c, value, qQNaN() });
        }
        clean.bytes += line + lineEnd(make, carriageReturnOwed);
    }
    checkClean(PlotFraming::FireWater, clean, input.cuts, maxWaiting);
    return 0;
}

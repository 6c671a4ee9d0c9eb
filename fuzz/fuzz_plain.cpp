// The Plain framing: any bytes in any deliveries, and clean streams of
// columns and labelled values with any separators, and garbage lines between
// them.
#include "plotfuzztext.h"
#include "textlinedecoder.h"

#include <QHash>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const qsizetype maxWaiting = TextLineDecoder::kMaxLineBytes;
    const PlotFuzzInput input = feedFuzzInput(PlotFraming::Plain, data, size, maxWaiting);
    FuzzedDataProvider make(reinterpret_cast<const uint8_t *>(input.raw.constData()),
                            input.raw.size());
    CleanStream clean;
    QHash<QByteArray, int> channels;
    const auto channelOf = [&channels](const QByteArray &name) {
        const int channel = channels.value(name, int(channels.size()));
        channels.insert(name, channel);
        return channel;
    };
    const char *const separators[] = { ",", " ", "\t", ", ", " \t" };
    bool carriageReturnOwed = false;
    bool first = true;
    while (make.remaining_bytes() > 0) {
        const qint64 owed = carriageReturnOwed ? 1 : 0;
        // An all-text first line would be the header, no garbage.
        if (!first && make.ConsumeIntegralInRange<int>(0, 5) == 0) {
            const QByteArray line = "#x " + letters(make) + lineEnd(make, carriageReturnOwed);
            clean.bytes += line;
            clean.garbageBytes += owed + line.size() - (carriageReturnOwed ? 1 : 0);
            continue;
        }
        first = false;
        QByteArray line;
        int column = 0;
        const int count = make.ConsumeIntegralInRange<int>(1, 8);
        for (int n = 0; n < count; ++n) {
            if (n > 0)
                line += separators[make.ConsumeIntegralInRange<int>(0, 4)];
            int channel;
            if (make.ConsumeBool()) {
                const QByteArray label
                        = "s" + QByteArray::number(make.ConsumeIntegralInRange(0, 7));
                line += label + ":";
                channel = channelOf(label);
            } else {
                channel = channelOf("CH" + QByteArray::number(++column));
            }
            double value;
            line += printValue(make, value);
            clean.points.append(PlotPoint { channel, value, qQNaN() });
        }
        clean.bytes += line + lineEnd(make, carriageReturnOwed);
    }
    checkClean(PlotFraming::Plain, clean, input.cuts, maxWaiting);
    return 0;
}

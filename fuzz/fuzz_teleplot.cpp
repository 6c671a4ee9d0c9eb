// The Teleplot framing: any bytes in any deliveries, and clean streams of
// named values with and without time stamps and units, XY points, log lines
// and garbage lines between them.
#include "plotfuzztext.h"
#include "textlinedecoder.h"

#include <QHash>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const qsizetype maxWaiting = TextLineDecoder::kMaxLineBytes;
    const PlotFuzzInput input = feedFuzzInput(PlotFraming::Teleplot, data, size, maxWaiting);
    FuzzedDataProvider make(reinterpret_cast<const uint8_t *>(input.raw.constData()),
                            input.raw.size());
    CleanStream clean;
    QHash<QByteArray, int> channels;
    QHash<QByteArray, int> series;
    bool carriageReturnOwed = false;
    while (make.remaining_bytes() > 0) {
        const qint64 owed = carriageReturnOwed ? 1 : 0;
        switch (make.ConsumeIntegralInRange<int>(0, 8)) {
        case 0: // log text: neither plotted nor garbage
            clean.bytes += "log " + letters(make) + lineEnd(make, carriageReturnOwed);
            continue;
        case 1: { // a name without a value
            const QByteArray line = ">" + letters(make) + lineEnd(make, carriageReturnOwed);
            clean.bytes += line;
            clean.garbageBytes += owed + line.size() - (carriageReturnOwed ? 1 : 0);
            continue;
        }
        case 2: { // XY points, of series named like the channels but apart
            const QByteArray name
                    = QByteArray(1, char('a' + make.ConsumeIntegralInRange<int>(0, 7)));
            // Flagged np as well, the line is log text.
            const bool plotted = make.ConsumeBool();
            const int index = series.value(name, int(series.size()));
            if (plotted)
                series.insert(name, index);
            QByteArray line = ">" + name + ":";
            const int count = make.ConsumeIntegralInRange<int>(1, 4);
            for (int n = 0; n < count; ++n) {
                XYPoint point { index, 0, 0, qQNaN() };
                line += (n > 0 ? ";" : "") + printValue(make, point.x) + ":"
                        + printValue(make, point.y);
                if (make.ConsumeBool()) {
                    point.timeMs = make.ConsumeIntegral<quint32>();
                    line += ":" + QByteArray::number(point.timeMs, 'f', 0);
                }
                if (plotted)
                    clean.xyPoints.append(point);
            }
            clean.bytes += line + (plotted ? "|xy" : "|np,xy") + lineEnd(make, carriageReturnOwed);
            continue;
        }
        default:
            break;
        }
        const QByteArray name = QByteArray(1, char('a' + make.ConsumeIntegralInRange<int>(0, 7)));
        const int channel = channels.value(name, int(channels.size()));
        channels.insert(name, channel);
        QByteArray line = ">" + name + ":";
        const int count = make.ConsumeIntegralInRange<int>(1, 4);
        for (int n = 0; n < count; ++n) {
            if (n > 0)
                line += ";";
            double time = qQNaN();
            if (make.ConsumeBool()) {
                time = make.ConsumeIntegral<quint32>();
                line += QByteArray::number(time, 'f', 0) + ":";
            }
            double value;
            line += printValue(make, value);
            clean.points.append(PlotPoint { channel, value, time });
        }
        if (make.ConsumeBool())
            line += "\xC2\xA7"
                    "m/s";
        clean.bytes += line + lineEnd(make, carriageReturnOwed);
    }
    checkClean(PlotFraming::Teleplot, clean, input.cuts, maxWaiting);
    return 0;
}

// The JustFloat framing: any bytes in any deliveries, and clean streams of
// frames of any float values and lengths, some of them put out of step by a
// few bytes before them.
#include "justfloatdecoder.h"
#include "plotfuzz.h"

#include <QtEndian>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const qsizetype maxWaiting = JustFloatDecoder::kMaxFrameBytes + 3;
    const PlotFuzzInput input = feedFuzzInput(PlotFraming::JustFloat, data, size, maxWaiting);
    FuzzedDataProvider make(reinterpret_cast<const uint8_t *>(input.raw.constData()),
                            input.raw.size());
    CleanStream clean;
    const QByteArray tail = JustFloatDecoder::tail();
    while (make.remaining_bytes() > 0) {
        // One to three bytes before a frame make its length no multiple of
        // four: it is garbage with them, and the next frame resynchronises.
        const int garbage = make.ConsumeIntegralInRange<int>(0, 8) < 7
                ? 0
                : make.ConsumeIntegralInRange<int>(1, 3);
        QByteArray frame(garbage, '\x01');
        QList<PlotPoint> points;
        const int count = make.ConsumeIntegralInRange<int>(1, 16);
        for (int c = 0; c < count; ++c) {
            const quint32 bits = make.ConsumeIntegral<quint32>();
            char bytes[4];
            qToLittleEndian(bits, bytes);
            frame.append(bytes, 4);
            points.append(PlotPoint { c, double(qFromLittleEndian<float>(bytes)), qQNaN() });
        }
        frame += tail;
        // A tail inside the values (a value of +infinity) cuts the frame
        // elsewhere: such a frame cannot be sent.
        const qsizetype from = clean.bytes.size();
        if ((clean.bytes + frame).indexOf(tail, qMax<qsizetype>(0, from - 3))
            != from + frame.size() - 4)
            continue;
        clean.bytes += frame;
        if (garbage > 0)
            clean.garbageBytes += frame.size();
        else
            clean.points += points;
    }
    checkClean(PlotFraming::JustFloat, clean, input.cuts, maxWaiting);
    return 0;
}

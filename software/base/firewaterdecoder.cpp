#include "firewaterdecoder.h"

#include <QByteArrayView>

TextLineDecoder::LineKind FireWaterDecoder::decodeLine(const char *begin, const char *end,
                                                       PlotBatch &batch)
{
    const char *start = begin;
    for (const char *c = end; c > begin; --c) {
        if (c[-1] == ':') {
            start = c;
            break;
        }
    }
    if (start != begin
        && QByteArrayView(begin, start - 1 - begin).trimmed() == QByteArrayView("image"))
        return LineKind::Text;

    const qsizetype offset = batch.values.size();
    int count = 0;
    for (const char *field = start;; ++count) {
        const char *comma = field;
        while (comma < end && *comma != ',')
            ++comma;
        double value;
        if (count == kMaxChannels || !parseNumber(field, comma, value)) {
            batch.values.resize(offset);
            return LineKind::Garbage;
        }
        batch.values.append(value);
        if (comma == end)
            break;
        field = comma + 1;
    }
    ++count;
    setUnnamedCount(count);
    addRow(batch, offset, 0, count, qQNaN());
    return LineKind::Data;
}

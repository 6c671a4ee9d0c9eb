#include "justfloatdecoder.h"

#include <QtEndian>

#include <cstring>

namespace {

// Index of the first byte of the first tail at or after from, or -1.
qsizetype findTail(const uchar *bytes, qsizetype from, qsizetype size)
{
    // The tail's last byte is the rarest in float data: look for it first.
    for (qsizetype i = from + 3; i < size;) {
        const auto *hit = static_cast<const uchar *>(std::memchr(bytes + i, 0x7F, size - i));
        if (!hit)
            return -1;
        i = hit - bytes;
        if (bytes[i - 1] == 0x80 && bytes[i - 2] == 0x00 && bytes[i - 3] == 0x00)
            return i - 3;
        ++i;
    }
    return -1;
}

} // namespace

void JustFloatDecoder::decode(QByteArray &buffer, PlotBatch &batch)
{
    const auto *bytes = reinterpret_cast<const uchar *>(buffer.constData());
    const qsizetype size = buffer.size();
    qsizetype pos = 0;
    while (pos < size) {
        const qsizetype tailAt = findTail(bytes, pos, size);
        if (tailAt < 0) {
            // A tail may be starting in the last three bytes.
            if (size - pos > kMaxFrameBytes - 1) {
                discard(size - 3 - pos);
                pos = size - 3;
                m_lost = true;
            }
            break;
        }
        const qsizetype length = tailAt - pos;
        const qint64 frameBytes = length + kTailBytes;
        if (m_lost || length == 0 || length % 4 != 0 || length > kMaxFrameBytes - kTailBytes) {
            discard(frameBytes);
            m_lost = false;
        } else {
            const int count = int(length / 4);
            const qsizetype offset = batch.values.size();
            batch.values.resize(offset + count);
            double *out = batch.values.data() + offset;
            for (int n = 0; n < count; ++n)
                out[n] = qFromLittleEndian<float>(bytes + pos + 4 * n);
            setUnnamedCount(count);
            addRow(batch, offset, 0, count, qQNaN());
            countFrame(frameBytes);
        }
        pos = tailAt + kTailBytes;
    }
    buffer.remove(0, pos);
}

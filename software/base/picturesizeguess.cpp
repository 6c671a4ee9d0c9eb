#include "picturesizeguess.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr char kEndByte = char(0xFF);

// The sizes contest cameras and displays send: the global-shutter sensor's
// full frame and its binned halves, the colour sensor's VGA fractions, the
// small OLED's frame, and this tab's own default.
constexpr QSize kCommonSizes[]
        = { { 188, 120 }, { 160, 120 }, { 94, 60 },  { 80, 60 },   { 128, 64 }, { 376, 240 },
            { 752, 480 }, { 320, 240 }, { 188, 60 }, { 128, 120 }, { 120, 40 } };

bool fits(QSize size, QSize maximum)
{
    return size.width() >= 1 && size.height() >= 1 && size.width() <= maximum.width()
            && size.height() <= maximum.height();
}

} // namespace

void PictureSizeGuess::scan(const QByteArray &buffer)
{
    // The buffer's owner may have dropped bytes from its front unseen.
    if (m_scanned > buffer.size())
        reset();
    const char *bytes = buffer.constData();
    qsizetype at = m_scanned;
    const qsizetype size = buffer.size();
    while (at < size) {
        const auto *end
                = static_cast<const char *>(std::memchr(bytes + at, kEndByte, size_t(size - at)));
        if (!end) {
            if (m_sinceEnd >= 0)
                m_sinceEnd += size - at;
            break;
        }
        const qsizetype position = end - bytes;
        if (m_sinceEnd >= 0) {
            const qsizetype gap = m_sinceEnd + (position - at);
            m_steadyCount = gap == m_lastGap ? m_steadyCount + 1 : 1;
            m_lastGap = gap;
        }
        m_sinceEnd = 0;
        at = position + 1;
    }
    m_scanned = size;
}

void PictureSizeGuess::removedFront(qsizetype count)
{
    m_scanned = std::max<qsizetype>(0, m_scanned - count);
}

void PictureSizeGuess::reset()
{
    *this = PictureSizeGuess();
}

QList<QSize> PictureSizeGuess::likelySizes(qsizetype byteCount, QSize maximum, int limit)
{
    QList<QSize> sizes;
    if (byteCount <= 0 || limit <= 0)
        return sizes;
    for (const QSize size : kCommonSizes) {
        if (qsizetype(size.width()) * size.height() == byteCount && fits(size, maximum))
            sizes.append(size);
    }
    QList<QSize> pairs;
    for (qsizetype width = 1; width <= maximum.width() && width <= byteCount; ++width) {
        if (byteCount % width != 0)
            continue;
        const QSize size(int(width), int(byteCount / width));
        if (fits(size, maximum) && !sizes.contains(size))
            pairs.append(size);
    }
    // Landscape before portrait, then by how far from 4:3.
    const auto rank = [](QSize size) {
        const double ratio = double(size.width()) / size.height();
        return std::make_pair(size.width() < size.height(), std::abs(std::log(ratio / (4.0 / 3))));
    };
    std::stable_sort(pairs.begin(), pairs.end(),
                     [&rank](QSize a, QSize b) { return rank(a) < rank(b); });
    sizes.append(pairs);
    if (sizes.size() > limit)
        sizes.resize(limit);
    return sizes;
}

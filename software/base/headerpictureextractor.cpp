#include "headerpictureextractor.h"

#include <QtEndian>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

const QByteArray kTextTag = QByteArrayLiteral("image:");
// The two 0x7F800000 closing a binary header, little-endian.
const QByteArray kBinaryTag = QByteArray::fromHex("0000807f0000807f");
constexpr int kBinaryTagOffset = 20;

std::optional<qint64> parseNumber(QByteArrayView text)
{
    if (text.isEmpty() || text.size() > 11)
        return std::nullopt;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    if (!ok || value < std::numeric_limits<qint32>::min()
        || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    // Plain digits only, with a minus for the ID at most: no spaces or plus.
    for (const char c : text) {
        if ((c < '0' || c > '9') && c != '-')
            return std::nullopt;
    }
    return value;
}

} // namespace

FrameCut HeaderPictureExtractor::takeNewest(QByteArray &buffer, HeaderPicture &picture,
                                            FrameStats &stats)
{
    // What was searched last time holds only while the same picture still
    // waits at the front.
    qsizetype resumeFrom = 0;
    if (!m_pendingHeader.isEmpty() && buffer.startsWith(m_pendingHeader)
        && buffer.size() >= m_pendingHeader.size() + m_searched)
        resumeFrom = m_searched;
    m_pendingHeader.clear();
    m_searched = 0;

    std::optional<HeaderPicture> newest;
    qsizetype newestBytes = 0; // its header and data
    qsizetype position = 0;    // everything before it is done with
    qsizetype keepFrom = -1;   // where the bytes that stay begin
    while (keepFrom < 0) {
        const qsizetype start = findHeader(buffer, position);
        if (start < 0) {
            // The last bytes may be the beginning of a header.
            keepFrom = std::max(position, buffer.size() - (kBinaryHeaderBytes - 1));
            break;
        }
        Header header;
        const Parse parse = parseHeader(buffer, start, header);
        if (parse == Parse::Incomplete) {
            keepFrom = start;
            break;
        }
        if (parse == Parse::Malformed || !isValid(header)) {
            ++stats.misplaced;
            // The bytes it announced are searched like any others.
            position = start + (parse == Parse::Malformed ? 1 : header.length);
            continue;
        }
        const qsizetype dataStart = start + header.length;
        const qsizetype dataEnd = dataStart + header.size;
        const qsizetype available = std::min(dataEnd, buffer.size());
        // A header among the picture's bytes: the picture was cut short.
        const qsizetype searchFrom = start == 0 ? dataStart + resumeFrom : start + 1;
        const qsizetype inner = findHeader(buffer, std::max(searchFrom, start + 1));
        if (inner >= 0 && inner < available) {
            ++stats.misplaced;
            position = inner;
            continue;
        }
        if (dataEnd > buffer.size()) {
            keepFrom = start;
            m_pendingHeader = buffer.mid(start, header.length);
            // Every header starting before the last binary header's length
            // would have been found.
            m_searched
                    = std::max<qsizetype>(0, buffer.size() - (kBinaryHeaderBytes - 1) - dataStart);
            break;
        }
        if (header.picture.encoding == HeaderPicture::Encoding::File
            && !hasFileSignature(buffer, dataStart, header.size)) {
            ++stats.misplaced;
            position = dataEnd;
            continue;
        }
        if (newest)
            ++stats.skipped;
        header.picture.data = buffer.mid(dataStart, header.size);
        newest = std::move(header.picture);
        newestBytes = dataEnd - start;
        position = dataEnd;
    }
    buffer.remove(0, keepFrom);
    stats.droppedBytes += keepFrom - newestBytes;
    if (!newest)
        return keepFrom > 0 ? FrameCut::Dropped : FrameCut::Waiting;
    picture = std::move(*newest);
    ++stats.taken;
    return FrameCut::Taken;
}

qsizetype HeaderPictureExtractor::findHeader(const QByteArray &buffer, qsizetype from)
{
    from = std::max<qsizetype>(from, 0);
    const qsizetype text = buffer.indexOf(kTextTag, from);
    // A binary header's tag sits 20 bytes into it; one whose start lies
    // before from is not looked at.
    qsizetype binary = buffer.indexOf(kBinaryTag, from + kBinaryTagOffset);
    if (binary >= 0)
        binary -= kBinaryTagOffset;
    if (text < 0)
        return binary;
    if (binary < 0)
        return text;
    return std::min(text, binary);
}

HeaderPictureExtractor::Parse HeaderPictureExtractor::parseHeader(const QByteArray &buffer,
                                                                  qsizetype start, Header &header)
{
    qint64 fields[5];
    const QByteArrayView from = QByteArrayView(buffer).sliced(start);
    if (from.startsWith(kTextTag)) {
        const QByteArrayView room
                = from.first(std::min<qsizetype>(from.size(), kMaxTextHeaderBytes));
        const qsizetype newline = room.indexOf('\n');
        if (newline < 0)
            return room.size() < kMaxTextHeaderBytes ? Parse::Incomplete : Parse::Malformed;
        QByteArrayView line = room.first(newline).sliced(kTextTag.size());
        if (line.endsWith('\r'))
            line.chop(1);
        for (int i = 0; i < 5; ++i) {
            const qsizetype comma = i < 4 ? line.indexOf(',') : line.size();
            if (comma < 0)
                return Parse::Malformed;
            const std::optional<qint64> value = parseNumber(line.first(comma));
            if (!value)
                return Parse::Malformed;
            fields[i] = *value;
            line = line.sliced(std::min(comma + 1, line.size()));
        }
        header.length = newline + 1;
    } else {
        if (buffer.size() - start < kBinaryHeaderBytes)
            return Parse::Incomplete;
        const uchar *bytes = reinterpret_cast<const uchar *>(buffer.constData() + start);
        for (int i = 0; i < 5; ++i)
            fields[i] = qFromLittleEndian<qint32>(bytes + 4 * i);
        header.length = kBinaryHeaderBytes;
    }
    header.picture.id = qint32(fields[0]);
    header.size = qint32(std::clamp<qint64>(fields[1], -1, std::numeric_limits<qint32>::max()));
    header.picture.width = int(std::clamp<qint64>(fields[2], -1, kMaxWidth + 1));
    header.picture.height = int(std::clamp<qint64>(fields[3], -1, kMaxHeight + 1));
    header.picture.format = qint32(fields[4]);
    header.picture.encoding = header.picture.format == 0 ? HeaderPicture::Encoding::File
                                                         : HeaderPicture::Encoding::Grey8;
    return Parse::Parsed;
}

bool HeaderPictureExtractor::isValid(const Header &header)
{
    const HeaderPicture &picture = header.picture;
    if (picture.width < 1 || picture.width > kMaxWidth || picture.height < 1
        || picture.height > kMaxHeight || header.size < 1)
        return false;
    switch (picture.format) {
    case 0:
        return header.size <= kMaxFileBytes;
    case 3:  // 8-bit indexed, taken as grey levels
    case 23: // 8-bit alpha
    case 24: // 8-bit grey
        return qint64(header.size) == qint64(picture.width) * picture.height;
    default:
        return false;
    }
}

bool HeaderPictureExtractor::hasFileSignature(const QByteArray &buffer, qsizetype from,
                                              qsizetype size)
{
    const QByteArrayView data(buffer.constData() + from, size);
    return data.startsWith(QByteArrayView("\xFF\xD8\xFF", 3))
            || data.startsWith(QByteArrayView("\x89PNG\r\n\x1A\n", 8)) || data.startsWith("BM");
}

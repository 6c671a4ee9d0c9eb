#ifndef HEADERPICTUREEXTRACTOR_H
#define HEADERPICTUREEXTRACTOR_H

#include "frameextraction.h"

#include <QByteArray>

// Pictures that come with a header instead of an end byte. Each picture is
// a header followed by SIZE bytes, the header being either the text line
//
//     image:ID,SIZE,WIDTH,HEIGHT,FORMAT\n
//
// or seven little-endian 32-bit integers
//
//     ID, SIZE, WIDTH, HEIGHT, FORMAT, 0x7F800000, 0x7F800000
//
// FORMAT is the pixel format's number: 3, 23 and 24 are one grey byte per
// pixel, row after row (SIZE = WIDTH x HEIGHT); 0 is an encoded picture, a
// JPEG, PNG or BMP file told by its first bytes, which the caller decodes.
struct HeaderPicture
{
    enum class Encoding { Grey8, File };

    qint32 id = 0;
    int width = 0;
    int height = 0;
    qint32 format = 0;
    Encoding encoding = Encoding::Grey8;
    QByteArray data; // SIZE bytes
};

// Takes the newest whole picture out of the front of a receive buffer. Older
// whole pictures in the same buffer are counted as skipped; a header that
// lies (a size that disagrees with its width, height and format), an unknown
// format, a side beyond the largest picture, or a picture cut short by the
// next header is counted as misplaced and skipped, never taken in part. Bytes
// outside any picture are dropped and counted.
//
// It keeps how far it has searched a picture still arriving, so that a large
// picture arriving in many small pieces is searched once; a buffer that no
// longer starts with that picture's header is searched from the start.
class HeaderPictureExtractor
{
public:
    static constexpr int kMaxWidth = 752;
    static constexpr int kMaxHeight = 480;
    // An encoded picture may be a little larger than the raw one (a BMP's
    // palette and header) but no larger than this.
    static constexpr qint32 kMaxFileBytes = 512 * 1024;
    static constexpr int kBinaryHeaderBytes = 28;
    // Longer than any text header whose numbers fit 32 bits.
    static constexpr int kMaxTextHeaderBytes = 80;

    FrameCut takeNewest(QByteArray &buffer, HeaderPicture &picture, FrameStats &stats);

private:
    enum class Parse { Incomplete, Malformed, Parsed };
    struct Header
    {
        HeaderPicture picture;
        qsizetype length = 0;
        qint32 size = 0;
    };

    static qsizetype findHeader(const QByteArray &buffer, qsizetype from);
    static Parse parseHeader(const QByteArray &buffer, qsizetype start, Header &header);
    static bool isValid(const Header &header);
    static bool hasFileSignature(const QByteArray &buffer, qsizetype from, qsizetype size);

    // The header of the picture still arriving at the front of the buffer,
    // and how many of its bytes are known to hold no header.
    QByteArray m_pendingHeader;
    qsizetype m_searched = 0;
};

#endif // HEADERPICTUREEXTRACTOR_H

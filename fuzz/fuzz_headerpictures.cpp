// Pictures led by a text or binary header, with any bytes between and inside
// them, over a stream delivered in pieces.
#include "fuzzcheck.h"
#include "headerpictureextractor.h"

#include <QString>

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    HeaderPictureExtractor extractor;
    QByteArray buffer;
    HeaderPicture picture;
    picture.data = "old";
    FrameStats stats;
    while (input.remaining_bytes() > 0) {
        // Headers are rare in random bytes: the fuzzer may ask for one.
        if (input.ConsumeBool()) {
            const bool text = input.ConsumeBool();
            const int width = input.ConsumeIntegralInRange<int>(-1, 800);
            const int height = input.ConsumeIntegralInRange<int>(-1, 500);
            const qint32 format = input.ConsumeIntegralInRange<qint32>(-1, 30);
            const qint32 bytes = input.ConsumeIntegralInRange<qint32>(-1, 2000);
            if (text) {
                buffer += QStringLiteral("image:%1,%2,%3,%4,%5\n")
                                  .arg(7)
                                  .arg(bytes)
                                  .arg(width)
                                  .arg(height)
                                  .arg(format)
                                  .toLatin1();
            } else {
                const qint32 fields[] = { 7, bytes, width, height, format, 0x7F800000, 0x7F800000 };
                buffer += QByteArray(reinterpret_cast<const char *>(fields), sizeof fields);
            }
        }
        buffer += toByteArray(input.ConsumeRandomLengthString(512));
        const QByteArray before = buffer;
        const FrameStats statsBefore = stats;
        const QByteArray pictureBefore = picture.data;

        const FrameCut cut = extractor.takeNewest(buffer, picture, stats);

        // Only a front part is removed, never anything added.
        FUZZ_CHECK(buffer.size() <= before.size() && before.endsWith(buffer));
        const qsizetype removed = before.size() - buffer.size();
        const qint64 taken = stats.taken - statsBefore.taken;
        FUZZ_CHECK(stats.skipped >= statsBefore.skipped
                   && stats.misplaced >= statsBefore.misplaced);
        if (cut == FrameCut::Waiting) {
            FUZZ_CHECK(removed == 0 && taken == 0 && picture.data == pictureBefore);
            continue;
        }
        if (cut == FrameCut::Dropped) {
            FUZZ_CHECK(taken == 0 && picture.data == pictureBefore);
            FUZZ_CHECK(stats.droppedBytes - statsBefore.droppedBytes == removed);
            continue;
        }
        // A whole picture among the removed bytes, of a size it may have.
        FUZZ_CHECK(taken == 1 && !picture.data.isEmpty());
        FUZZ_CHECK(before.left(removed).contains(picture.data));
        FUZZ_CHECK(picture.width >= 1 && picture.width <= HeaderPictureExtractor::kMaxWidth);
        FUZZ_CHECK(picture.height >= 1 && picture.height <= HeaderPictureExtractor::kMaxHeight);
        if (picture.encoding == HeaderPicture::Encoding::Grey8)
            FUZZ_CHECK(picture.data.size() == qsizetype(picture.width) * picture.height);
        else
            FUZZ_CHECK(picture.data.size() <= HeaderPictureExtractor::kMaxFileBytes);
        FUZZ_CHECK(stats.droppedBytes - statsBefore.droppedBytes < removed - picture.data.size());
    }
    return 0;
}

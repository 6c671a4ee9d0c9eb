// Newest-frame extraction of the linear CCD and camera tabs, with any frame
// size and end bytes anywhere, over a stream delivered in pieces.
#include "frameextraction.h"
#include "fuzzcheck.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int pixelCount = input.ConsumeIntegralInRange<int>(0, 600);
    QByteArray buffer;
    QByteArray frame("old");
    FrameStats stats;
    while (input.remaining_bytes() > 0) {
        buffer += toByteArray(input.ConsumeRandomLengthString(256));
        const QByteArray before = buffer;
        const FrameStats statsBefore = stats;
        const QByteArray frameBefore = frame;

        // Both entry points do the same to the buffer and the frame.
        QByteArray plainBuffer = buffer;
        QByteArray plainFrame = frame;
        const FrameCut plainCut = takeNewestFrame(plainBuffer, pixelCount, plainFrame);
        const FrameCut cut = takeNewestFrame(buffer, pixelCount, frame, stats);
        FUZZ_CHECK(cut == plainCut && buffer == plainBuffer && frame == plainFrame);

        // Only a front part is removed, never anything added.
        FUZZ_CHECK(buffer.size() <= before.size() && before.endsWith(buffer));
        const qsizetype removed = before.size() - buffer.size();
        const qsizetype endBytes = before.left(removed).count(char(0xFF));
        if (cut == FrameCut::Waiting) {
            FUZZ_CHECK(removed == 0 && frame == frameBefore);
            FUZZ_CHECK(before.size() <= pixelCount || !before.contains(char(0xFF)));
            continue;
        }
        // Up to and including the last end byte.
        FUZZ_CHECK(before.at(removed - 1) == char(0xFF) && !buffer.contains(char(0xFF)));
        const qsizetype taken = stats.taken - statsBefore.taken;
        const qsizetype counted = taken + stats.skipped - statsBefore.skipped + stats.misplaced
                - statsBefore.misplaced;
        FUZZ_CHECK(counted >= endBytes && counted <= endBytes + 1);
        if (cut == FrameCut::Taken) {
            // The run just before that end byte.
            FUZZ_CHECK(taken == 1 && frame == before.mid(removed - 1 - pixelCount, pixelCount));
            FUZZ_CHECK(stats.droppedBytes - statsBefore.droppedBytes == removed - pixelCount - 1);
        } else {
            FUZZ_CHECK(taken == 0 && frame == frameBefore && removed - 1 < pixelCount);
            FUZZ_CHECK(stats.droppedBytes - statsBefore.droppedBytes == removed);
        }
    }
    return 0;
}

// The oscilloscope's frame search, fed in the deliveries the fuzzer chooses.
#include "fuzzcheck.h"
#include "scopeframedecoder.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

namespace {

constexpr char kSync = char(0xFF);

QByteArray frameBytes(const ScopeFrame &frame)
{
    QByteArray bytes(2, kSync);
    for (const quint16 sample : frame.raw)
        bytes.append(char(sample >> 8)).append(char(sample & 0xFF));
    return bytes;
}

// Feeds stream into one buffer in deliveries of the given sizes (the rest at
// once when they run out) and checks what must hold on any input: at most
// nine bytes wait, and every frame stands in the stream, in order, as the sync
// pair and its samples, within what the decoder had been given.
QList<ScopeFrame> feed(const QByteArray &stream, const std::vector<int> &cuts)
{
    ScopeFrameDecoder decoder;
    QByteArray buffer;
    QList<ScopeFrame> all;
    qsizetype given = 0;
    // Where the next frame may start: frames never overlap.
    qsizetype searchFrom = 0;
    for (size_t n = 0; n <= cuts.size() && given < stream.size(); ++n) {
        const qsizetype piece = n < cuts.size() ? cuts[n] : stream.size() - given;
        buffer.append(stream.mid(given, piece));
        given = qMin(stream.size(), given + piece);
        searchFrom = qMax(searchFrom, given - buffer.size());
        const QList<ScopeFrame> frames = decoder.takeFrames(buffer);
        FUZZ_CHECK(buffer.size() <= 9);
        FUZZ_CHECK(stream.left(given).endsWith(buffer));
        for (const ScopeFrame &frame : frames) {
            const qsizetype at = stream.indexOf(frameBytes(frame), searchFrom);
            FUZZ_CHECK(at >= 0 && at + 10 <= given - buffer.size());
            searchFrom = at + 10;
        }
        all += frames;
    }
    FUZZ_CHECK(decoder.stats().frames == all.size());
    return all;
}

bool sameSamples(const QList<ScopeFrame> &a, const QList<ScopeFrame> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (frameBytes(a[i]) != frameBytes(b[i]))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const QByteArray raw = toByteArray(
            input.ConsumeBytesAsString(input.ConsumeIntegralInRange<size_t>(0, size)));
    std::vector<int> cuts;
    while (input.remaining_bytes() > 0)
        cuts.push_back(input.ConsumeIntegralInRange<int>(0, 40));

    feed(raw, cuts);

    // The same bytes as a clean stream: whole frames (any samples, any trailing
    // byte) with up to eight bytes of garbage without 0xFF before each. Its
    // samples do not depend on where deliveries end. Longer garbage may: ten
    // bytes without a sync pair are thrown away, and with them the first sync
    // byte of a frame when a delivery ends between the two.
    QByteArray clean;
    QList<ScopeFrame> expected;
    for (qsizetype pos = 0; pos < raw.size();) {
        const int garbage = uchar(raw[pos++]) % 9;
        if (raw.size() - pos < garbage + 9)
            break;
        for (int n = 0; n < garbage; ++n, ++pos)
            clean.append(raw[pos] == kSync ? char(0x00) : raw[pos]);
        ScopeFrame frame;
        for (quint16 &sample : frame.raw) {
            sample = quint16(uchar(raw[pos]) << 8 | uchar(raw[pos + 1]));
            pos += 2;
        }
        expected.append(frame);
        clean += frameBytes(frame);
        clean.append(raw[pos++]);
    }
    FUZZ_CHECK(sameSamples(feed(clean, {}), expected));
    FUZZ_CHECK(sameSamples(feed(clean, cuts), expected));
    return 0;
}

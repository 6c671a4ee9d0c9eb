// Hexadecimal text both ways, and received bytes as text.
#include "byteutils.h"
#include "fuzzcheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int start = input.ConsumeIntegral<int>();
    const qsizetype cut = input.ConsumeIntegral<quint16>();
    const QByteArray bytes = toByteArray(input.ConsumeRemainingBytesAsString());

    // What the program writes reads back as the same bytes, from any start.
    QString hex;
    bytesToHexText(bytes, hex, start);
    FUZZ_CHECK(hex.size() == 3 * bytes.size());
    QByteArray parsed("kept");
    FUZZ_CHECK(hexTextToBytes(hex, parsed));
    FUZZ_CHECK(parsed == "kept" + bytes);

    // Chunks rendered in turn continue the same lines.
    const qsizetype split = bytes.isEmpty() ? 0 : cut % (bytes.size() + 1);
    if (qint64(start) + split <= std::numeric_limits<int>::max()) {
        QString head;
        QString tail;
        bytesToHexText(bytes.left(split), head, start);
        bytesToHexText(bytes.mid(split), tail, int(start + split));
        FUZZ_CHECK(head + tail == hex);
    }

    // Any text a user may type: accepted text is stable when it is written out
    // and read again; refused text leaves nothing behind.
    const QString typed = QString::fromUtf8(bytes);
    QByteArray fromTyped("kept");
    if (hexTextToBytes(typed, fromTyped)) {
        FUZZ_CHECK(fromTyped.startsWith("kept"));
        const QByteArray value = fromTyped.mid(4);
        QString written;
        bytesToHexText(value, written, start);
        QByteArray again;
        FUZZ_CHECK(hexTextToBytes(written, again) && again == value);
    } else {
        FUZZ_CHECK(fromTyped.isEmpty());
    }

    // Received bytes as text, from any point of the stream: nothing of the
    // text is a zero, text the program shows reads the same when its bytes
    // come again, and valid UTF-8 loses nothing but its zero bytes.
    const QByteArray received = bytes.mid(split);
    QString text;
    bytesToText(received, text);
    FUZZ_CHECK(!text.contains(QChar(u'\0')));
    QString shownAgain;
    bytesToText(text.toLocal8Bit(), shownAgain);
    FUZZ_CHECK(shownAgain == text);
    if (QString::fromUtf8(received).toUtf8() == received)
        FUZZ_CHECK(text.toUtf8() == QByteArray(received).replace('\0', QByteArray()));
    return 0;
}

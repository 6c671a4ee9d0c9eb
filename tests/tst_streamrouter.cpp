#include "streamrouter.h"
#include "streamsink.h"

#include <QTest>

namespace {

// A tab that reads the stream: takes up to `take` bytes from the front and
// remembers what it was handed.
class Sink : public StreamSink
{
public:
    explicit Sink(qsizetype take)
        : m_take(take)
    { }

    void handleData(QByteArray &buffer) override
    {
        ++calls;
        seen = buffer;
        buffer.remove(0, qMin(m_take, buffer.size()));
    }

    int calls = 0;
    QByteArray seen;

private:
    qsizetype m_take;
};

} // namespace

// The receive buffer's bound and its hand-over to the current sink.
class TestStreamRouter : public QObject
{
    Q_OBJECT

private slots:
    void handsTheBufferToTheCurrentSink();
    void keepsTheNewestBytes();
};

void TestStreamRouter::handsTheBufferToTheCurrentSink()
{
    Sink all(1 << 30);
    Sink two(2);
    StreamRouter router;
    router.setCurrentSink(&all);

    router.receive("abc");
    QCOMPARE(all.seen, QByteArray("abc"));
    QVERIFY(router.buffer().isEmpty());

    // Without a sink (a tab that does not read the stream) the bytes wait
    // for the next one.
    router.setCurrentSink(nullptr);
    router.receive("def");
    QCOMPARE(router.buffer(), QByteArray("def"));

    // A delivery without bytes still hands the buffer over.
    router.setCurrentSink(&two);
    router.receive(QByteArray());
    QCOMPARE(two.calls, 1);
    QCOMPARE(two.seen, QByteArray("def"));
    QCOMPARE(router.buffer(), QByteArray("f"));
    QCOMPARE(all.calls, 1);
    QCOMPARE(router.droppedBytes(), 0);
}

void TestStreamRouter::keepsTheNewestBytes()
{
    constexpr qsizetype limit = StreamRouter::kBufferLimit;
    Sink none(0);
    StreamRouter router;
    router.setCurrentSink(&none);

    QByteArray stream(limit + limit / 2 + 7, Qt::Uninitialized);
    for (qsizetype i = 0; i < stream.size(); ++i)
        stream[i] = char(i % 251);
    router.receive(stream.left(limit - 10));
    QCOMPARE(router.droppedBytes(), 0);
    router.receive(stream.mid(limit - 10, 30));
    QCOMPARE(router.droppedBytes(), 20);
    // The tab sees the buffer already bounded.
    QCOMPARE(none.seen.size(), limit);
    router.receive(stream.mid(limit + 20));
    QCOMPARE(router.buffer(), stream.right(limit));
    QCOMPARE(router.droppedBytes(), stream.size() - limit);
}

QTEST_MAIN(TestStreamRouter)
#include "tst_streamrouter.moc"

#include "streamrouter.h"
#include "streamsink.h"

#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace {

// A tab that reads the stream: takes up to `take` bytes from the front and
// remembers what it was handed.
class SinkPage : public QWidget, public StreamSink
{
public:
    explicit SinkPage(qsizetype take)
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

// The receive buffer's bound and its hand-over to the current tab.
class TestStreamRouter : public QObject
{
    Q_OBJECT

private slots:
    void handsTheBufferToTheCurrentPage();
    void keepsTheNewestBytes();
};

void TestStreamRouter::handsTheBufferToTheCurrentPage()
{
    QTabWidget tabs;
    auto *all = new SinkPage(1 << 30);
    auto *plain = new QWidget;
    auto *two = new SinkPage(2);
    tabs.addTab(all, QStringLiteral("all"));
    tabs.addTab(plain, QStringLiteral("plain"));
    tabs.addTab(two, QStringLiteral("two"));
    StreamRouter router(&tabs);

    router.receive("abc");
    QCOMPARE(all->seen, QByteArray("abc"));
    QVERIFY(router.buffer().isEmpty());

    // A page that does not read the stream leaves the bytes for the next one.
    tabs.setCurrentWidget(plain);
    router.receive("def");
    QCOMPARE(router.buffer(), QByteArray("def"));

    // By the page, wherever it stands; a delivery without bytes still hands
    // the buffer over.
    tabs.tabBar()->moveTab(2, 0);
    tabs.setCurrentIndex(0);
    router.receive(QByteArray());
    QCOMPARE(two->calls, 1);
    QCOMPARE(two->seen, QByteArray("def"));
    QCOMPARE(router.buffer(), QByteArray("f"));
    QCOMPARE(all->calls, 1);
    QCOMPARE(router.droppedBytes(), 0);
}

void TestStreamRouter::keepsTheNewestBytes()
{
    constexpr qsizetype limit = StreamRouter::kBufferLimit;
    QTabWidget tabs;
    auto *none = new SinkPage(0);
    tabs.addTab(none, QStringLiteral("none"));
    StreamRouter router(&tabs);

    QByteArray stream(limit + limit / 2 + 7, Qt::Uninitialized);
    for (qsizetype i = 0; i < stream.size(); ++i)
        stream[i] = char(i % 251);
    router.receive(stream.left(limit - 10));
    QCOMPARE(router.droppedBytes(), 0);
    router.receive(stream.mid(limit - 10, 30));
    QCOMPARE(router.droppedBytes(), 20);
    // The tab sees the buffer already bounded.
    QCOMPARE(none->seen.size(), limit);
    router.receive(stream.mid(limit + 20));
    QCOMPARE(router.buffer(), stream.right(limit));
    QCOMPARE(router.droppedBytes(), stream.size() - limit);
}

QTEST_MAIN(TestStreamRouter)
#include "tst_streamrouter.moc"

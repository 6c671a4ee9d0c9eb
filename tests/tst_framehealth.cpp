#include "framehealth.h"
#include "framehealthlabel.h"
#include "mainwindow.h"
#include "serialpanel.h"
#include "testsupport.h"

#include <QLabel>
#include <QPushButton>
#include <QSerialPort>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

using Kind = FrameHealth::Kind;

static FrameCounts totals(qint64 frames, qint64 garbage, qint64 resyncs, qint64 skipped,
                          qint64 misplaced, qint64 overflow)
{
    FrameCounts c;
    c.frames = frames;
    c.garbageBytes = garbage;
    c.resyncs = resyncs;
    c.skipped = skipped;
    c.misplaced = misplaced;
    c.overflowBytes = overflow;
    return c;
}

// The status bar's frame-health figures: the counts since a reset, the rate
// and their texts; then the label in the window, over a socat pair.
class TestFrameHealth : public QObject
{
    Q_OBJECT

private slots:
    void countsSinceTheReset_data();
    void countsSinceTheReset();
    void rateOverTheLastSecond();
    void compactFigures_data();
    void compactFigures();
    void labelFollowsTheTabAndTheCounters();
};

void TestFrameHealth::countsSinceTheReset_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("zero");
    QTest::addColumn<QString>("text");
    QTest::newRow("scope") << int(Kind::Scope)
                           << QStringLiteral("帧 0 · 丢弃 0 B · 重同步 0 · 0 帧/s")
                           << QStringLiteral("帧 1234 · 丢弃 12 B · 重同步 3 · 0 帧/s");
    QTest::newRow("line") << int(Kind::Line)
                          << QStringLiteral("行 0 · 跳过 0 · 错位 0 · 溢出 0 B · 0 行/s")
                          << QStringLiteral("行 1234 · 跳过 4 · 错位 5 · 溢出 10.2 KB · 0 行/s");
    QTest::newRow("picture") << int(Kind::Picture)
                             << QStringLiteral("帧 0 · 跳过 0 · 错位 0 · 溢出 0 B · 0 帧/s")
                             << QStringLiteral("帧 1234 · 跳过 4 · 错位 5 · 溢出 10.2 KB · 0 帧/s");
}

void TestFrameHealth::countsSinceTheReset()
{
    // What ran before the reset counts no more, and each figure keeps its
    // place. No time passes, so there is no rate.
    QFETCH(int, kind);
    QFETCH(QString, zero);
    QFETCH(QString, text);
    FrameHealth health { Kind(kind) };
    health.update(totals(50, 60, 70, 80, 90, 100), 100);
    health.reset(totals(100, 200, 300, 400, 500, 600), 200);
    QCOMPARE(health.text(), zero);
    health.update(totals(1334, 212, 303, 404, 505, 10850), 200);
    QCOMPARE(health.text(), text);
    QVERIFY(health.toolTip().contains(QStringLiteral("1234")));
    QVERIFY(health.toolTip().contains(kind == int(Kind::Scope) ? QStringLiteral("12 B")
                                                               : QStringLiteral("10250 B")));
}

void TestFrameHealth::rateOverTheLastSecond()
{
    FrameHealth health(Kind::Line);
    health.reset(FrameCounts(), 1000);
    qint64 frames = 0;
    // 50 lines a second, read every 250 ms: the first quarter already tells.
    for (qint64 ms = 1250; ms <= 4000; ms += 250) {
        frames += 12 + (ms % 500 == 0);
        health.update(totals(frames, 0, 0, 0, 0, 0), ms);
        QVERIFY2(qAbs(health.framesPerSecond() - 50) <= 2,
                 qPrintable(QString::number(health.framesPerSecond())));
    }
    // Faster for a moment: within a second the rate is the new one.
    for (qint64 ms = 4250; ms <= 5250; ms += 250) {
        frames += 100;
        health.update(totals(frames, 0, 0, 0, 0, 0), ms);
    }
    QCOMPARE(health.framesPerSecond(), 400);
    // Reads that come late or early still give the rate per second.
    frames += 300;
    health.update(totals(frames, 0, 0, 0, 0, 0), 6000);
    QCOMPARE(health.framesPerSecond(), 400);
    // Then nothing comes: a second later the rate is nought.
    health.update(totals(frames, 0, 0, 0, 0, 0), 6600);
    QVERIFY(health.framesPerSecond() > 0);
    health.update(totals(frames, 0, 0, 0, 0, 0), 7000);
    QCOMPARE(health.framesPerSecond(), 0);
    QCOMPARE(health.counts().frames, frames);
}

void TestFrameHealth::compactFigures_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("bytes");
    QTest::newRow("0") << qint64(0) << QStringLiteral("0") << QStringLiteral("0 B");
    QTest::newRow("9999") << qint64(9999) << QStringLiteral("9999") << QStringLiteral("9999 B");
    QTest::newRow("10000") << qint64(10000) << QStringLiteral("10000") << QStringLiteral("10.0 KB");
    QTest::newRow("99999") << qint64(99999) << QStringLiteral("99999") << QStringLiteral("99.9 KB");
    QTest::newRow("100000") << qint64(100000) << QStringLiteral("10.0万")
                            << QStringLiteral("100 KB");
    QTest::newRow("999999") << qint64(999999) << QStringLiteral("99.9万")
                            << QStringLiteral("999 KB");
    QTest::newRow("1234567") << qint64(1234567) << QStringLiteral("123万")
                             << QStringLiteral("1234 KB");
    QTest::newRow("9999999") << qint64(9999999) << QStringLiteral("999万")
                             << QStringLiteral("9999 KB");
    QTest::newRow("10000000") << qint64(10000000) << QStringLiteral("1000万")
                              << QStringLiteral("10.0 MB");
    QTest::newRow("99999999") << qint64(99999999) << QStringLiteral("9999万")
                              << QStringLiteral("99.9 MB");
    QTest::newRow("123456789") << qint64(123456789) << QStringLiteral("1.2亿")
                               << QStringLiteral("123 MB");
    QTest::newRow("12e9") << qint64(12345678901) << QStringLiteral("123亿")
                          << QStringLiteral("12.3 GB");
}

void TestFrameHealth::compactFigures()
{
    // Cut, never rounded up: a figure shows no more than has come.
    QFETCH(qint64, value);
    QFETCH(QString, count);
    QFETCH(QString, bytes);
    QCOMPARE(FrameHealth::countText(value), count);
    QCOMPARE(FrameHealth::byteText(value), bytes);
}

void TestFrameHealth::labelFollowsTheTabAndTheCounters()
{
    SKIP_WITHOUT_SOCAT();
    VirtualSerialPair pair;
    QVERIFY(pair.start());
    QSerialPort board(pair.second());
    QVERIFY(board.open(QIODevice::ReadWrite));
    const auto boardWrite = [&board](const QByteArray &bytes) {
        board.write(bytes);
        QTRY_COMPARE_WITH_TIMEOUT(board.bytesToWrite(), 0, 10000);
    };

    MainWindow window;
    window.resize(1000, 550);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QStatusBar *bar = window.statusBar();
    auto *label = bar->findChild<QLabel *>("frameHealthLabel");
    QVERIFY(label);
    auto *counters = bar->findChild<QToolButton *>("trafficCounters");
    // The terminal's figure is the bytes, which 接收 shows already.
    QVERIFY(label->isHidden());

    // On every tab the widest figures fit, and so does the whole bar; the
    // figures stand left of the byte counters.
    window.setCurrentTab(1);
    QVERIFY(label->isVisible());
    QVERIFY(label->geometry().right() < counters->geometry().left());
    QVERIFY(label->width() <= FrameHealthLabel::kMaxWidth);
    for (const QString &text : FrameHealth::widestTexts())
        QVERIFY2(label->fontMetrics().horizontalAdvance(text) <= label->contentsRect().width(),
                 qPrintable(text));
    for (QWidget *part : bar->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (part->isVisible())
            QVERIFY2(bar->rect().contains(part->geometry()), qPrintable(part->objectName()));
    }
    QCOMPARE(label->text(), QStringLiteral("帧 0 · 丢弃 0 B · 重同步 0 · 0 帧/s"));

    // Three bytes of garbage, two frames, a stray byte, a frame.
    window.serialPanel()->setPortEntry(pair.first());
    QTest::mouseClick(window.findChild<QPushButton *>("openPort"), Qt::LeftButton);
    QVERIFY(window.connection()->isOpen());
    const QByteArray frame = QByteArray::fromHex("FFFF0102030405060708AA");
    boardWrite(QByteArray::fromHex("010203") + frame + frame + QByteArray::fromHex("55") + frame);
    QTRY_VERIFY_WITH_TIMEOUT(
            label->text().startsWith(QStringLiteral("帧 3 · 丢弃 4 B · 重同步 2 · ")), 5000);
    QVERIFY(label->toolTip().contains(QStringLiteral("重同步 2：")));

    // A click on the byte counters zeroes the figures too.
    QTest::mouseClick(counters, Qt::LeftButton);
    QCOMPARE(label->text(), QStringLiteral("帧 0 · 丢弃 0 B · 重同步 0 · 0 帧/s"));

    // The linear CCD's figures: a line cut short, then a whole one.
    window.setCurrentTab(2);
    QCOMPARE(label->text(), QStringLiteral("行 0 · 跳过 0 · 错位 0 · 溢出 0 B · 0 行/s"));
    boardWrite(QByteArray(50, 'a') + char(0xFF) + QByteArray(128, 'b') + char(0xFF));
    QTRY_VERIFY_WITH_TIMEOUT(
            label->text().startsWith(QStringLiteral("行 1 · 跳过 0 · 错位 1 · 溢出 0 B · ")), 5000);
    // The camera's: a whole picture of the default 120 x 40, then more than
    // the receive buffer holds without an end byte.
    window.setCurrentTab(3);
    boardWrite(QByteArray(120 * 40, 'c') + char(0xFF));
    QTRY_VERIFY_WITH_TIMEOUT(
            label->text().startsWith(QStringLiteral("帧 1 · 跳过 0 · 错位 0 · 溢出 0 B · ")), 5000);
    boardWrite(QByteArray(StreamRouter::kBufferLimit + 100, 'd'));
    QTRY_VERIFY_WITH_TIMEOUT(
            label->text().startsWith(QStringLiteral("帧 1 · 跳过 0 · 错位 0 · 溢出 100 B · ")),
            10000);
    window.setCurrentTab(0);
    QVERIFY(label->isHidden());
    // The scope saw none of it.
    window.setCurrentTab(1);
    QCOMPARE(label->text(), QStringLiteral("帧 0 · 丢弃 0 B · 重同步 0 · 0 帧/s"));

    // Opening the port again starts from zero.
    QTest::mouseClick(window.findChild<QPushButton *>("openPort"), Qt::LeftButton);
    QVERIFY(!window.connection()->isOpen());
    window.setCurrentTab(2);
    QVERIFY(label->text().startsWith(QStringLiteral("行 1 · ")));
    QTest::mouseClick(window.findChild<QPushButton *>("openPort"), Qt::LeftButton);
    QVERIFY(window.connection()->isOpen());
    QCOMPARE(label->text(), QStringLiteral("行 0 · 跳过 0 · 错位 0 · 溢出 0 B · 0 行/s"));
}

QTEST_MAIN(TestFrameHealth)
#include "tst_framehealth.moc"

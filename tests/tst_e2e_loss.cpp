#include "ccd.h"
#include "comassistant.h"
#include "linearccd.h"
#include "mainwindow.h"
#include "oscilloscope.h"
#include "serialpanel.h"
#include "testsupport.h"
#include "tst_boardsim_support.h"

#include <QAbstractButton>
#include <QRegularExpression>
#include <QTest>

// Every tab fed by the simulated board well above a board's usual rate:
// everything the board sends arrives and is accounted for, by bytes and
// frames counted, whatever the speed of the machine.
class TestE2ELoss : public QObject
{
    Q_OBJECT

private slots:
    void everythingSentArrives_data();
    void everythingSentArrives();
};

void TestE2ELoss::everythingSentArrives_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<qint64>("units");

    // About a megabyte each, at about 0.5 MB/s.
    QTest::newRow("terminal") << 0 << QStringList { "text", "--rate", "10000" } << qint64(20000);
    QTest::newRow("scope") << 1 << QStringList { "scope", "--rate", "50000" } << qint64(100000);
    QTest::newRow("ccd") << 2 << QStringList { "ccd", "--rate", "5000" } << qint64(8000);
    QTest::newRow("camera") << 3 << QStringList { "camera", "--rate", "100" } << qint64(200);
}

void TestE2ELoss::everythingSentArrives()
{
    SKIP_WITHOUT_PTYS();
    QFETCH(int, tab);
    QFETCH(QStringList, arguments);
    QFETCH(qint64, units);
    arguments << "--seed"
              << "3"
              << "--count" << QString::number(units);

    BoardSim sim;
    QVERIFY(sim.start(arguments));
    DialogDriver dialogs;
    MainWindow window;
    window.setCurrentTab(tab);
    window.terminal()->setHexDisplay(true);
    QVERIFY(window.ccd()->setPictureSize(QSize(120, 40)));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.serialPanel()->setPortEntry(sim.path());
    window.serialPanel()->openChosenPort();
    QVERIFY(window.connection()->isOpen());

    // The board's own count of what it sent, then all of it in the window.
    const QRegularExpression sentNotice(QStringLiteral("sent (\\d+) \\S+ \\((\\d+) bytes\\)"));
    QString notices;
    QRegularExpressionMatch sent;
    QTRY_VERIFY_WITH_TIMEOUT(
            (sent = sentNotice.match(notices += sim.process().readAllStandardError())).hasMatch(),
            120000);
    QCOMPARE(sent.captured(1).toLongLong(), units);
    const qint64 bytes = sent.captured(2).toLongLong();
    QTRY_COMPARE_WITH_TIMEOUT(window.connection()->receivedBytes(), bytes, 60000);
    QVERIFY(window.recvBuffer().isEmpty());

    switch (tab) {
    case 0: {
        QTemporaryDir dir;
        const QString path = dir.filePath("saved.bin");
        dialogs.fileAnswers << path;
        window.terminal()->findChild<QAbstractButton *>("SaveDataGettedBnt")->click();
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QByteArray expected;
        for (const QByteArray &unit : simUnits(arguments, units))
            expected += unit;
        QCOMPARE(saved.size(), bytes);
        QVERIFY(saved.readAll() == expected);
        break;
    }
    case 1:
        QCOMPARE(window.oscilloscope()->frameStats().frames, units);
        QCOMPARE(window.oscilloscope()->frameStats().garbageBytes, 0);
        break;
    default: {
        const FrameStats &stats
                = tab == 2 ? window.linearCCD()->frameStats() : window.ccd()->frameStats();
        QVERIFY(stats.taken > 0);
        QCOMPARE(stats.taken + stats.skipped, units);
        QCOMPARE(stats.misplaced, 0);
    }
    }

    window.connection()->close();
    QVERIFY(sim.finishedCleanly());
    QVERIFY(dialogs.boxes.isEmpty());
}

QTEST_MAIN(TestE2ELoss)
#include "tst_e2e_loss.moc"

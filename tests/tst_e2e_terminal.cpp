#include "mainwindow.h"
#include "simoptions.h"
#include "testsupport.h"
#include "tst_boardsim_support.h"
#include "unitsource.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPort>
#include <QTest>

// The terminal tab fed by the simulated board: the program opens the
// simulator's virtual port by its path and shows what the board printed.
class TestE2ETerminal : public QObject
{
    Q_OBJECT

private slots:
    void showsTheBoardsDebugPrint();
};

void TestE2ETerminal::showsTheBoardsDebugPrint()
{
    SKIP_WITHOUT_PTYS();
    const QStringList arguments
            = { QStringLiteral("text"),   QStringLiteral("--seed"), QStringLiteral("11"),
                QStringLiteral("--rate"), QStringLiteral("50"),     QStringLiteral("--count"),
                QStringLiteral("6") };
    SimOptions options;
    QString error;
    QCOMPARE(parseSimArguments(QStringList { QStringLiteral("sim") } + arguments, true, options,
                               error),
             ParseOutcome::Run);
    QByteArray sent;
    createUnitSource(options, error)->generate(sent, 6);

    BoardSim sim;
    QVERIFY(sim.start(arguments));

    DialogDriver dialogs;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QLineEdit *portEdit = window.findChild<QComboBox *>("comList")->lineEdit();
    portEdit->clear();
    QTest::keyClicks(portEdit, sim.path());
    QTest::mouseClick(window.findChild<QRadioButton *>("GettedTextBnt"), Qt::LeftButton);
    QTest::mouseClick(window.findChild<QPushButton *>("openPort"), Qt::LeftButton);
    QVERIFY(window.findChild<QSerialPort *>());

    auto *display = window.findChild<QPlainTextEdit *>("DataGetted");
    QTRY_COMPARE_WITH_TIMEOUT(display->toPlainText(), QString::fromLocal8Bit(sent), 10000);
    QVERIFY(display->toPlainText().contains(QStringLiteral("速度:")));

    // Closing the port ends the simulator's run.
    QTest::mouseClick(window.findChild<QPushButton *>("openPort"), Qt::LeftButton);
    QVERIFY(sim.finishedCleanly());
    QVERIFY(dialogs.boxes.isEmpty());
}

QTEST_MAIN(TestE2ETerminal)
#include "tst_e2e_terminal.moc"

#include "mainwindow.h"
#include "paramcontrolview.h"
#include "paramseteditor.h"
#include "serialconnection.h"
#include "settingsgroup.h"
#include "testsupport.h"
#include "tuningdock.h"
#include "tuningpanel.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSerialPort>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

ParamSet sampleSet(bool onRelease = false)
{
    QFile file(QStringLiteral(SAMPLE_PARAMS));
    file.open(QIODevice::ReadOnly);
    ParamSet set = *ParamSet::fromJson(file.readAll(), nullptr);
    // kp as whole numbers from 0 to 1000, so that every step sends another line.
    set.controls[0].maximum = 1000;
    set.controls[0].step = 1;
    set.controls[0].decimals = 0;
    set.controls[0].value = 0;
    set.controls[0].onRelease = onRelease;
    return set;
}

} // namespace

// The tuning panel in the window, and what it sends at a virtual port's far end.
class TestTuning : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void hiddenAtFirstAndNeverCutsTheTabs();
    void controlsNamedAndTippedAndRemembered();
    void badImportLeavesThePanelAsItWas();
    void editorRefusesWhatCannotBeSent();
    void withoutPortSaysSoOnceWithoutBoxes();
    void draggingSendsAtMostEveryIntervalAndTheEnd();
    void onReleaseSendsOnlyTheEnd();
    void replayBlocksSendingAndShortcutsSend();
    void repeatedCommandEndsWithThePort();

private:
    bool openPort();
    // Lines the board receives until one equals last, counted.
    QList<QByteArray> boardLinesUntil(const QByteArray &last);
    TuningPanel *panel() const { return m_window->tuningDock()->panel(); }
    QSlider *kp() const { return panel()->controlViews().at(0)->slider(); }

    VirtualSerialPair *m_pair = nullptr;
    QSerialPort *m_board = nullptr;
    MainWindow *m_window = nullptr;
    DialogDriver *m_dialogs = nullptr;
};

void TestTuning::init()
{
    m_window = new MainWindow;
    m_window->show();
    m_window->tuningDock()->panel()->setParamSet(sampleSet());
    m_dialogs = new DialogDriver;
}

void TestTuning::cleanup()
{
    delete m_dialogs;
    delete m_window;
    delete m_board;
    delete m_pair;
    m_dialogs = nullptr;
    m_window = nullptr;
    m_board = nullptr;
    m_pair = nullptr;
}

bool TestTuning::openPort()
{
    if (!VirtualSerialPair::isAvailable())
        return false;
    m_pair = new VirtualSerialPair;
    m_board = new QSerialPort(m_pair->second());
    return m_pair->start() && m_board->open(QIODevice::ReadWrite)
            && m_window->connection()->open(m_pair->first(),
                                            lineSettingsFor(QStringLiteral("115200"), 0, 0, 0));
}

QList<QByteArray> TestTuning::boardLinesUntil(const QByteArray &last)
{
    QList<QByteArray> lines;
    // Bounded by count: the lines are on their way already.
    for (int wait = 0; wait < 500 && (lines.isEmpty() || lines.last() != last); ++wait) {
        // The window's port writes from the event loop, as does the board's read.
        QTest::qWait(20);
        while (m_board->canReadLine())
            lines.append(m_board->readLine().trimmed());
    }
    return lines;
}

void TestTuning::hiddenAtFirstAndNeverCutsTheTabs()
{
    TuningDock *dock = m_window->tuningDock();
    m_window->resize(m_window->minimumSize());
    QTRY_COMPARE(m_window->size(), QSize(1000, 550));
    const QSize tabs = m_window->findChild<QTabWidget *>("tabWidget")->size();
    QVERIFY(dock->isHidden());
    QVERIFY(m_window->statusBar()->isAncestorOf(dock->toggleButton()));

    dock->toggleButton()->click();
    QVERIFY(dock->isVisible() && dock->isFloating());
    QCOMPARE(m_window->size(), QSize(1000, 550));
    // Docked, the window grows by the panel instead of narrowing the tabs.
    dock->setFloating(false);
    QTRY_VERIFY(m_window->width() >= 1000 + dock->width());
    QTRY_VERIFY(m_window->findChild<QTabWidget *>("tabWidget")->width() >= tabs.width());
    QCOMPARE(m_window->minimumSize(), QSize(1000, 550));
    dock->toggleButton()->click();
    QVERIFY(dock->isHidden());
}

void TestTuning::controlsNamedAndTippedAndRemembered()
{
    const QList<ParamControlView *> views = panel()->controlViews();
    QCOMPARE(views.size(), 6);
    for (ParamControlView *view : views) {
        QCOMPARE(view->input()->accessibleName(), view->control().name);
        QCOMPARE(view->input()->toolTip(), view->control().commandText());
    }
    QCOMPARE(views.at(4)->input()->toolTip(), QStringLiteral("motor=1\\n\nmotor=0\\n"));
    QVERIFY(panel()->commandButtons().at(0)->toolTip().startsWith(QStringLiteral("reset\\n\n")));

    // The value moved to is remembered with the set; a set for this run is not.
    kp()->setValue(420);
    TuningDock *dock = m_window->tuningDock();
    dock->show();
    SettingsGroup saved;
    dock->saveSettings(saved);
    TuningDock other(*m_window->connection(), m_window);
    other.restoreSettings(SettingsGroup(saved.values()));
    QVERIFY(other.isVisible());
    QCOMPARE(other.panel()->paramSet().controls.at(0).value, 420.0);
    other.setParamSetForThisRun(ParamSet());
    SettingsGroup runOnly;
    other.saveSettings(runOnly);
    QVERIFY(!runOnly.values().contains(QStringLiteral("set")));
}

void TestTuning::badImportLeavesThePanelAsItWas()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"format": "smartcar-params", "version": 1, "controls": [
        {"type": "button", "name": "go", "command": "go\n"},
        {"type": "slider", "name": "kp", "mode": "hex", "max": 1000, "command": "{u8}"}]})");
    file.close();
    const ParamSet before = panel()->paramSet();
    QVERIFY(!panel()->importFile(path));
    QCOMPARE(panel()->paramSet(), before);
    QCOMPARE(panel()->controlViews().size(), 6);
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QVERIFY2(m_dialogs->boxes.at(0).text.contains(QStringLiteral("{u8}")),
             qPrintable(m_dialogs->boxes.at(0).text));

    QVERIFY(panel()->exportFile(path));
    panel()->setParamSet(ParamSet());
    QVERIFY(panel()->importFile(path));
    QCOMPARE(panel()->paramSet(), before);
}

void TestTuning::editorRefusesWhatCannotBeSent()
{
    ParamSetEditor editor(panel()->paramSet());
    auto *command = editor.findChild<QLineEdit *>("commandEdit");
    auto *ok = editor.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
    editor.findChild<QListWidget *>("controlList")->setCurrentRow(5); // start, a hex button
    QCOMPARE(command->text(), QStringLiteral("A5 01 {sum8}"));
    QTest::keyClicks(command, QStringLiteral(" {u8}"));
    QVERIFY(editor.problem().contains(QStringLiteral("{u8}")));
    QVERIFY(!ok->isEnabled());
    // The last valid text typed on the way stays: the space.
    QCOMPARE(editor.paramSet().controls.at(5).command, QStringLiteral("A5 01 {sum8} "));
    command->clear();
    QTest::keyClicks(command, QStringLiteral("A5 02 {xor8}"));
    QVERIFY(editor.problem().isEmpty() && ok->isEnabled());
    QCOMPARE(editor.paramSet().controls.at(5).command, QStringLiteral("A5 02 {xor8}"));

    // Added, moved to the top, and a name taken twice is refused.
    editor.findChild<QPushButton *>("addControl")->click();
    for (int n = 0; n < 6; ++n)
        editor.findChild<QPushButton *>("upControl")->click();
    QCOMPARE(editor.paramSet().controls.size(), 7);
    QCOMPARE(editor.paramSet().controls.at(0).name, QStringLiteral("p7"));
    editor.findChild<QLineEdit *>("nameEdit")->selectAll();
    QTest::keyClicks(editor.findChild<QLineEdit *>("nameEdit"), QStringLiteral("kd"));
    QVERIFY(!ok->isEnabled());
    editor.findChild<QPushButton *>("removeControl")->click();
    QCOMPARE(editor.paramSet().controls.size(), 6);
    QVERIFY(ok->isEnabled());
}

void TestTuning::withoutPortSaysSoOnceWithoutBoxes()
{
    kp()->setSliderDown(true);
    for (int value = 1; value <= 50; ++value)
        kp()->setValue(value);
    kp()->setSliderDown(false);
    QCOMPARE(m_window->statusBar()->currentMessage(),
             QStringLiteral("串口未打开，调参面板的命令没有发送"));
    m_window->statusBar()->clearMessage();
    panel()->commandButtons().at(0)->click();
    QTest::qWait(2 * SendThrottle::kIntervalMs);
    QVERIFY(m_window->statusBar()->currentMessage().isEmpty());
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestTuning::draggingSendsAtMostEveryIntervalAndTheEnd()
{
    SKIP_WITHOUT_SOCAT();
    QVERIFY(openPort());
    QElapsedTimer drag;
    drag.start();
    kp()->setSliderDown(true);
    for (int value = 1; value <= 300; ++value)
        kp()->setValue(value);
    const qint64 dragMs = drag.elapsed();
    kp()->setSliderDown(false);
    const QList<QByteArray> lines = boardLinesUntil("kp=300");
    QVERIFY2(!lines.isEmpty() && lines.last() == "kp=300", lines.join(' ').constData());
    // The first step at once, then at most one for each interval the drag
    // took, and the end: however fast or slow the machine dragged.
    QCOMPARE(lines.first(), QByteArray("kp=1"));
    QVERIFY2(lines.size() <= 2 + dragMs / SendThrottle::kIntervalMs,
             qPrintable(QStringLiteral("%1 lines in %2 ms").arg(lines.size()).arg(dragMs)));
    QTRY_COMPARE(m_window->connection()->sentBytes(), qint64(lines.join('\n').size() + 1));
}

void TestTuning::onReleaseSendsOnlyTheEnd()
{
    SKIP_WITHOUT_SOCAT();
    panel()->setParamSet(sampleSet(true));
    QVERIFY(openPort());
    kp()->setSliderDown(true);
    for (int value = 1; value <= 100; ++value)
        kp()->setValue(value);
    kp()->setSliderDown(false);
    QCOMPARE(boardLinesUntil("kp=100"), QList<QByteArray> { "kp=100" });
}

void TestTuning::replayBlocksSendingAndShortcutsSend()
{
    SKIP_WITHOUT_SOCAT();
    QVERIFY(openPort());
    m_window->tuningDock()->show();
    panel()->setReplaying(true);
    static_cast<QAbstractButton *>(panel()->controlViews().at(5)->input())->click();
    kp()->setValue(7);
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("回放时调参面板不发送"));
    panel()->setReplaying(false);
    // Ctrl+1 from the window reaches the quick command: the first bytes the
    // board sees are its own.
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QTest::keyClick(m_window, Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(boardLinesUntil("reset"), QList<QByteArray> { "reset" });
    QCOMPARE(m_window->connection()->sentBytes(), 6);
}

void TestTuning::repeatedCommandEndsWithThePort()
{
    SKIP_WITHOUT_SOCAT();
    ParamSet set = sampleSet();
    set.commands[0].periodMs = 10;
    panel()->setParamSet(set);
    QVERIFY(openPort());
    QAbstractButton *reset = panel()->commandButtons().at(0);
    reset->click();
    QVERIFY(reset->isChecked());
    QList<QByteArray> lines;
    for (int wait = 0; wait < 500 && lines.size() < 3; ++wait)
        lines += boardLinesUntil("reset");
    QVERIFY(lines.size() >= 3);
    m_window->connection()->close();
    QVERIFY(!reset->isChecked());
    // Pressed with no port, it says so and does not stay pressed.
    reset->click();
    QVERIFY(!reset->isChecked());
}

QTEST_MAIN(TestTuning)
#include "tst_tuning.moc"

#include "mainwindow.h"
#include "oscilloscope.h"
#include "oscilloscopewave.h"
#include "testsupport.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTabWidget>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

QByteArray frame(quint16 ch1, quint16 ch2, quint16 ch3, quint16 ch4)
{
    QByteArray bytes("\xFF\xFF", 2);
    for (const quint16 sample : { ch1, ch2, ch3, ch4 })
        bytes.append(char(sample >> 8)).append(char(sample & 0xFF));
    return bytes.append('\0');
}

QImage shot(QWidget *widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QAction *menuAction(QWidget *view, const QString &textStart)
{
    for (QAction *action : view->actions()) {
        if (action->text().startsWith(textStart))
            return action;
    }
    qFatal("no menu entry %s", qPrintable(textStart));
}

void moveMouse(QWidget *widget, int x, int y)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(x, y), widget->mapToGlobal(QPointF(x, y)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A screen with CH1 on at 1 V per division, as the tab sets it up, showing samples.
std::unique_ptr<OscilloscopeWave> referenceScreen(const QWidget *like,
                                                  const QList<double> (&stores)[4])
{
    auto wave = std::make_unique<OscilloscopeWave>(nullptr);
    wave->resize(like->size());
    wave->setFont(like->font());
    wave->setCurCh(0);
    wave->setYScaleIndex(5);
    for (int ch = 0; ch < 4; ++ch) {
        for (double value : stores[ch])
            wave->addData(ch, value);
    }
    return wave;
}

} // namespace

// What the oscilloscope screen keeps and shares: pause, the mouse read-out,
// and the samples and the screen saved as files.
class TestScopeExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void pauseFreezesTheScreenWhileFramesArrive();
    void sampleAtColumnMatchesTheDrawing();
    void cursorReadsTheTracesAtTheMouse();
    void savesTheSamplesShown();
    void savesTheScreen();
    void reportsFailedSaves();

private:
    Oscilloscope *m_scope = nullptr;
    OscilloscopeWave *m_wave = nullptr;
    std::unique_ptr<DialogDriver> m_dialogs;
    QTemporaryDir m_dir;
};

void TestScopeExport::init()
{
    m_dialogs = std::make_unique<DialogDriver>();
    m_scope = new Oscilloscope(nullptr);
    m_scope->show();
    m_wave = m_scope->findChild<OscilloscopeWave *>();
    QVERIFY(m_wave);
}

void TestScopeExport::cleanup()
{
    delete m_scope;
    m_dialogs.reset();
}

void TestScopeExport::pauseFreezesTheScreenWhileFramesArrive()
{
    SKIP_WITHOUT_SOCAT();
    VirtualSerialPair pair;
    QVERIFY2(pair.start(), "socat did not make a port pair");
    QSerialPort board(pair.second());
    QVERIFY(board.open(QIODevice::ReadWrite));

    MainWindow window;
    window.show();
    window.findChild<QComboBox *>("comList")->setEditText(pair.first());
    QTest::mouseClick(window.findChild<QPushButton *>("openPort"), Qt::LeftButton);
    QVERIFY(window.findChild<QSerialPort *>());
    window.findChild<QTabWidget *>("tabWidget")->setCurrentIndex(1);
    auto *wave = window.findChild<OscilloscopeWave *>();

    const auto send = [&](int first, int count) {
        QByteArray stream;
        for (int i = first; i < first + count; ++i)
            stream += frame(quint16(32768 + 20000 * std::sin(i / 40.0)), 0, 0, 0);
        board.write(stream);
        QVERIFY(board.waitForBytesWritten(5000));
    };
    send(0, 1500);
    QTRY_COMPARE_WITH_TIMEOUT(wave->samples(0).size(), 1500, 10000);

    // The space bar pauses the screen under the mouse's click.
    QTest::mouseClick(wave, Qt::LeftButton);
    QTest::keyClick(wave, Qt::Key_Space);
    QVERIFY(wave->isPaused());
    QVERIFY(menuAction(wave, QStringLiteral("暂停"))->isChecked());
    const QImage paused = shot(wave);

    // Decoded and stored meanwhile, but not shown.
    send(1500, 700);
    QTRY_COMPARE_WITH_TIMEOUT(wave->samples(0).size(), 2200, 10000);
    QTest::qWait(250); // two repaints of the timer
    QCOMPARE(shot(wave), paused);
    QCOMPARE(wave->shownSamples(0).size(), 1500);

    // Resumed from the menu, the screen shows the newest samples.
    menuAction(wave, QStringLiteral("暂停"))->trigger();
    QVERIFY(!wave->isPaused());
    QList<double> stores[4];
    for (int ch = 0; ch < 4; ++ch)
        stores[ch] = wave->samples(ch);
    const auto reference = referenceScreen(wave, stores);
    QCOMPARE(shot(wave), shot(reference.get()));
    QVERIFY(shot(wave) != paused);

    // Paused again, clearing empties the screen as well.
    QTest::keyClick(wave, Qt::Key_Space);
    QTest::mouseClick(window.findChild<QPushButton *>("pushButton_clear"), Qt::LeftButton);
    QVERIFY(wave->shownSamples(0).isEmpty());
    QTest::keyClick(wave, Qt::Key_Space);
    QVERIFY(!wave->isPaused());
}

void TestScopeExport::sampleAtColumnMatchesTheDrawing()
{
    struct Case
    {
        qsizetype count;
        double samplesPerDiv;
        int gridWidth;
    };
    const Case cases[] = { { 11, 1, 500 },         { 5, 1, 500 },        { 5001, 500, 740 },
                           { 200001, 20000, 740 }, { 1234, 20000, 497 }, { 21, 2, 3 } };
    for (const Case &c : cases) {
        const double screenSamples = 10 * c.samplesPerDiv;
        std::vector<int> columns;
        for (qsizetype i = 0; i < c.count; ++i)
            columns.push_back(int(i / screenSamples * c.gridWidth));
        qsizetype expected = -1;
        for (int column = -2; column <= c.gridWidth + 2; ++column) {
            while (expected + 1 < c.count && columns[size_t(expected + 1)] <= column)
                ++expected;
            const qsizetype want = (column < 0 || column > columns.back()) ? -1 : expected;
            QCOMPARE(
                    OscilloscopeWave::sampleAtColumn(column, c.count, c.samplesPerDiv, c.gridWidth),
                    want);
        }
    }
    QCOMPARE(OscilloscopeWave::sampleAtColumn(0, 0, 500, 740), -1);
}

void TestScopeExport::cursorReadsTheTracesAtTheMouse()
{
    OscilloscopeWave wave(nullptr);
    wave.resize(520, 440); // a grid of 500 x 400
    wave.show();
    wave.setXScaleIndex(13); // 1 sample per division: sample i at column 50 i
    wave.setCurCh(0);
    wave.setYScaleIndex(5);
    wave.setCurCh(2);
    wave.setYScaleIndex(8);
    for (int i = 0; i < 11; ++i) {
        wave.addData(0, i * 0.1);
        wave.addData(1, 7.0); // off: not read out
        wave.addData(2, -i * 0.025);
    }

    QVERIFY(wave.cursorLines().isEmpty());
    moveMouse(&wave, 10 + 75, 200);
    QCOMPARE(wave.cursorLines(),
             QStringList({ QStringLiteral("样点 -9"), QStringLiteral("CH1 0.100V"),
                           QStringLiteral("CH3 -0.025V") }));
    moveMouse(&wave, 10 + 500, 20);
    QCOMPARE(wave.cursorLines(),
             QStringList({ QStringLiteral("样点 0"), QStringLiteral("CH1 1.000V"),
                           QStringLiteral("CH3 -0.250V") }));
    // Left of the grid, and after the mouse has left.
    moveMouse(&wave, 5, 20);
    QVERIFY(wave.cursorLines().isEmpty());
    moveMouse(&wave, 10 + 250, 20);
    QCOMPARE(wave.cursorLines().value(0), QStringLiteral("样点 -5"));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&wave, &leave);
    QVERIFY(wave.cursorLines().isEmpty());

    // Right of the newest sample of a screen that is not full yet.
    wave.clearData();
    for (int i = 0; i < 5; ++i)
        wave.addData(0, 1.0);
    moveMouse(&wave, 10 + 200, 20);
    QCOMPARE(wave.cursorLines().value(0), QStringLiteral("样点 0"));
    moveMouse(&wave, 10 + 201, 20);
    QVERIFY(wave.cursorLines().isEmpty());

    // The read-out is drawn over the screen, and left out of the saved picture.
    moveMouse(&wave, 10 + 100, 20);
    QVERIFY(shot(&wave) != wave.screenImage().convertToFormat(QImage::Format_RGB32));
}

void TestScopeExport::savesTheSamplesShown()
{
    // Stores of different lengths, as after samples added channel by channel.
    for (int i = 0; i < 300; ++i)
        m_wave->addData(0, i / 7.0);
    for (int i = 0; i < 120; ++i)
        m_wave->addData(2, -i / 3.0);
    // Paused, the file holds what the screen shows, not what arrived since.
    QTest::keyClick(m_wave, Qt::Key_Space);
    for (int i = 0; i < 50; ++i)
        m_wave->addData(0, 99.0);

    const QString path = m_dir.filePath(QStringLiteral("samples.csv"));
    m_dialogs->fileAnswers << path;
    menuAction(m_wave, QStringLiteral("保存数据"))->trigger();
    QVERIFY(m_dialogs->boxes.isEmpty());
    QCOMPARE(m_dialogs->fileFilters, QStringList { QStringLiteral("CSV文件(*.csv)") });
    QVERIFY2(QRegularExpression(QStringLiteral("^scope_\\d{8}-\\d{6}\\.csv$"))
                     .match(m_dialogs->offeredNames.value(0))
                     .hasMatch(),
             qPrintable(m_dialogs->offeredNames.value(0)));

    QList<QByteArray> lines = readFile(path).split('\n');
    QCOMPARE(lines.takeLast(), QByteArray());
    QCOMPARE(lines.takeFirst(), QByteArray("sample,CH1,CH2,CH3,CH4"));
    QCOMPARE(lines.size(), 300);
    for (int row = 0; row < 300; ++row) {
        const QList<QByteArray> fields = lines[row].split(',');
        QCOMPARE(fields.size(), 5);
        QCOMPARE(fields[0].toInt(), row - 299);
        QCOMPARE(fields[1].toDouble(), m_wave->shownSamples(0).at(row));
        QVERIFY(fields[2].isEmpty());
        if (row < 180)
            QVERIFY(fields[3].isEmpty());
        else
            QCOMPARE(fields[3].toDouble(), m_wave->samples(2).at(row - 180));
        QVERIFY(fields[4].isEmpty());
    }
    QCOMPARE(lines.last(),
             QByteArray("0,") + QByteArray::number(299 / 7.0, 'g', 17) + ",,"
                     + QByteArray::number(-119 / 3.0, 'g', 17) + ",");
}

void TestScopeExport::savesTheScreen()
{
    for (int i = 0; i < 5001; ++i)
        m_wave->addData(0, 3 * std::sin(i / 300.0));
    const QString path = m_dir.filePath(QStringLiteral("screen.png"));
    m_dialogs->fileAnswers << path;
    menuAction(m_wave, QStringLiteral("保存图像"))->trigger();
    QVERIFY(m_dialogs->boxes.isEmpty());
    QCOMPARE(m_dialogs->fileFilters, QStringList { QStringLiteral("PNG图像(*.png)") });
    QVERIFY(m_dialogs->offeredNames.value(0).endsWith(QStringLiteral(".png")));

    QImage saved;
    QVERIFY(saved.load(path, "PNG"));
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), shot(m_wave));
}

void TestScopeExport::reportsFailedSaves()
{
    for (int i = 0; i < 20000; ++i)
        m_wave->addData(i % 4, i);

    const QString folder = unwritableFolder(m_dir.path());
    if (folder.isEmpty())
        QSKIP("no folder that refuses new files");
    const QString refused = QDir(folder).filePath(QStringLiteral("samples.csv"));
    m_dialogs->fileAnswers << refused;
    menuAction(m_wave, QStringLiteral("保存数据"))->trigger();
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes[0].title, QStringLiteral("错误"));
    QCOMPARE(m_dialogs->boxes[0].icon, QMessageBox::Critical);
    QCOMPARE(m_dialogs->boxes[0].text,
             QStringLiteral("无法打开文件") + refused + QStringLiteral("，是否被其他程序占用？"));
    QVERIFY(!QFile::exists(refused));

    // The disk fills up partway.
    const QStringList before = QDir(m_dir.path()).entryList(QDir::Files);
    const QString cut = m_dir.filePath(QStringLiteral("cut.csv"));
    m_dialogs->fileAnswers << cut << m_dir.filePath(QStringLiteral("cut.png"));
    {
        FileSizeLimit limit(2000);
        if (!limit.isActive())
            QSKIP("needs a file size limit");
        menuAction(m_wave, QStringLiteral("保存数据"))->trigger();
        menuAction(m_wave, QStringLiteral("保存图像"))->trigger();
    }
    QCOMPARE(m_dialogs->boxes.size(), 3);
    QCOMPARE(m_dialogs->boxes[1].text, QStringLiteral("写入文件") + cut + QStringLiteral("失败！"));
    QCOMPARE(m_dialogs->boxes[2].text,
             QStringLiteral("写入文件") + m_dir.filePath("cut.png") + QStringLiteral("失败！"));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), before);
}

QTEST_MAIN(TestScopeExport)
#include "tst_scope_export.moc"

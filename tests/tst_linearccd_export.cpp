#include "greyview.h"
#include "linearccd.h"
#include "testsupport.h"
#include "waveview.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A line that differs from one number to the next, grey levels 0..254.
QByteArray line(int number)
{
    QByteArray pixels(128, '\0');
    for (int i = 0; i < 128; ++i)
        pixels[i] = char((i * 2 + number * 37) % 255);
    return pixels;
}

QByteArray values(const QByteArray &pixels)
{
    QByteArray csv;
    for (char pixel : pixels)
        csv += ',' + QByteArray::number(quint8(pixel));
    return csv;
}

} // namespace

// Saving what the linear CCD tab shows, and recording the lines as they come.
class TestLinearCCDExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void savesTheLine();
    void savesThePlotAndStrips();
    void recordsEveryNewLine();
    void recordingStopsAtAWriteError();
    void recordingThatCannotStart();

private:
    QAction *action(const QString &textStart)
    {
        for (QAction *action : m_tab->findChild<WaveView *>()->actions()) {
            if (action->text() == textStart)
                return action;
        }
        qFatal("no menu entry %s", qPrintable(textStart));
    }
    void feed(const QByteArray &bytes)
    {
        QByteArray buffer = bytes;
        m_tab->handleData(buffer);
    }
    QString countText() const
    {
        return m_tab->findChild<QLabel *>(QStringLiteral("label_recordCount"))->text();
    }

    std::unique_ptr<DialogDriver> m_dialogs;
    std::unique_ptr<LinearCCD> m_tab;
    QTemporaryDir m_dir;
};

void TestLinearCCDExport::init()
{
    m_dialogs = std::make_unique<DialogDriver>();
    m_tab = std::make_unique<LinearCCD>(nullptr);
    m_tab->show();
}

void TestLinearCCDExport::cleanup()
{
    m_tab.reset();
    m_dialogs.reset();
}

void TestLinearCCDExport::savesTheLine()
{
    feed(line(1) + char(0xFF));
    const QString path = m_dir.filePath(QStringLiteral("line.csv"));
    m_dialogs->fileAnswers << path;
    // Every view offers the same menu.
    QCOMPARE(m_tab->findChild<QGroupBox *>("groupBox_3")->findChild<GreyView *>()->actions(),
             m_tab->findChild<WaveView *>()->actions());
    action(QStringLiteral("保存数据(CSV)"))->trigger();
    QVERIFY(m_dialogs->boxes.isEmpty());
    QCOMPARE(m_dialogs->fileFilters, QStringList { QStringLiteral("CSV文件(*.csv)") });
    QVERIFY(m_dialogs->offeredNames.value(0).startsWith(QStringLiteral("ccd-line_")));

    QList<QByteArray> rows = readFile(path).split('\n');
    QCOMPARE(rows.takeLast(), QByteArray());
    QCOMPARE(rows.takeFirst(), QByteArray("pixel,value"));
    QCOMPARE(rows.size(), 128);
    for (int i = 0; i < 128; ++i)
        QCOMPARE(rows[i], QByteArray::number(i) + values(line(1).mid(i, 1)));
}

void TestLinearCCDExport::savesThePlotAndStrips()
{
    m_tab->resize(900, 520);
    feed(line(2) + char(0xFF));
    const QString path = m_dir.filePath(QStringLiteral("ccd.png"));
    m_dialogs->fileAnswers << path;
    action(QStringLiteral("保存图像(PNG)"))->trigger();
    QVERIFY(m_dialogs->boxes.isEmpty());

    QImage saved;
    QVERIFY(saved.load(path, "PNG"));
    const QRect area = m_tab->findChild<QGroupBox *>("groupBox_2")
                               ->geometry()
                               .united(m_tab->findChild<QGroupBox *>("groupBox_4")->geometry());
    QCOMPARE(saved.size(), area.size());
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32),
             m_tab->grab(area).toImage().convertToFormat(QImage::Format_RGB32));
}

void TestLinearCCDExport::recordsEveryNewLine()
{
    const QString path = m_dir.filePath(QStringLiteral("record.csv"));
    // A cancelled dialog leaves recording off.
    action(QStringLiteral("连续记录"))->trigger();
    QVERIFY(!action(QStringLiteral("连续记录"))->isChecked());

    m_dialogs->fileAnswers << path;
    auto *button = m_tab->findChild<QToolButton *>(QStringLiteral("toolButton_record"));
    QVERIFY(button);
    button->click();
    QVERIFY(action(QStringLiteral("连续记录"))->isChecked());
    QVERIFY(button->isChecked());
    QVERIFY(m_dialogs->offeredNames.value(1).startsWith(QStringLiteral("ccd-record_")));
    // At the foot of the left column, after its listed items.
    auto *column = m_tab->findChild<QVBoxLayout *>(QStringLiteral("verticalLayout_2"));
    QCOMPARE(column->count(), 6);
    QVERIFY(column->itemAt(3)->spacerItem());
    // The line length's notice, hidden while lines are 128 pixels long.
    QCOMPARE(column->itemAt(4)->widget()->objectName(), QStringLiteral("label_lengthNotice"));
    QVERIFY(column->itemAt(5)->layout()->indexOf(button) >= 0);
    const QDateTime start = QDateTime::currentDateTime().addMSecs(-1000);

    feed(line(1) + char(0xFF));
    // Two lines in one delivery: only the newer is shown, and recorded.
    feed(line(2) + char(0xFF) + line(3) + char(0xFF));
    // A mode change shows the same line again; it is not a new one.
    m_tab->findChild<QRadioButton *>("radioButton_fixedVal")->click();
    // An end byte that closes no line.
    feed(QByteArray(10, 'x') + char(0xFF) + QByteArray(200, 'y'));
    feed(line(4) + char(0xFF));
    QCOMPARE(countText(), QStringLiteral("3 行"));

    button->click();
    QVERIFY(!action(QStringLiteral("连续记录"))->isChecked());
    feed(line(5) + char(0xFF));

    QList<QByteArray> rows = readFile(path).split('\n');
    QCOMPARE(rows.takeLast(), QByteArray());
    QCOMPARE(rows.size(), 4);
    QVERIFY(rows[0].startsWith("time,0,1,2,"));
    const int recorded[] = { 1, 3, 4 };
    QDateTime previous = start;
    for (int r = 0; r < 3; ++r) {
        const QByteArray &row = rows[r + 1];
        const int comma = row.indexOf(',');
        const QDateTime time = QDateTime::fromString(QString::fromLatin1(row.left(comma)),
                                                     QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        QVERIFY2(time.isValid(), row.left(comma).constData());
        QVERIFY(time >= previous);
        QVERIFY(time <= QDateTime::currentDateTime());
        previous = time;
        QCOMPARE(row.mid(comma), values(line(recorded[r])));
    }
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestLinearCCDExport::recordingStopsAtAWriteError()
{
    const QString path = m_dir.filePath(QStringLiteral("full.csv"));
    m_dialogs->fileAnswers << path;
    action(QStringLiteral("连续记录"))->trigger();
    QVERIFY(action(QStringLiteral("连续记录"))->isChecked());
    {
        // Room for the header and a few lines only, as on a nearly full disk.
        FileSizeLimit limit(3000);
        if (!limit.isActive())
            QSKIP("needs a file size limit");
        for (int i = 0; i < 20; ++i)
            feed(line(i) + char(0xFF));
    }
    // One box for the whole run, and recording is off.
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes[0].title, QStringLiteral("错误"));
    QCOMPARE(m_dialogs->boxes[0].text,
             QStringLiteral("写入文件") + path + QStringLiteral("失败！"));
    QVERIFY(!action(QStringLiteral("连续记录"))->isChecked());

    // The file ends with the last whole line.
    const QByteArray csv = readFile(path);
    QVERIFY(csv.size() <= 3000);
    QVERIFY(csv.endsWith('\n'));
    QList<QByteArray> rows = csv.split('\n');
    rows.removeLast();
    QVERIFY(rows.size() > 1);
    for (int r = 1; r < rows.size(); ++r)
        QVERIFY(rows[r].endsWith(values(line(r - 1))));
    QCOMPARE(countText(), QStringLiteral("%1 行").arg(rows.size() - 1));
}

void TestLinearCCDExport::recordingThatCannotStart()
{
    const QString folder = unwritableFolder(m_dir.path());
    if (folder.isEmpty())
        QSKIP("no folder that refuses new files");
    const QString path = QDir(folder).filePath(QStringLiteral("record.csv"));
    m_dialogs->fileAnswers << path;
    action(QStringLiteral("连续记录"))->trigger();
    QVERIFY(!action(QStringLiteral("连续记录"))->isChecked());
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes[0].text,
             QStringLiteral("无法打开文件") + path + QStringLiteral("，是否被其他程序占用？"));
    feed(line(1) + char(0xFF));
    QCOMPARE(m_dialogs->boxes.size(), 1);
}

QTEST_MAIN(TestLinearCCDExport)
#include "tst_linearccd_export.moc"

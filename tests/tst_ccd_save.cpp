#include "ccd.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QSpinBox>
#include <QTest>
#include <QtEndian>

#include <memory>

namespace {

struct Tab
{
    Tab()
        : ccd(nullptr)
    { }

    void setSize(int width, int height)
    {
        ccd.findChild<QSpinBox *>(QStringLiteral("spinBoxWidth"))->setValue(width);
        ccd.findChild<QSpinBox *>(QStringLiteral("spinBoxHeight"))->setValue(height);
    }
    void deliver(const QByteArray &picture)
    {
        QByteArray buffer = picture + QByteArray(1, char(0xFF));
        ccd.handleData(buffer);
    }
    void click(const char *button)
    {
        ccd.findChild<QAbstractButton *>(QLatin1String(button))->click();
    }

    CCD ccd;
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

// Grey levels 0..254 in a pattern that differs from row to row and column to column.
QByteArray pattern(int width, int height)
{
    QByteArray bytes;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            bytes.append(char((x * 7 + y * 13) % 255));
    }
    return bytes;
}

quint32 le32(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

quint16 le16(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

// Checks a file byte by byte against the layout of an uncompressed 8-bit
// palette BMP of the given picture: file header, 40-byte info header, 256
// grey palette entries, rows bottom-up, each padded to a multiple of 4 bytes.
void verifyBmp(const QByteArray &bmp, int width, int height, const QByteArray &picture)
{
    const int stride = (width + 3) / 4 * 4;
    const int dataOffset = 14 + 40 + 256 * 4;
    QCOMPARE(bmp.size(), dataOffset + stride * height);

    QCOMPARE(bmp.left(2), QByteArray("BM"));
    QCOMPARE(le32(bmp, 2), quint32(bmp.size()));
    QCOMPARE(le32(bmp, 10), quint32(dataOffset));

    QCOMPARE(le32(bmp, 14), 40u); // info header size
    QCOMPARE(qint32(le32(bmp, 18)), width);
    QCOMPARE(qint32(le32(bmp, 22)), height); // positive: bottom-up rows
    QCOMPARE(le16(bmp, 26), quint16(1));     // planes
    QCOMPARE(le16(bmp, 28), quint16(8));     // bits per pixel
    QCOMPARE(le32(bmp, 30), 0u);             // no compression
    const quint32 colorsUsed = le32(bmp, 46);
    QVERIFY2(colorsUsed == 0 || colorsUsed == 256, qPrintable(QString::number(colorsUsed)));

    for (int i = 0; i < 256; ++i) {
        const QByteArray entry = bmp.mid(54 + 4 * i, 4); // blue, green, red, reserved
        QCOMPARE(entry, QByteArray(3, char(i)) + QByteArray(1, '\0'));
    }

    for (int y = 0; y < height; ++y) {
        const int row = dataOffset + (height - 1 - y) * stride;
        QCOMPARE(bmp.mid(row, width), picture.mid(y * width, width));
    }
}

} // namespace

class TestCCDSave : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void savesHexText();
    void savesHexTextOfFullPicture();
    void savesEmptyHexTextBeforeAnyPicture();
    void reportsUnopenableDataFile();
    void reportsFailedDataWrite();

    void savesBmp();
    void savesBmpWithPaddedRows();
    void savesBlankBmpBeforeAnyPicture();
    void reportsUnwritableBmp();
    void failedBmpKeepsEarlierFile();
    void cancelledDialogsWriteNothing();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<DialogDriver> m_driver;
};

void TestCCDSave::init()
{
    m_driver = std::make_unique<DialogDriver>();
}

void TestCCDSave::savesHexText()
{
    Tab tab;
    tab.setSize(17, 1);
    QByteArray picture;
    for (int i = 0; i < 17; ++i)
        picture.append(char(i * 15));
    tab.deliver(picture);

    const QString path = m_dir.filePath(QStringLiteral("seventeen.txt"));
    m_driver->fileAnswers << path;
    tab.click("pushButtonSaveData");
    QVERIFY(m_driver->boxes.isEmpty());
    QCOMPARE(m_driver->fileFilters, QStringList { QStringLiteral("文本文件(*.txt)") });
    QCOMPARE(readFile(path), QByteArray("00 0F 1E 2D 3C 4B 5A 69 78 87 96 A5 B4 C3 D2 E1\nF0 "));
    QCOMPARE(readFile(path).size(), 51);
}

void TestCCDSave::savesHexTextOfFullPicture()
{
    Tab tab;
    const QByteArray picture = pattern(120, 40);
    tab.deliver(picture);
    const QString path = m_dir.filePath(QStringLiteral("full.txt"));
    m_driver->fileAnswers << path;
    tab.click("pushButtonSaveData");

    const QByteArray text = readFile(path);
    QCOMPARE(text.size(), 3 * 120 * 40);
    const QList<QByteArray> lines = text.split('\n');
    QCOMPARE(lines.size(), 301); // 300 lines, each ending in a line feed
    QVERIFY(lines.last().isEmpty());
    for (int i = 0; i < 300; ++i)
        QCOMPARE(lines[i].size(), 47);
    QVERIFY(!text.contains('\r'));
    QCOMPARE(QByteArray::fromHex(text), picture);
}

void TestCCDSave::savesEmptyHexTextBeforeAnyPicture()
{
    Tab tab;
    const QString path = m_dir.filePath(QStringLiteral("empty.txt"));
    m_driver->fileAnswers << path;
    tab.click("pushButtonSaveData");
    QVERIFY(QFile::exists(path));
    QCOMPARE(readFile(path), QByteArray());
    QVERIFY(m_driver->boxes.isEmpty());
}

void TestCCDSave::reportsUnopenableDataFile()
{
    Tab tab;
    tab.setSize(4, 1);
    tab.deliver(QByteArray::fromHex("01020304"));
    const QString path = m_dir.filePath(QStringLiteral("no such folder/数据.txt"));
    m_driver->fileAnswers << path;
    tab.click("pushButtonSaveData");
    QCOMPARE(m_driver->boxes.size(), 1);
    const DialogDriver::Box box = m_driver->boxes[0];
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.title, QStringLiteral("错误"));
    QCOMPARE(box.text,
             QStringLiteral("无法打开文件") + path + QStringLiteral("，是否被其他程序占用？"));
    QVERIFY(box.hasParent);
}

void TestCCDSave::reportsFailedDataWrite()
{
    Tab tab;
    tab.setSize(4, 1);
    tab.deliver(QByteArray::fromHex("01020304"));
    const QString path = m_dir.filePath(QStringLiteral("cut.txt"));
    m_driver->fileAnswers << path;
    tab.click("pushButtonSaveData");
    QCOMPARE(readFile(path), QByteArray("01 02 03 04 "));
    const QStringList files = QDir(m_dir.path()).entryList(QDir::Files);

    tab.setSize(120, 40);
    tab.deliver(pattern(120, 40));
    m_driver->fileAnswers << path;
    {
        // The write stops partway, as on a full disk.
        FileSizeLimit limit(1000);
        if (!limit.isActive())
            QSKIP("needs a file size limit");
        tab.click("pushButtonSaveData");
    }

    // Reported, and the file saved before is still whole; nothing is left behind.
    QVERIFY(!m_driver->boxes.isEmpty());
    const DialogDriver::Box box = m_driver->boxes.last();
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.title, QStringLiteral("错误"));
    QCOMPARE(box.text, QStringLiteral("写入文件") + path + QStringLiteral("失败！"));
    QCOMPARE(readFile(path), QByteArray("01 02 03 04 "));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), files);
}

void TestCCDSave::savesBmp()
{
    Tab tab;
    const QByteArray picture = pattern(120, 40);
    tab.deliver(picture);
    const QString path = m_dir.filePath(QStringLiteral("图像.bmp"));
    m_driver->fileAnswers << path;
    tab.click("pushButtonSavePicture");
    QVERIFY(m_driver->boxes.isEmpty());
    QCOMPARE(m_driver->fileFilters, QStringList { QStringLiteral("位图(*.bmp)") });
    verifyBmp(readFile(path), 120, 40, picture);
}

void TestCCDSave::savesBmpWithPaddedRows()
{
    Tab tab;
    tab.setSize(5, 3);
    // Not zoomed or zoomed, the file has the picture's own size.
    tab.click("radioButtonNoZoom");
    const QByteArray picture = QByteArray::fromHex("0001020304"
                                                   "1011121314"
                                                   "2021222324");
    tab.deliver(picture);
    const QString path = m_dir.filePath(QStringLiteral("odd.bmp"));
    m_driver->fileAnswers << path;
    tab.click("pushButtonSavePicture");
    const QByteArray bmp = readFile(path);
    verifyBmp(bmp, 5, 3, picture);
    QCOMPARE(bmp.size(), 14 + 40 + 1024 + 3 * 8);

    // Only the received picture is saved, not its binarized copy.
    QImage back;
    QVERIFY(back.load(path));
    QCOMPARE(back.size(), QSize(5, 3));
    QCOMPARE(qGray(back.pixel(4, 2)), 0x24);
}

void TestCCDSave::savesBlankBmpBeforeAnyPicture()
{
    Tab tab;
    const QString path = m_dir.filePath(QStringLiteral("blank.bmp"));
    m_driver->fileAnswers << path;
    tab.click("pushButtonSavePicture");
    verifyBmp(readFile(path), 120, 40, QByteArray(120 * 40, char(60)));
}

void TestCCDSave::reportsUnwritableBmp()
{
    Tab tab;
    const QString path = m_dir.filePath(QStringLiteral("no such folder/pic.bmp"));
    m_driver->fileAnswers << path;
    tab.click("pushButtonSavePicture");
    QCOMPARE(m_driver->boxes.size(), 1);
    QCOMPARE(m_driver->boxes[0].icon, QMessageBox::Critical);
    QCOMPARE(m_driver->boxes[0].title, QStringLiteral("错误"));
    QCOMPARE(m_driver->boxes[0].text,
             QStringLiteral("无法打开文件") + path + QStringLiteral("，是否被其他程序占用？"));
}

void TestCCDSave::failedBmpKeepsEarlierFile()
{
    Tab tab;
    tab.setSize(5, 3);
    const QByteArray small = QByteArray::fromHex("000102030410111213142021222324");
    tab.deliver(small);
    const QString path = m_dir.filePath(QStringLiteral("kept.bmp"));
    m_driver->fileAnswers << path;
    tab.click("pushButtonSavePicture");
    QVERIFY(m_driver->boxes.isEmpty());
    const QByteArray before = readFile(path);
    verifyBmp(before, 5, 3, small);
    const QStringList files = QDir(m_dir.path()).entryList(QDir::Files);

    tab.setSize(120, 40);
    tab.deliver(pattern(120, 40));
    m_driver->fileAnswers << path;
    {
        FileSizeLimit limit(4000);
        if (!limit.isActive())
            QSKIP("needs a file size limit");
        tab.click("pushButtonSavePicture");
    }

    // Reported as a failed write, as the data file's is.
    QVERIFY(!m_driver->boxes.isEmpty());
    QCOMPARE(m_driver->boxes.last().title, QStringLiteral("错误"));
    QCOMPARE(m_driver->boxes.last().text,
             QStringLiteral("写入文件") + path + QStringLiteral("失败！"));
    QCOMPARE(readFile(path), before);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), files);
}

void TestCCDSave::cancelledDialogsWriteNothing()
{
    Tab tab;
    const QStringList before = QDir(m_dir.path()).entryList(QDir::AllEntries);
    tab.click("pushButtonSaveData");
    tab.click("pushButtonSavePicture");
    QCOMPARE(m_driver->fileFilters.size(), 2);
    QVERIFY(m_driver->boxes.isEmpty());
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries), before);
}

QTEST_MAIN(TestCCDSave)
#include "tst_ccd_save.moc"

#include "appendfile.h"
#include "csvformat.h"
#include "filesaving.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <limits>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

// The lines of a CSV file, each split at its commas.
QList<QList<QByteArray>> csvRows(const QByteArray &csv)
{
    QList<QList<QByteArray>> rows;
    QList<QByteArray> lines = csv.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (const QByteArray &line : lines)
        rows.append(line.split(','));
    return rows;
}

} // namespace

// The exported files' formats and how they are written, without any window.
class TestExportFiles : public QObject
{
    Q_OBJECT

private slots:
    void scopeCsvAlignsTheNewestSamples();
    void scopeCsvValuesReadBackExactly();
    void lineCsv();
    void recordRows();
    void wholeFileResults();
    void appendFileCutsOffAPartialRecord();
    void defaultNames();

private:
    QTemporaryDir m_dir;
};

void TestExportFiles::scopeCsvAlignsTheNewestSamples()
{
    QList<double> stores[4];
    QCOMPARE(scopeSamplesCsv(stores), QByteArray("sample,CH1,CH2,CH3,CH4\n"));

    stores[0] = { 1, 2, 3 };
    stores[1] = { 20 };
    stores[3] = { -0.5, 0.25 };
    QCOMPARE(scopeSamplesCsv(stores),
             QByteArray("sample,CH1,CH2,CH3,CH4\n"
                        "-2,1,,,\n"
                        "-1,2,,,-0.5\n"
                        "0,3,20,,0.25\n"));
}

void TestExportFiles::scopeCsvValuesReadBackExactly()
{
    // Voltages as the decoder makes them, and values that need every digit.
    QList<double> stores[4];
    for (int raw = 0; raw <= 65535; raw += 97) {
        stores[0].append(raw * 5.0 / 65535.0);
        stores[1].append(raw * 200.0 / 65535.0 - 100.0);
        stores[2].append(raw * 0.003 / 65535.0 - 0.001);
    }
    stores[3] = { 0.1, 1e-300, -std::numeric_limits<double>::max(),
                  std::numeric_limits<double>::denorm_min(), 2.5000381475547417 };

    const QList<QList<QByteArray>> rows = csvRows(scopeSamplesCsv(stores));
    const qsizetype count = stores[0].size();
    QCOMPARE(rows.size(), count + 1);
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QList<QByteArray> &row = rows[r];
        QCOMPARE(row.size(), 5);
        QCOMPARE(row[0].toLongLong(), r - count);
        for (int ch = 0; ch < 4; ++ch) {
            const qsizetype index = r - 1 - (count - stores[ch].size());
            if (index < 0) {
                QVERIFY(row[ch + 1].isEmpty());
                continue;
            }
            bool ok = false;
            const double value = row[ch + 1].toDouble(&ok);
            QVERIFY2(ok, row[ch + 1].constData());
            QCOMPARE(value, stores[ch].at(index));
        }
    }
}

void TestExportFiles::lineCsv()
{
    QByteArray line;
    for (int i = 0; i < 128; ++i)
        line.append(char(255 - 2 * i));
    const QList<QList<QByteArray>> rows = csvRows(linePixelsCsv(line));
    QCOMPARE(rows.size(), 129);
    QCOMPARE(rows[0], (QList<QByteArray> { "pixel", "value" }));
    for (int i = 0; i < 128; ++i)
        QCOMPARE(rows[i + 1],
                 (QList<QByteArray> { QByteArray::number(i), QByteArray::number(255 - 2 * i) }));
}

void TestExportFiles::recordRows()
{
    const QByteArray header = lineRecordHeader(128);
    QVERIFY(header.startsWith("time,0,1,2,"));
    QVERIFY(header.endsWith(",126,127\n"));

    const QDateTime time(QDate(2024, 3, 7), QTime(9, 5, 2, 7));
    QCOMPARE(lineRecordRow(time, QByteArray::fromHex("00ff80")),
             QByteArray("2024-03-07 09:05:02.007,0,255,128\n"));
    QCOMPARE(lineRecordRow(QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59, 999)), QByteArray()),
             QByteArray("2025-12-31 23:59:59.999\n"));
}

void TestExportFiles::wholeFileResults()
{
    const QString path = m_dir.filePath(QStringLiteral("whole.csv"));
    QCOMPARE(saveWholeFile(path, "first\n"), SaveResult::Saved);
    QCOMPARE(readFile(path), QByteArray("first\n"));

    QCOMPARE(saveWholeFile(m_dir.filePath(QStringLiteral("missing/x.csv")), "x"),
             SaveResult::OpenFailed);

    const QStringList files = QDir(m_dir.path()).entryList(QDir::Files);
    {
        FileSizeLimit limit(1000);
        if (!limit.isActive())
            QSKIP("needs a file size limit");
        QCOMPARE(saveWholeFile(path, QByteArray(5000, 'x')), SaveResult::WriteFailed);
    }
    // The earlier file stays, and nothing is left beside it.
    QCOMPARE(readFile(path), QByteArray("first\n"));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), files);
}

void TestExportFiles::appendFileCutsOffAPartialRecord()
{
    AppendFile file;
    QCOMPARE(file.open(m_dir.filePath(QStringLiteral("missing/r.csv")), "h\n"),
             SaveResult::OpenFailed);
    QVERIFY(!file.isOpen());

    const QString path = m_dir.filePath(QStringLiteral("record.csv"));
    QVERIFY(saveWholeFile(path, "old contents\n") == SaveResult::Saved);
    QCOMPARE(file.open(path, "header\n"), SaveResult::Saved);
    QCOMPARE(readFile(path), QByteArray("header\n"));
    const QByteArray record(100, 'r');
    {
        // 7 + 9 x 100 bytes fit, the tenth record only partly.
        FileSizeLimit limit(7 + 950);
        if (!limit.isActive())
            QSKIP("needs a file size limit");
        while (file.append(record)) { }
    }
    QCOMPARE(file.records(), 9);
    QVERIFY(!file.isOpen());
    QVERIFY(!file.append(record));
    QCOMPARE(readFile(path), QByteArray("header\n") + record.repeated(9));
}

void TestExportFiles::defaultNames()
{
    const QDateTime time(QDate(2024, 5, 1), QTime(14, 3, 7));
    QCOMPARE(timestampedFileName(QStringLiteral("scope"), QStringLiteral("csv"), time),
             QStringLiteral("scope_20240501-140307.csv"));
}

QTEST_MAIN(TestExportFiles)
#include "tst_exportfiles.moc"

#include "capturefile.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

// smartcar-capture run on small files: the CSV it writes against values
// worked out by hand, damage, and mistakes answered with one line.
class TestCaptureTool : public QObject
{
    Q_OBJECT

private slots:
    void csv_data();
    void csv();
    void damagedCaptureConvertsUpToTheDamage();
    void linesAndPictures();
    void mistakes_data();
    void mistakes();
    void fullDiskIsNoSuccess();

private:
    struct Run
    {
        int status;
        QByteArray out;
        QByteArray err;
    };
    Run run(const QStringList &arguments);
    QString write(const QString &name, const QByteArray &bytes);

    QTemporaryDir m_dir;
};

namespace {

QByteArray capture(const QList<QPair<quint64, QByteArray>> &records)
{
    QByteArray out = CaptureFormat::header();
    for (const auto &[micros, bytes] : records)
        CaptureFormat::appendRecord(out, micros, bytes);
    return out;
}

QByteArray justFloat(const QList<float> &values)
{
    QByteArray out;
    for (const float value : values) {
        char bytes[4];
        qToLittleEndian(value, bytes);
        out.append(bytes, 4);
    }
    return out + QByteArray("\x00\x00\x80\x7F", 4);
}

} // namespace

TestCaptureTool::Run TestCaptureTool::run(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(CAPTURE_PROGRAM), arguments);
    process.waitForFinished(30000);
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
             process.readAllStandardOutput(), process.readAllStandardError() };
}

QString TestCaptureTool::write(const QString &name, const QByteArray &bytes)
{
    QFile file(m_dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

void TestCaptureTool::csv_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("framing");
    QTest::addColumn<QByteArray>("expected");

    // A frame cut between records carries the time of the record that ends
    // it; tags, \r\n, exponents and nan; a garbage line is skipped; the count
    // of channels goes up, so the header has three and shorter frames leave
    // theirs empty.
    QTest::newRow("FireWater capture")
            << capture({ { 1500, "1,-2.5\r\nspeed:3e2," },
                         { 2000000, "4\nnot numbers\n5,nan,7\n1,2" } })
            << "auto"
            << QByteArray("time_s,CH1,CH2,CH3\n0.001500,1,-2.5,\n2.000000,300,4,\n"
                          "2.000000,5,,7\n");
    // Float32 values as the board sent them, the frame of two channels after
    // one of three; a frame of two bytes is garbage.
    QTest::newRow("JustFloat capture")
            << capture({ { 10,
                           justFloat({ 0.1f, -1.5f, 1e-3f })
                                   + QByteArray("\x01\x02\x00\x00\x80\x7F", 6) },
                         { 20, justFloat({ 2.f, 3.f }).left(5) },
                         { 30, justFloat({ 2.f, 3.f }).mid(5) } })
            << "justfloat"
            << QByteArray("time_s,CH1,CH2,CH3\n0.000010,0.1,-1.5,0.001\n0.000030,2,3,\n");
    // A raw file: no time column. The header line names the columns; labels
    // out of order still make one line.
    QTest::newRow("Plain raw") << QByteArray("left\tright\n1 2\nright:4, left:-3\n") << "plain"
                               << QByteArray("left,right\n1,2\n-3,4\n");
    // One line per value, with the board's time stamp where it gave one; XY
    // points are left out.
    QTest::newRow("Teleplot raw")
            << QByteArray(">speed:12.5§m/s\nlog text\n>pos:1:2|xy\n>err:100:-1;101:2\n")
            << "teleplot"
            << QByteArray("board_time_ms,name,value\n,speed,12.5\n100,err,-1\n101,err,2\n");
    QTest::newRow("scope raw") << QByteArray("\x01\xFF\xFF\x00\x00\xFF\xFF\x80\x00\x12\x34\x00", 12)
                               << "scope" << QByteArray("CH1,CH2,CH3,CH4\n0,65535,32768,4660\n");
}

void TestCaptureTool::csv()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, framing);
    QFETCH(QByteArray, expected);
    const Run result = run({ "csv", "--framing", framing, write("run", file) });
    QCOMPARE(result.out, expected);
    QCOMPARE(result.status, 0);
}

void TestCaptureTool::damagedCaptureConvertsUpToTheDamage()
{
    QByteArray file = capture({ { 1000, "1,2\n" }, { 2000, "3,4\n" } });
    const qsizetype damage = file.size();
    // A record cut short, as a crash leaves it.
    file += capture({ { 3000, "5,6\n" } }).mid(CaptureFormat::header().size()).left(14);
    const QString path = write("damaged.cap", file);

    Run result = run({ "csv", path });
    QCOMPARE(result.out, QByteArray("time_s,CH1,CH2\n0.001000,1,2\n0.002000,3,4\n"));
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains(QByteArray::number(damage)), result.err);

    result = run({ "info", path });
    QCOMPARE(result.status, 1);
    QVERIFY2(result.out.contains("records: 2\n"), result.out);
    QVERIFY2(result.out.contains("duration: 0.002000 s"), result.out);
    QVERIFY2(result.out.contains("damage: from byte " + QByteArray::number(damage)), result.out);
}

void TestCaptureTool::linesAndPictures()
{
    QByteArray line(128, 0);
    for (int pixel = 0; pixel < 128; ++pixel)
        line[pixel] = char(pixel * 2);
    // The tail of a lost line before the first end byte is skipped; a line
    // cut between records carries the later record's time.
    const QString path = write("ccd.cap",
                               capture({ { 5, "\x07\x07\xFF" + line.left(100) },
                                         { 7, line.mid(100) + "\xFF" + line + "\xFF" } }));
    Run result = run({ "lines", path });
    QCOMPARE(result.status, 0);
    const QList<QByteArray> rows = result.out.split('\n');
    QCOMPARE(rows.size(), 4);
    QVERIFY(rows[0].startsWith("time_s,0,1,2,"));
    QVERIFY(rows[0].endsWith(",127"));
    QVERIFY(rows[1].startsWith("0.000007,0,2,4,"));
    QVERIFY(rows[1].endsWith(",252,254"));
    QCOMPARE(rows[2], rows[1]);

    // The same bytes as pictures of 16 x 8 pixels.
    result = run({ "pictures", "--size", "16x8", path, m_dir.filePath("pictures") });
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out,
             QByteArray("file,time_s\npicture_000001.png,0.000007\npicture_000002.png,0.000007\n"));
    const QImage picture(m_dir.filePath("pictures/picture_000002.png"));
    QCOMPARE(picture.size(), QSize(16, 8));
    QCOMPARE(qGray(picture.pixel(15, 0)), 30);
    QCOMPARE(qGray(picture.pixel(15, 7)), 254);
}

void TestCaptureTool::mistakes_data()
{
    QTest::addColumn<QStringList>("arguments");
    const QString file = QStringLiteral(__FILE__);
    QTest::newRow("no command") << QStringList();
    QTest::newRow("unknown command") << QStringList { "plot", file };
    QTest::newRow("unknown framing") << QStringList { "csv", "--framing", "morse", file };
    QTest::newRow("option of another command") << QStringList { "lines", "--size", "8x8", file };
    QTest::newRow("no file") << QStringList { "csv" };
    QTest::newRow("missing file") << QStringList { "info", file + ".missing" };
    QTest::newRow("no size") << QStringList { "pictures", file, m_dir.path() };
    QTest::newRow("size too big") << QStringList { "pictures", "--size=321x8", file, m_dir.path() };
    QTest::newRow("capture of a later version")
            << QStringList { "csv", write("v9.cap", "SERIAL-CAPTURE 9\n") };
}

void TestCaptureTool::mistakes()
{
    QFETCH(QStringList, arguments);
    const Run result = run(arguments);
    QCOMPARE(result.status, 2);
    QVERIFY(result.out.isEmpty());
    QVERIFY2(result.err.startsWith("smartcar-capture: ") && result.err.count('\n') == 1,
             result.err);
}

void TestCaptureTool::fullDiskIsNoSuccess()
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full here");
    QProcess process;
    process.setStandardOutputFile(QStringLiteral("/dev/full"));
    process.start(QStringLiteral(CAPTURE_PROGRAM),
                  { "csv", write("full", QByteArray("1,2\n").repeated(1000)) });
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(process.readAllStandardError().contains("standard output"));
}

QTEST_GUILESS_MAIN(TestCaptureTool)
#include "tst_capturetool.moc"

#include "capturefile.h"
#include "captureplayer.h"
#include "recorder.h"
#include "testsupport.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

using Status = CaptureReader::Status;

QByteArray capture(const QList<CaptureRecord> &records)
{
    QByteArray file = CaptureFormat::header();
    for (const CaptureRecord &record : records)
        CaptureFormat::appendRecord(file, record.micros, record.bytes);
    return file;
}

const QList<CaptureRecord> kRecords = {
    { 0, QByteArray("\x00\xff\n", 3) },
    { 1500, QByteArray() },
    { 1500, QByteArray("same time") },
    { 4000000000ULL, QByteArray(70000, 'x') },
};

QByteArray readAllOf(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The capture format, its reader and summary, and the recorder and player
// that write and read it, without a window.
class TestCaptureFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip();
    void damagedFiles_data();
    void damagedFiles();
    void otherFiles();
    void recorderCutsFailedWriteToWholeRecords();
    void playerDeliversUpToDamage_data();
    void playerDeliversUpToDamage();
};

// The layout is the documented one, byte for byte, and reads back as written.
void TestCaptureFile::roundTrip()
{
    const QByteArray file = capture(kRecords);
    QVERIFY(file.startsWith("SERIAL-CAPTURE 1\n"));
    QCOMPARE(qFromLittleEndian<quint64>(file.constData() + 17 + 12 + 3 + 12), quint64(1500));
    QCOMPARE(qFromLittleEndian<quint32>(file.constData() + 17 + 8), quint32(3));

    QBuffer device;
    device.setData(file);
    device.open(QIODevice::ReadOnly);
    CaptureReader reader(&device);
    QCOMPARE(reader.open(), CaptureReader::Kind::Capture);
    CaptureRecord record;
    for (const CaptureRecord &expected : kRecords) {
        QCOMPARE(reader.next(record), Status::Record);
        QCOMPARE(record.micros, expected.micros);
        QCOMPARE(record.bytes, expected.bytes);
    }
    QCOMPARE(reader.next(record), Status::End);
    QCOMPARE(reader.position(), file.size());

    CaptureSummary summary;
    QCOMPARE(summarizeCapture(&device, summary), CaptureReader::Kind::Capture);
    QCOMPARE(summary.end, Status::End);
    QCOMPARE(summary.records, 4);
    QCOMPARE(summary.bytes, 3 + 9 + 70000);
    QCOMPARE(summary.durationMicros, 4000000000ULL);
    QCOMPARE(summary.usableEnd, file.size());
}

void TestCaptureFile::damagedFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("goodRecords");
    QTest::addColumn<Status>("status");

    const QByteArray whole = capture(kRecords.mid(0, 3));
    const qsizetype third = whole.size() - 12 - 9;
    QTest::newRow("cut in a record's header") << whole.left(third + 5) << 2 << Status::Truncated;
    QTest::newRow("cut in a record's bytes") << whole.chopped(1) << 2 << Status::Truncated;
    QTest::newRow("nothing after the header") << CaptureFormat::header() << 0 << Status::End;

    QByteArray back = whole;
    CaptureFormat::appendRecord(back, 1499, "late");
    QTest::newRow("time going back") << back << 3 << Status::Corrupt;
    QByteArray huge = whole;
    CaptureFormat::appendRecord(huge, 2000, "x");
    qToLittleEndian<quint32>(CaptureFormat::kMaxRecordSize + 1, huge.data() + whole.size() + 8);
    QTest::newRow("absurd length") << huge << 3 << Status::Corrupt;
}

// Damage ends the capture: the reader gives every record before it, and the
// summary says where the usable part ends.
void TestCaptureFile::damagedFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(int, goodRecords);
    QFETCH(Status, status);

    QBuffer device;
    device.setData(file);
    device.open(QIODevice::ReadOnly);
    CaptureSummary summary;
    QCOMPARE(summarizeCapture(&device, summary), CaptureReader::Kind::Capture);
    QCOMPARE(summary.end, status);
    QCOMPARE(summary.records, goodRecords);

    device.seek(0);
    CaptureReader reader(&device);
    reader.open();
    CaptureRecord record;
    for (int i = 0; i < goodRecords; ++i) {
        QCOMPARE(reader.next(record), Status::Record);
        QCOMPARE(record.bytes, kRecords[i].bytes);
    }
    QCOMPARE(reader.next(record), status);
    QCOMPARE(reader.next(record), status);
    QCOMPARE(reader.position(), summary.usableEnd);
}

// Anything without the whole header line is a raw file, read from its start;
// a header of another version is recognised but not read.
void TestCaptureFile::otherFiles()
{
    const QList<QByteArray> raws = { QByteArray(), "SERIAL-CAPT", "SERIAL-CAPTURE 1",
                                     "SERIAL-CAPTURE x\n", QByteArray("\x55\xaa\x01\x02", 4) };
    for (const QByteArray &bytes : raws) {
        QBuffer device;
        device.setData(bytes);
        device.open(QIODevice::ReadOnly);
        CaptureReader reader(&device);
        QCOMPARE(reader.open(), CaptureReader::Kind::Raw);
        QCOMPARE(device.pos(), 0);
    }
    QBuffer device;
    device.setData("SERIAL-CAPTURE 2\nwhatever");
    device.open(QIODevice::ReadOnly);
    CaptureReader reader(&device);
    QCOMPARE(reader.open(), CaptureReader::Kind::UnsupportedVersion);
    QCOMPARE(reader.version(), 2);
}

// A full disk ends the recording with failed(); the file keeps the header and
// the whole records that fit, and reads back without damage.
void TestCaptureFile::recorderCutsFailedWriteToWholeRecords()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.cap"));
    Recorder recorder;
    QSignalSpy failed(&recorder, &Recorder::failed);
    QCOMPARE(recorder.start(path, Recorder::Format::Capture), SaveResult::Saved);
    {
        FileSizeLimit limit(1000);
        if (!limit.isActive())
            QSKIP("needs a file size limit");
        for (int i = 0; i < 30; ++i)
            recorder.record(QByteArray(100, char('a' + i)));
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 5000);
    }
    QVERIFY(!recorder.isRecording());
    const QByteArray file = readAllOf(path);
    QCOMPARE(file.size(), 17 + 8 * 112);
    QBuffer device;
    device.setData(file);
    device.open(QIODevice::ReadOnly);
    CaptureSummary summary;
    summarizeCapture(&device, summary);
    QCOMPARE(summary.end, Status::End);
    QCOMPARE(summary.records, 8);
}

void TestCaptureFile::playerDeliversUpToDamage_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<qint64>("rawRate");
    QTest::addColumn<QByteArray>("delivered");
    QTest::addColumn<CapturePlayer::Outcome>("outcome");

    QByteArray payload;
    for (const CaptureRecord &record : kRecords.mid(0, 3))
        payload += record.bytes;
    const QByteArray whole = capture(kRecords.mid(0, 3));
    QTest::newRow("capture") << whole << qint64(0) << payload << CapturePlayer::Outcome::Finished;
    QTest::newRow("truncated capture")
            << whole.chopped(4) << qint64(0) << payload.left(3) << CapturePlayer::Outcome::Damaged;
    const QByteArray raw(300000, 'r');
    QTest::newRow("raw file, larger than one delivery")
            << raw << qint64(1000000) << raw << CapturePlayer::Outcome::Finished;
}

// The player hands over every usable byte, in order, and ends with what it
// found; one delivery never exceeds the bound.
void TestCaptureFile::playerDeliversUpToDamage()
{
    QFETCH(QByteArray, file);
    QFETCH(qint64, rawRate);
    QFETCH(QByteArray, delivered);
    QFETCH(CapturePlayer::Outcome, outcome);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("file"));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    out.close();

    CapturePlayer player;
    player.setSpeed(0);
    QByteArray got;
    qsizetype largest = 0;
    connect(&player, &ByteSource::bytesReceived, this, [&](const QByteArray &bytes) {
        got += bytes;
        largest = qMax(largest, bytes.size());
    });
    QSignalSpy finished(&player, &CapturePlayer::finished);
    QVERIFY(player.start(path, rawRate));
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    QCOMPARE(finished[0][0].value<CapturePlayer::Outcome>(), outcome);
    QCOMPARE(got, delivered);
    QVERIFY(largest <= CapturePlayer::kMaxDelivery);
    QCOMPARE(player.state(), CapturePlayer::State::Idle);
}

QTEST_GUILESS_MAIN(TestCaptureFile)
#include "tst_capturefile.moc"

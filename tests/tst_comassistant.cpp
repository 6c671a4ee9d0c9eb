#include "byteutils.h"
#include "comassistant.h"
#include "testsupport.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

// The terminal tab on its own: receive display, history, files and sending.
class TestComAssistant : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void hexLinesContinueAcrossDeliveries();
    void textKeepsBytesAfterZeroAndModeSwitchRerenders();
    void splitCharacterJoinsInTextMode();
    void clearingRestartsLines();
    void saveWritesRawBytes();
    void saveCancelledAndUnwritable();
    void failedSaveKeepsEarlierFile();
    void loadChoosesModeBySuffix();
    void loadRefusesHugeAndMissingFiles();
    void sendNeedsOpenPort();
    void sendOverRealPort();

private:
    QString received() const
    {
        return m_tab->findChild<QPlainTextEdit *>("DataGetted")->toPlainText();
    }
    QString editor() const { return m_tab->findChild<QPlainTextEdit *>("DataSend")->toPlainText(); }
    void click(const char *name)
    {
        QTest::mouseClick(m_tab->findChild<QAbstractButton *>(name), Qt::LeftButton);
    }
    bool checked(const char *name) const
    {
        return m_tab->findChild<QAbstractButton *>(name)->isChecked();
    }
    void deliver(const QByteArray &bytes)
    {
        QByteArray buffer = bytes;
        m_tab->handleData(buffer);
        QVERIFY(buffer.isEmpty());
    }

    QSerialPort *m_port = nullptr;
    ComAssistant *m_tab = nullptr;
    DialogDriver *m_dialogs = nullptr;
    QTemporaryDir m_dir;
};

void TestComAssistant::init()
{
    m_port = nullptr;
    m_tab = new ComAssistant(nullptr, &m_port);
    m_tab->show();
    m_dialogs = new DialogDriver;
}

void TestComAssistant::cleanup()
{
    delete m_dialogs;
    delete m_tab;
    delete m_port;
}

void TestComAssistant::hexLinesContinueAcrossDeliveries()
{
    QVERIFY(checked("GettedHexBnt"));
    QVERIFY(checked("SendTextBnt"));
    deliver(QByteArray::fromHex("00010203040506070809"));
    deliver(QByteArray::fromHex("0A0B0C0D0E0F10111213"));
    QCOMPARE(received(),
             QStringLiteral("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\n"
                            "10 11 12 13 "));

    // Re-rendering from the history gives the same lines.
    click("GettedHexBnt");
    QCOMPARE(received(),
             QStringLiteral("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\n"
                            "10 11 12 13 "));
}

void TestComAssistant::textKeepsBytesAfterZeroAndModeSwitchRerenders()
{
    click("GettedTextBnt");
    deliver(QByteArray("A\0B", 3));
    QCOMPARE(received(), QStringLiteral("AB"));
    deliver(QByteArray("C\0", 2));

    click("GettedHexBnt");
    QCOMPARE(received(), QStringLiteral("41 00 42 43 00 "));
    click("GettedTextBnt");
    QCOMPARE(received(), QStringLiteral("ABC"));

    // Line ends as boards send them all read as line feeds.
    deliver("\r\nx\ry\n");
    QCOMPARE(received(), QStringLiteral("ABC\nx\ny\n"));
    click("GettedTextBnt");
    QCOMPARE(received(), QStringLiteral("ABC\nx\ny\n"));
}

void TestComAssistant::splitCharacterJoinsInTextMode()
{
    click("GettedTextBnt");
    const QString sent = QStringLiteral("速度=12 转向=-3\n串口调试\n");
    const QByteArray bytes = sent.toLocal8Bit();
    // Cut the stream everywhere, also inside characters.
    QRandomGenerator rng(7);
    for (int pos = 0; pos < bytes.size();) {
        const int size = qMin(int(bytes.size()) - pos, 1 + int(rng.bounded(4)));
        deliver(bytes.mid(pos, size));
        pos += size;
    }
    QCOMPARE(received(), sent);

    // A character still incomplete at a mode switch is completed afterwards.
    const QByteArray tail = QStringLiteral("车").toLocal8Bit();
    deliver(tail.left(1));
    click("GettedHexBnt");
    click("GettedTextBnt");
    deliver(tail.mid(1));
    QCOMPARE(received(), sent + QStringLiteral("车"));
}

void TestComAssistant::clearingRestartsLines()
{
    deliver(QByteArray(5, '\x11'));
    click("CleanDataGettedBnt");
    QVERIFY(received().isEmpty());
    deliver(QByteArray(17, '\x22'));
    QVERIFY(received().startsWith(
            QStringLiteral("22 22 22 22 22 22 22 22 22 22 22 22 22 22 22 22\n")));

    // The history was emptied too: saving now writes only the later bytes.
    const QString path = m_dir.filePath("after-clear.bin");
    m_dialogs->fileAnswers << path;
    click("SaveDataGettedBnt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray(17, '\x22'));
}

void TestComAssistant::saveWritesRawBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 300; ++i)
        bytes.append(char(i));
    deliver(bytes.left(100));
    deliver(bytes.mid(100));

    const QString hexPath = m_dir.filePath("raw.bin");
    m_dialogs->fileAnswers << hexPath;
    click("SaveDataGettedBnt");
    QFile hexFile(hexPath);
    QVERIFY(hexFile.open(QIODevice::ReadOnly));
    QCOMPARE(hexFile.readAll(), bytes);

    click("GettedTextBnt");
    const QString textPath = m_dir.filePath("raw.txt");
    m_dialogs->fileAnswers << textPath;
    click("SaveDataGettedBnt");
    QFile textFile(textPath);
    QVERIFY(textFile.open(QIODevice::ReadOnly));
    QCOMPARE(textFile.readAll(), bytes);

    QCOMPARE(m_dialogs->fileFilters.size(), 2);
    QVERIFY(!m_dialogs->fileFilters.at(1).isEmpty());
    QVERIFY(m_dialogs->fileFilters.at(1).contains(QStringLiteral("文本文件(*.txt)")));
    QVERIFY(m_dialogs->boxes.isEmpty());

    // Saving over an existing file replaces it once the user agrees.
    m_dialogs->fileAnswers << hexPath;
    deliver("more");
    click("SaveDataGettedBnt");
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes.at(0).icon, QMessageBox::Warning);
    hexFile.close();
    QVERIFY(hexFile.open(QIODevice::ReadOnly));
    QCOMPARE(hexFile.readAll(), bytes + "more");
}

void TestComAssistant::saveCancelledAndUnwritable()
{
    deliver("abc");
    m_dialogs->fileAnswers << QString();
    click("SaveDataGettedBnt");
    QVERIFY(m_dialogs->boxes.isEmpty());

    // A directory that does not exist cannot take the file.
    const QString path = m_dir.filePath("missing/dir/out.bin");
    m_dialogs->fileAnswers << path;
    click("SaveDataGettedBnt");
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes.last().title, QStringLiteral("错误"));
    QCOMPARE(m_dialogs->boxes.last().text,
             QStringLiteral("无法打开文件") + path + QStringLiteral("，是否被其他程序占用？"));
    QVERIFY(!QFile::exists(path));
}

void TestComAssistant::failedSaveKeepsEarlierFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("log.bin");
    deliver("first session");
    m_dialogs->fileAnswers << path;
    click("SaveDataGettedBnt");
    QVERIFY(m_dialogs->boxes.isEmpty());

    deliver(QByteArray(64 * 1024, 'x'));
    m_dialogs->fileAnswers << path;
    {
        // The write stops partway, as on a full disk.
        FileSizeLimit limit(4096);
        if (!limit.isActive())
            QSKIP("needs a file size limit");
        click("SaveDataGettedBnt");
    }

    // Reported, and the file saved before is still whole; nothing is left behind.
    QVERIFY(!m_dialogs->boxes.isEmpty());
    QCOMPARE(m_dialogs->boxes.last().title, QStringLiteral("错误"));
    QCOMPARE(m_dialogs->boxes.last().icon, QMessageBox::Critical);
    QCOMPARE(m_dialogs->boxes.last().text,
             QStringLiteral("写入文件") + path + QStringLiteral("失败！"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("first session"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("log.bin") });
}

void TestComAssistant::loadChoosesModeBySuffix()
{
    const QByteArray content
            = QByteArray("line 1\n\0hidden?\n", 16) + QStringLiteral("中文").toLocal8Bit();
    auto write = [&](const QString &name) {
        QFile file(m_dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return file.fileName();
    };

    m_dialogs->fileAnswers << write("log.txt");
    click("OpenDataBnt");
    QVERIFY(checked("SendTextBnt"));
    QCOMPARE(editor(), QStringLiteral("line 1\nhidden?\n中文"));

    m_dialogs->fileAnswers << write("LOG.TXT");
    click("OpenDataBnt");
    QVERIFY(checked("SendHexBnt"));
    QString hex;
    for (int i = 0; i < content.size(); ++i)
        hex += QStringLiteral("%1").arg(uchar(content.at(i)), 2, 16, QLatin1Char('0')).toUpper()
                + (i % 16 == 15 ? QStringLiteral("\n") : QStringLiteral(" "));
    QCOMPARE(editor(), hex);

    m_dialogs->fileAnswers << write("frame.bin");
    click("OpenDataBnt");
    QVERIFY(checked("SendHexBnt"));
    QCOMPARE(editor(), hex);
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestComAssistant::loadRefusesHugeAndMissingFiles()
{
    auto *send = m_tab->findChild<QPlainTextEdit *>("DataSend");
    send->setPlainText(QStringLiteral("keep me"));

    QFile big(m_dir.filePath("big.bin"));
    QVERIFY(big.open(QIODevice::WriteOnly));
    QVERIFY(big.resize(1024 * 1024 + 1));
    big.close();
    m_dialogs->fileAnswers << big.fileName();
    click("OpenDataBnt");
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes.at(0).title, QStringLiteral("错误"));
    QCOMPARE(m_dialogs->boxes.at(0).icon, QMessageBox::Critical);
    QCOMPARE(editor(), QStringLiteral("keep me"));
    QVERIFY(checked("SendTextBnt"));

    // Exactly 1 MiB is still loaded.
    QVERIFY(big.resize(1024 * 1024));
    m_dialogs->fileAnswers << big.fileName();
    click("OpenDataBnt");
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(editor().size(), 3 * 1024 * 1024);

    // A file that cannot be read: one without read permission, or, for a
    // user who may read anything, a kernel setting that is write-only.
    QString unreadable = m_dir.filePath("locked.bin");
    QFile locked(unreadable);
    QVERIFY(locked.open(QIODevice::WriteOnly));
    locked.close();
    QVERIFY(locked.setPermissions(QFileDevice::WriteOwner));
    if (QFile(unreadable).open(QIODevice::ReadOnly))
        unreadable = QStringLiteral("/proc/sys/vm/drop_caches");
    if (!QFile::exists(unreadable) || QFile(unreadable).open(QIODevice::ReadOnly))
        QSKIP("no unreadable file available");
    send->setPlainText(QStringLiteral("keep me"));
    m_dialogs->fileAnswers << unreadable;
    click("OpenDataBnt");
    QCOMPARE(m_dialogs->boxes.size(), 2);
    QCOMPARE(m_dialogs->boxes.at(1).text,
             QStringLiteral("无法打开文件") + unreadable
                     + QStringLiteral("，是否被其他程序占用？"));
    QCOMPARE(editor(), QStringLiteral("keep me"));
}

void TestComAssistant::sendNeedsOpenPort()
{
    m_tab->findChild<QPlainTextEdit *>("DataSend")->setPlainText(QStringLiteral("hello"));
    click("SendBnt");
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes.at(0).title, QStringLiteral("提示"));
    QCOMPARE(m_dialogs->boxes.at(0).text, QStringLiteral("请先打开串口。"));
    QCOMPARE(m_dialogs->boxes.at(0).icon, QMessageBox::Information);

    // A port object that is not open counts as no port.
    m_port = new QSerialPort;
    click("SendBnt");
    QCOMPARE(m_dialogs->boxes.size(), 2);
    QCOMPARE(m_dialogs->boxes.at(1).text, QStringLiteral("请先打开串口。"));
}

void TestComAssistant::sendOverRealPort()
{
    SKIP_WITHOUT_SOCAT();
    VirtualSerialPair pair;
    QVERIFY2(pair.start(), "socat did not make a port pair");
    m_port = new QSerialPort(pair.first());
    QVERIFY(m_port->open(QIODevice::ReadWrite));
    QSerialPort board(pair.second());
    QVERIFY(board.open(QIODevice::ReadWrite));
    QByteArray arrived;
    connect(&board, &QSerialPort::readyRead, this, [&] { arrived += board.readAll(); });

    auto *send = m_tab->findChild<QPlainTextEdit *>("DataSend");
    auto sendText = [&](const QString &text) {
        send->setPlainText(text);
        click("SendBnt");
    };

    // Text in the local encoding, paragraphs joined by line feeds.
    sendText(QStringLiteral("speed 12\n速度"));
    const QByteArray text = QStringLiteral("speed 12\n速度").toLocal8Bit();
    QTRY_COMPARE_WITH_TIMEOUT(arrived, text, 5000);
    arrived.clear();

    click("SendHexBnt");
    sendText(QStringLiteral("FA 29 AA BB 3B"));
    QTRY_COMPARE_WITH_TIMEOUT(arrived, QByteArray::fromHex("FA29AABB3B"), 5000);
    arrived.clear();

    // Nothing to send: no bytes and no message.
    sendText(QStringLiteral("   \n"));
    sendText(QString());

    sendText(QStringLiteral("FA29"));
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes.at(0).title, QStringLiteral("错误"));
    QCOMPARE(m_dialogs->boxes.at(0).text,
             QStringLiteral(
                     "不是有效的十六进制表示格式！\n请使用0-9和A-F表示，并用空格隔开每个字节。\n"
                     "如： FA 29 AA BB 3B"));
    QCOMPARE(editor(), QStringLiteral("FA29"));

    // Exactly 4096 bytes go out whole, without a warning.
    QByteArray block(4096, Qt::Uninitialized);
    for (int i = 0; i < block.size(); ++i)
        block[i] = char(i * 31);
    QString hex;
    for (char b : block)
        hex += QString::number(uchar(b), 16) + QLatin1Char(' ');
    sendText(hex);
    QTRY_COMPARE_WITH_TIMEOUT(arrived.size(), 4096, 5000);
    QCOMPARE(arrived, block);
    QCOMPARE(m_dialogs->boxes.size(), 1);
    arrived.clear();

    // 5000 bytes: a warning, then the first 4096 bytes.
    click("SendTextBnt");
    QByteArray big(5000, 'x');
    big[0] = 'A';
    big[4095] = 'Z';
    sendText(QString::fromLatin1(big));
    QCOMPARE(m_dialogs->boxes.size(), 2);
    QCOMPARE(m_dialogs->boxes.at(1).title, QStringLiteral("警告"));
    QCOMPARE(m_dialogs->boxes.at(1).text,
             QStringLiteral("发送数据大于4096字节，多余部分不能发送！"));
    QTRY_COMPARE_WITH_TIMEOUT(arrived.size(), 4096, 5000);
    QTest::qWait(100);
    QCOMPARE(arrived, big.left(4096));
    QCOMPARE(editor().size(), 5000);

    // Nothing that was sent shows up in the receive display.
    QVERIFY(received().isEmpty());
}

QTEST_MAIN(TestComAssistant)
#include "tst_comassistant.moc"

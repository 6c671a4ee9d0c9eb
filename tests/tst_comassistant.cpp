#include "byteutils.h"
#include "comassistant.h"
#include "sendhistory.h"
#include "settingsgroup.h"
#include "testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QSpinBox>
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
    void lineEndingAppendedOncePerSend_data();
    void lineEndingAppendedOncePerSend();
    void repeatedSendFollowsThePort();
    void repeatedSendReportsDeadFarEndOnce();
    void sendHistoryRecall();
    void settingsRoundTrip();

private:
    // Opens m_port on one end of a new socat pair and the board on the other;
    // what reaches the board collects in m_arrived.
    bool connectBoard()
    {
        m_pair = new VirtualSerialPair;
        if (!m_pair->start())
            return false;
        m_port = new QSerialPort(m_pair->first());
        m_board = new QSerialPort(m_pair->second());
        connect(m_board, &QSerialPort::readyRead, this,
                [this] { m_arrived += m_board->readAll(); });
        return m_port->open(QIODevice::ReadWrite) && m_board->open(QIODevice::ReadWrite);
    }
    QPlainTextEdit *sendEditor() const { return m_tab->findChild<QPlainTextEdit *>("DataSend"); }
    QCheckBox *repeatBox() const { return m_tab->findChild<QCheckBox *>("repeatSendBox"); }
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
    // What the tab remembers between runs, as its widgets show it.
    static QStringList shownSettings(const ComAssistant &tab)
    {
        const auto box = [&](const char *name) {
            return QString::number(tab.findChild<QAbstractButton *>(name)->isChecked());
        };
        const auto *encoding = tab.findChild<QComboBox *>("EncodingList");
        return { box("GettedHexBnt"),
                 box("SendHexBnt"),
                 encoding->currentData().toString(),
                 box("TimestampBnt"),
                 QString::number(tab.findChild<QComboBox *>("lineEndingList")->currentIndex()),
                 tab.findChild<QSpinBox *>("repeatPeriodBox")->text(),
                 tab.sendHistory().join(u'|') };
    }

    QSerialPort *m_port = nullptr;
    ComAssistant *m_tab = nullptr;
    DialogDriver *m_dialogs = nullptr;
    QTemporaryDir m_dir;
    VirtualSerialPair *m_pair = nullptr;
    QSerialPort *m_board = nullptr;
    QByteArray m_arrived;
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
    delete m_board;
    delete m_pair;
    m_board = nullptr;
    m_pair = nullptr;
    m_arrived.clear();
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

void TestComAssistant::lineEndingAppendedOncePerSend_data()
{
    QTest::addColumn<int>("ending");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("warnings");

    const QString command = QStringLiteral("PID 1.5 速度");
    const QByteArray bytes = command.toLocal8Bit();
    QTest::newRow("none") << int(LineEnding::None) << false << command << bytes << 0;
    QTest::newRow("crlf") << int(LineEnding::CrLf) << false << command << bytes + "\r\n" << 0;
    QTest::newRow("lf") << int(LineEnding::Lf) << false << command << bytes + "\n" << 0;
    QTest::newRow("cr") << int(LineEnding::Cr) << false << command << bytes + "\r" << 0;
    // The editor's own line feeds stay as they are, with the ending after them.
    QTest::newRow("lines") << int(LineEnding::CrLf) << false << QStringLiteral("a\nb\n")
                           << QByteArray("a\nb\n\r\n") << 0;
    QTest::newRow("hex takes none") << int(LineEnding::CrLf) << true << QStringLiteral("FA 29 0D")
                                    << QByteArray("\xFA\x29\x0D") << 0;
    QTest::newRow("empty sends nothing")
            << int(LineEnding::Lf) << false << QString() << QByteArray() << 0;
    // The ending counts into the 4096 bytes of one send.
    QTest::newRow("4096 with the ending")
            << int(LineEnding::CrLf) << false << QString(4094, QLatin1Char('x'))
            << QByteArray(4094, 'x') + "\r\n"
            << 0;
    QTest::newRow("4097 with the ending")
            << int(LineEnding::CrLf) << false << QString(4095, QLatin1Char('x'))
            << QByteArray(4095, 'x') + "\r" << 1;
}

void TestComAssistant::lineEndingAppendedOncePerSend()
{
    QFETCH(int, ending);
    QFETCH(bool, hex);
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QFETCH(int, warnings);
    SKIP_WITHOUT_SOCAT();
    QVERIFY2(connectBoard(), "socat did not make a port pair");

    m_tab->setLineEnding(LineEnding(ending));
    m_tab->setHexSend(hex);
    sendEditor()->setPlainText(text);
    // Sent twice, the ending comes once after each, never piled up.
    click("SendBnt");
    click("SendBnt");
    const QByteArray twice = expected + expected;
    QTRY_COMPARE_WITH_TIMEOUT(m_arrived.size(), twice.size(), 5000);
    QTest::qWait(50);
    QCOMPARE(m_arrived, twice);
    QCOMPARE(editor(), text);
    QCOMPARE(m_dialogs->boxes.size(), warnings * 2);
}

void TestComAssistant::repeatedSendFollowsThePort()
{
    // Without a port: the hint once, and the box unticks.
    sendEditor()->setPlainText(QStringLiteral("ping"));
    repeatBox()->click();
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes.at(0).text, QStringLiteral("请先打开串口。"));
    QVERIFY(!repeatBox()->isChecked());

    SKIP_WITHOUT_SOCAT();
    QVERIFY2(connectBoard(), "socat did not make a port pair");
    m_tab->setLineEnding(LineEnding::Lf);
    m_tab->setRepeatPeriod(20);
    repeatBox()->click();
    QVERIFY(repeatBox()->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(m_arrived.size() >= 10 * 5, 5000);
    // Once the port closes, nothing more goes out and the box unticks.
    m_port->close();
    QVERIFY(!repeatBox()->isChecked());
    QTest::qWait(50);
    const QByteArray sent = m_arrived;
    QTest::qWait(200);
    QCOMPARE(m_arrived, sent);
    QCOMPARE(sent, QByteArray("ping\n").repeated(sent.size() / 5));
    QCOMPARE(m_dialogs->boxes.size(), 1);

    // Too much to send: the warning once, at the start, then 4096 bytes a time.
    QVERIFY(m_port->open(QIODevice::ReadWrite));
    m_arrived.clear();
    m_tab->setLineEnding(LineEnding::None);
    sendEditor()->setPlainText(QString(5000, QLatin1Char('y')));
    m_tab->setRepeatPeriod(10);
    repeatBox()->click();
    QTRY_VERIFY_WITH_TIMEOUT(m_arrived.size() >= 4 * 4096, 10000);
    repeatBox()->click();
    QVERIFY(!repeatBox()->isChecked());
    QCOMPARE(m_dialogs->boxes.size(), 2);
    QCOMPARE(m_dialogs->boxes.at(1).title, QStringLiteral("警告"));
    QTRY_COMPARE_WITH_TIMEOUT(m_arrived.size() % 4096, 0, 5000);

    // Text that turns out not to be hexadecimal stops it with one box.
    m_tab->setHexSend(true);
    sendEditor()->setPlainText(QStringLiteral("01 02"));
    repeatBox()->click();
    sendEditor()->setPlainText(QStringLiteral("0102"));
    QTRY_VERIFY_WITH_TIMEOUT(!repeatBox()->isChecked(), 5000);
    QTest::qWait(100);
    QCOMPARE(m_dialogs->boxes.size(), 3);
    QCOMPARE(m_dialogs->boxes.at(2).title, QStringLiteral("错误"));
}

void TestComAssistant::repeatedSendReportsDeadFarEndOnce()
{
    SKIP_WITHOUT_SOCAT();
    QVERIFY2(connectBoard(), "socat did not make a port pair");
    sendEditor()->setPlainText(QStringLiteral("go"));
    m_tab->setRepeatPeriod(10);
    repeatBox()->click();
    QTRY_VERIFY_WITH_TIMEOUT(m_arrived.size() >= 10, 5000);

    m_pair->stop();
    QTRY_VERIFY_WITH_TIMEOUT(!repeatBox()->isChecked(), 5000);
    QTest::qWait(300);
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes.at(0).text, QStringLiteral("数据发送失败！\n请检查串口连接。"));
}

void TestComAssistant::sendHistoryRecall()
{
    SKIP_WITHOUT_SOCAT();
    QVERIFY2(connectBoard(), "socat did not make a port pair");
    auto sendAs = [&](const QString &text, bool hex) {
        m_tab->setHexSend(hex);
        sendEditor()->setPlainText(text);
        click("SendBnt");
    };
    sendAs(QStringLiteral("a"), false);
    sendAs(QStringLiteral("b"), false);
    sendAs(QStringLiteral("a"), false);
    sendAs(QStringLiteral("FA 29"), true);
    sendAs(QStringLiteral("FA29"), true); // not sent, not kept
    sendAs(QStringLiteral("  "), false);  // blank, not kept
    QCOMPARE(m_tab->sendHistory(), QStringList({ "hex:FA 29", "text:a", "text:b" }));

    // Ctrl+Up walks back from what is being written, Ctrl+Down returns to it.
    m_tab->setHexSend(false);
    sendEditor()->setPlainText(QStringLiteral("draft"));
    sendEditor()->setFocus();
    auto key = [&](Qt::Key k) { QTest::keyClick(sendEditor(), k, Qt::ControlModifier); };
    key(Qt::Key_Up);
    QCOMPARE(editor(), QStringLiteral("FA 29"));
    QVERIFY(m_tab->hexSend());
    key(Qt::Key_Up);
    QCOMPARE(editor(), QStringLiteral("a"));
    QVERIFY(!m_tab->hexSend());
    key(Qt::Key_Up);
    key(Qt::Key_Up);
    QCOMPARE(editor(), QStringLiteral("b"));
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    QCOMPARE(editor(), QStringLiteral("FA 29"));
    key(Qt::Key_Down);
    QCOMPARE(editor(), QStringLiteral("draft"));
    QVERIFY(!m_tab->hexSend());
    key(Qt::Key_Down);
    QCOMPARE(editor(), QStringLiteral("draft"));
    // An entry edited during the walk is a new draft, never overwritten.
    key(Qt::Key_Up);
    QTest::keyClick(sendEditor(), Qt::Key_X);
    key(Qt::Key_Down);
    QCOMPARE(editor(), QStringLiteral("FA 29x"));
    key(Qt::Key_Up);
    QCOMPARE(editor(), QStringLiteral("FA 29"));

    // The editor's context menu lists them, newest first.
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5),
                              sendEditor()->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(sendEditor()->viewport(), &request);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QMenu *recent = nullptr;
    for (QAction *action : menu->actions()) {
        if (action->text() == QStringLiteral("发送历史"))
            recent = action->menu();
    }
    QVERIFY(recent);
    QCOMPARE(recent->actions().at(2)->text(), QStringLiteral("b"));
    recent->actions().at(2)->trigger();
    menu->close();
    QCOMPARE(editor(), QStringLiteral("b"));
    QVERIFY(!m_tab->hexSend());

    // The newest 20 different ones, also through the settings' strings.
    for (int i = 0; i < 25; ++i)
        sendAs(QString::number(i), false);
    QStringList expected;
    for (int i = 24; i >= 5; --i)
        expected << QStringLiteral("text:%1").arg(i);
    QCOMPARE(m_tab->sendHistory(), expected);
    SettingsGroup group;
    group.write(QStringLiteral("history"),
                QStringList { "text:x\ny", "junk", "hex:01" } + expected.mid(0, 17));
    m_tab->restoreSettings(group);
    QCOMPARE(m_tab->sendHistory(), QStringList({ "text:x\ny", "hex:01" }) + expected.mid(0, 17));
}

void TestComAssistant::settingsRoundTrip()
{
    click("GettedTextBnt");
    click("SendHexBnt");
    auto *encoding = m_tab->findChild<QComboBox *>("EncodingList");
    encoding->setCurrentIndex(encoding->findData(QStringLiteral("UTF-8")));
    click("TimestampBnt");
    m_tab->findChild<QComboBox *>("lineEndingList")->setCurrentIndex(int(LineEnding::CrLf));
    m_tab->findChild<QSpinBox *>("repeatPeriodBox")->setValue(25);
    // A group that holds only the history leaves the rest as it is.
    SettingsGroup history;
    history.write(QStringLiteral("history"),
                  QStringList { QStringLiteral("text:PID 1.5, 0.2\n速度 @12"),
                                QStringLiteral("hex:FA 29") });
    m_tab->restoreSettings(history);
    const QStringList saved = shownSettings(*m_tab);

    SettingsGroup group;
    m_tab->saveSettings(group);
    ComAssistant fresh(nullptr, &m_port);
    const QStringList defaults = shownSettings(fresh);
    fresh.restoreSettings(group);
    QCOMPARE(shownSettings(fresh), saved);
    // Every value differs from its default, or the trip proves little.
    for (int i = 0; i < saved.size(); ++i)
        QVERIFY2(saved.at(i) != defaults.at(i), qPrintable(saved.at(i)));
    QCOMPARE(fresh.settingsGroup(), QStringLiteral("terminal"));
    QVERIFY(m_dialogs->boxes.isEmpty());
}

QTEST_MAIN(TestComAssistant)
#include "tst_comassistant.moc"

#include "byteutils.h"
#include "comassistant.h"
#include "receiverenderer.h"
#include "testsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <memory>

// The terminal's receive side over long sessions and in other encodings:
// bounded memory and display, text encodings and arrival times.
class TestTerminalReceive : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void encodedTextSplitAtEveryByte_data();
    void encodedTextSplitAtEveryByte();
    void timestampsSurviveRerender();
    void longLinesShownInPieces();
    void boundedHistoryKeepsEveryByte();
    void textModeSwitchAfterTrimming();
    void unwritableTemporaryFile_data();
    void unwritableTemporaryFile();

private:
    void makeTab()
    {
        m_tab = std::make_unique<ComAssistant>(nullptr, &m_port);
        m_tab->show();
    }
    QString shown() const
    {
        return m_tab->findChild<QPlainTextEdit *>("DataGetted")->toPlainText();
    }
    void deliver(const QByteArray &bytes)
    {
        QByteArray buffer = bytes;
        m_tab->handleData(buffer);
    }
    void click(const char *name)
    {
        QTest::mouseClick(m_tab->findChild<QAbstractButton *>(name), Qt::LeftButton);
    }
    QByteArray saved()
    {
        const QString path = m_dir.filePath(QStringLiteral("saved%1.bin").arg(++m_saves));
        m_dialogs->fileAnswers << path;
        click("SaveDataGettedBnt");
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(not saved)");
    }

    QSerialPort *m_port = nullptr;
    std::unique_ptr<ComAssistant> m_tab;
    std::unique_ptr<DialogDriver> m_dialogs;
    std::unique_ptr<QTemporaryDir> m_tmp;
    QTemporaryDir m_dir;
    int m_saves = 0;
};

// The notice that older bytes are not shown, with their count.
const QRegularExpression kNotice(
        QStringLiteral("^（前面 (\\d+) 字节未显示，保存数据仍会全部写入）"));

void TestTerminalReceive::init()
{
    // The temporary folder of this test alone, to see the terminal's file.
    m_tmp = std::make_unique<QTemporaryDir>();
    qputenv("TMPDIR", m_tmp->path().toLocal8Bit());
    m_dialogs = std::make_unique<DialogDriver>();
    makeTab();
}

void TestTerminalReceive::cleanup()
{
    m_tab.reset();
    m_dialogs.reset();
    qunsetenv("TMPDIR");
    m_tmp.reset();
}

void TestTerminalReceive::encodedTextSplitAtEveryByte_data()
{
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    // A byte that is no character, between lines such as boards print.
    const QString text = QStringLiteral("速度=12 舵机\n\uFFFD转向=-3 ok\n");
    const QByteArray utf8 = QByteArray("速度=12 舵机\r\n\x80转向=-3 ok\n");
    const QByteArray gb = QByteArray("\xCB\xD9\xB6\xC8=12 \xB6\xE6\xBB\xFA\r\n\xFF"
                                     "\xD7\xAA\xCF\xF2=-3 ok\n");
    QTest::newRow("UTF-8 text") << "UTF-8" << false << utf8 << text;
    QTest::newRow("UTF-8 hex") << "UTF-8" << true << utf8 << text;
    QTest::newRow("GB18030 text") << "GB18030" << false << gb << text;
    QTest::newRow("GB18030 hex") << "GB18030" << true << gb << text;
}

void TestTerminalReceive::encodedTextSplitAtEveryByte()
{
    QFETCH(QString, encoding);
    QFETCH(bool, hex);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    if (m_tab->findChild<QComboBox *>("EncodingList")->findText(encoding) < 0)
        QSKIP("this Qt cannot decode the encoding");

    QString hexText;
    bytesToHexText(bytes, hexText, 0);
    const QString expected = hex ? hexText : text;
    for (int cut = 0; cut <= bytes.size(); ++cut) {
        makeTab();
        m_tab->setTextEncoding(encoding);
        m_tab->setHexDisplay(hex);
        deliver(bytes.left(cut));
        deliver(bytes.mid(cut));
        QCOMPARE(shown(), expected);
        // Rendered again from the history, the display is the same.
        m_tab->setHexDisplay(!hex);
        QCOMPARE(shown(), hex ? text : hexText);
        m_tab->setHexDisplay(hex);
        QCOMPARE(shown(), expected);
    }
    // A byte at a time too.
    makeTab();
    m_tab->setTextEncoding(encoding);
    m_tab->setHexDisplay(hex);
    for (char byte : bytes)
        deliver(QByteArray(1, byte));
    QCOMPARE(shown(), expected);
    QCOMPARE(saved(), bytes);
}

void TestTerminalReceive::timestampsSurviveRerender()
{
    const QString stamp = QStringLiteral("\\[\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\] ");
    click("GettedTextBnt");
    m_tab->findChild<QCheckBox *>("TimestampBnt")->click();
    deliver("a\nb");
    QTest::qWait(30);
    deliver("c\r\n");
    QTest::qWait(30);
    deliver("\r\nd");
    const QString text = shown();
    const QRegularExpression lines(
            QStringLiteral("^(%1)a\n(%1)bc\n(%2)\n(%2)d$").arg(stamp, stamp));
    const auto match = lines.match(text);
    QVERIFY2(match.hasMatch(), qPrintable(text));
    // Each line has the time of its first byte: the first two lines arrived
    // together, the last two with the third delivery.
    QCOMPARE(match.captured(2), match.captured(1));
    QVERIFY(match.captured(3) != match.captured(2));
    QCOMPARE(match.captured(4), match.captured(3));
    click("GettedTextBnt");
    QCOMPARE(shown(), text);

    // In hexadecimal, every 16-byte line has the time of its first byte.
    click("CleanDataGettedBnt");
    click("GettedHexBnt");
    deliver(QByteArray(10, 'x'));
    QTest::qWait(30);
    deliver(QByteArray(10, 'y'));
    const QString hex = shown();
    const QRegularExpression hexLines(
            QStringLiteral("^(%1)(78 ){10}(79 ){5}79\n(%1)(79 ){4}$").arg(stamp));
    const auto hexMatch = hexLines.match(hex);
    QVERIFY2(hexMatch.hasMatch(), qPrintable(hex));
    QVERIFY(hexMatch.captured(1) != hexMatch.captured(4));
    click("GettedHexBnt");
    QCOMPARE(shown(), hex);

    // Saving the display keeps the times; saving the data stays raw.
    const QString path = m_dir.filePath(QStringLiteral("shown.txt"));
    m_dialogs->fileAnswers << path;
    m_tab->findChild<QAction *>("saveShownAction")->trigger();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromLocal8Bit(file.readAll()), hex);
    QCOMPARE(saved(), QByteArray(10, 'x') + QByteArray(10, 'y'));

    m_tab->findChild<QCheckBox *>("TimestampBnt")->click();
    QCOMPARE(shown(),
             QStringLiteral("78 78 78 78 78 78 78 78 78 78 79 79 79 79 79 79\n"
                            "79 79 79 79 "));
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestTerminalReceive::longLinesShownInPieces()
{
    // A line far longer than a paragraph, of Chinese and ASCII; then a line
    // just below the paragraph size, which must stay whole, after a CR LF.
    constexpr qsizetype piece = ReceiveRenderer::kParagraphBytes;
    QByteArray longLine;
    while (longLine.size() < 3 * piece)
        longLine += "速度=12,舵机=-3;";
    const QByteArray shortLine(piece - 1, 'x');
    const QByteArray bytes = longLine + "\r\n" + shortLine + "\r\nend";
    QString live;
    for (const qsizetype delivery : { qsizetype(13), qsizetype(1021), bytes.size() }) {
        makeTab();
        m_tab->setTextEncoding(QStringLiteral("UTF-8"));
        m_tab->setHexDisplay(false);
        for (qsizetype at = 0; at < bytes.size(); at += delivery)
            deliver(bytes.mid(at, delivery));
        const QString text = shown();
        // Pieces add line breaks only, in the same places however the bytes
        // came, and again when rendered from the history.
        QCOMPARE(QString(text).remove(u'\n'), QString::fromUtf8(longLine + shortLine + "end"));
        QVERIFY(text.endsWith(QLatin1Char('\n') + QString::fromLatin1(shortLine)
                              + QStringLiteral("\nend")));
        if (live.isEmpty())
            live = text;
        QCOMPARE(text, live);
        m_tab->setHexDisplay(true);
        m_tab->setHexDisplay(false);
        QCOMPARE(shown(), live);
        const QTextDocument *document
                = m_tab->findChild<QPlainTextEdit *>("DataGetted")->document();
        QVERIFY(document->blockCount() > 3);
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
            QVERIFY(block.length() <= 2 * piece);
    }
}

void TestTerminalReceive::boundedHistoryKeepsEveryByte()
{
    m_tab->setReceiveLimits(1000, 600);
    QByteArray sent;
    for (int i = 0; sent.size() < 20000; ++i) {
        QByteArray chunk(1 + i % 97, Qt::Uninitialized);
        for (char &b : chunk)
            b = char(sent.size() * 7 + i);
        sent += chunk;
        deliver(chunk);
    }

    // The older bytes went to the file; memory holds about its limit.
    const ReceiveHistory &history = m_tab->receiveHistory();
    QCOMPARE(history.size(), sent.size());
    QVERIFY(history.memorySize() <= 1000 + 1000 / 8 + 97);
    QVERIFY(!history.spillFailed());

    // The display holds the newest lines, and says how many bytes it does not.
    QString text = shown();
    const auto notice = kNotice.match(text);
    QVERIFY2(notice.hasMatch(), qPrintable(text.left(100)));
    const qint64 hidden = notice.captured(1).toLongLong();
    QCOMPARE(hidden % 16, 0);
    QVERIFY(sent.size() - hidden >= 600);
    QVERIFY(sent.size() - hidden <= 600 + 600 / 2 + 16 * 16);
    QByteArray bytes;
    QVERIFY(hexTextToBytes(text.mid(text.indexOf(QLatin1Char('\n')) + 1), bytes));
    QCOMPARE(bytes, sent.mid(hidden));

    // A mode switch shows the same bytes again, with the same notice.
    click("GettedHexBnt");
    QCOMPARE(shown(), text);
    QCOMPARE(saved(), sent);

    click("CleanDataGettedBnt");
    QVERIFY(shown().isEmpty());
    QCOMPARE(history.spilled(), 0);
    deliver("after");
    QCOMPARE(shown(), QStringLiteral("61 66 74 65 72 "));
    QCOMPARE(saved(), QByteArray("after"));
    // Nothing is left in the temporary folder.
    deliver(sent);
    m_tab.reset();
    QCOMPARE(QDir(m_tmp->path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestTerminalReceive::textModeSwitchAfterTrimming()
{
    m_tab->setReceiveLimits(2000, 500);
    click("GettedTextBnt");
    QByteArray sent;
    for (int i = 0; i < 400; ++i)
        sent += QStringLiteral("第%1行 v=%2\r\n").arg(i).arg(i * 3).toUtf8();
    for (int pos = 0, i = 0; pos < sent.size(); pos += 1 + i++ % 13)
        deliver(sent.mid(pos, 1 + i % 13));

    auto check = [&] {
        const QString text = shown();
        const auto notice = kNotice.match(text);
        QVERIFY2(notice.hasMatch(), qPrintable(text.left(100)));
        const qint64 hidden = notice.captured(1).toLongLong();
        // Whole lines from the first one shown.
        QVERIFY(sent.at(hidden - 1) == '\n');
        QCOMPARE(text.mid(text.indexOf(QLatin1Char('\n')) + 1),
                 QString::fromUtf8(sent.mid(hidden))
                         .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QVERIFY(sent.size() - hidden >= 500);
        QVERIFY(sent.size() - hidden < 500 + 500 / 2 + 16 * 20);
    };
    check();
    const QString live = shown();
    click("GettedHexBnt");
    QVERIFY(kNotice.match(shown()).hasMatch());
    click("GettedTextBnt");
    check();
    QCOMPARE(shown(), live);
    QCOMPARE(saved(), sent);
}

void TestTerminalReceive::unwritableTemporaryFile_data()
{
    QTest::addColumn<bool>("fullDisk");
    QTest::newRow("no folder") << false;
    QTest::newRow("full disk") << true;
}

void TestTerminalReceive::unwritableTemporaryFile()
{
    QFETCH(bool, fullDisk);
    std::unique_ptr<FileSizeLimit> limit;
    if (fullDisk) {
        limit = std::make_unique<FileSizeLimit>(3000);
        if (!limit->isActive())
            QSKIP("needs a file size limit");
    } else {
        const QString folder = unwritableFolder(m_tmp->path());
        if (folder.isEmpty())
            QSKIP("no unwritable folder available");
        qputenv("TMPDIR", folder.toLocal8Bit());
    }
    m_tab->setReceiveLimits(1000, 100000);
    QByteArray sent;
    for (int i = 0; i < 100; ++i) {
        const QByteArray chunk = QByteArray::number(i).repeated(50);
        sent += chunk;
        deliver(chunk);
    }
    limit.reset();

    // Said once, at the top; every byte is still shown and saved.
    const QString text = shown();
    QCOMPARE(text.count(QStringLiteral("临时文件写入失败")), 1);
    QVERIFY(text.startsWith(QStringLiteral("（临时文件写入失败")));
    QByteArray bytes;
    QVERIFY(hexTextToBytes(text.mid(text.indexOf(QLatin1Char('\n')) + 1), bytes));
    QCOMPARE(bytes, sent);
    click("GettedTextBnt");
    QCOMPARE(shown().count(QStringLiteral("临时文件写入失败")), 1);
    QCOMPARE(saved(), sent);
    QVERIFY(m_dialogs->boxes.isEmpty());
}

QTEST_MAIN(TestTerminalReceive)
#include "tst_terminalreceive.moc"

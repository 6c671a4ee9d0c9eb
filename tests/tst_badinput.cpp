#include "ccd.h"
#include "comassistant.h"
#include "linearccd.h"
#include "mainwindow.h"
#include "oscilloscope.h"
#include "testsupport.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTest>

#include <atomic>
#include <memory>
#include <thread>

#if defined(Q_OS_UNIX)
#    include <fcntl.h>
#    include <sys/stat.h>
#    include <unistd.h>
#endif

namespace {

QString writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return QString();
    return path;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool runsAsRoot()
{
#if defined(Q_OS_UNIX)
    return geteuid() == 0;
#else
    return false;
#endif
}

// The test plug-in with its ELF header's architecture changed to one this
// machine is not.
QByteArray foreignLibrary()
{
    QByteArray bytes = readFile(QStringLiteral(TESTPLUGIN_INVERT));
    // EM_X86_64 and EM_AARCH64.
#if defined(Q_PROCESSOR_ARM_64)
    const quint16 machine = 62;
#else
    const quint16 machine = 183;
#endif
    bytes[18] = char(machine & 0xFF);
    bytes[19] = char(machine >> 8);
    return bytes;
}

// Should the program block opening a named pipe, this opens its other end
// after a while, so that the test fails instead of hanging.
class PipeRescue
{
public:
    PipeRescue(const QString &path, int otherEnd)
        : m_thread([this, name = QFile::encodeName(path), otherEnd] {
            for (int i = 0; i < 30 && !m_done; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (m_done)
                return;
            const int fd = ::open(name.constData(), otherEnd | O_NONBLOCK);
            m_rescued = fd >= 0;
            if (fd >= 0)
                ::close(fd);
        })
    { }
    // True if the program had to be rescued.
    bool finish()
    {
        m_done = true;
        m_thread.join();
        return m_rescued;
    }
    ~PipeRescue()
    {
        if (m_thread.joinable())
            finish();
    }

private:
    std::atomic<bool> m_done { false };
    std::atomic<bool> m_rescued { false };
    std::thread m_thread;
};

} // namespace

// Files, folders and libraries that the user picks and that are not what the
// program expects: each is refused in the program's words, nothing hangs, and
// nothing the window holds is lost.
class TestBadInput : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadRefusals_data();
    void loadRefusals();
    void loadGrowingFiles_data();
    void loadGrowingFiles();
    void saveFailures_data();
    void saveFailures();
    void recordingIntoPipe();
    void pluginRefusals_data();
    void pluginRefusals();

private:
    QPlainTextEdit *sendEditor() const
    {
        return m_window->findChild<QPlainTextEdit *>(QStringLiteral("DataSend"));
    }
    void clickOpenData()
    {
        QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("OpenDataBnt")),
                          Qt::LeftButton);
    }

    // The texts of the program's error boxes; the file dialog's own questions
    // (replace a file?) are not among them.
    QStringList errors() const
    {
        QStringList texts;
        for (const DialogDriver::Box &box : std::as_const(m_dialogs->boxes)) {
            if (box.title == QStringLiteral("错误"))
                texts.append(box.text);
        }
        return texts;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<DialogDriver> m_dialogs;
};

void TestBadInput::init()
{
    cleanup();
    m_dir = std::make_unique<QTemporaryDir>();
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    m_dialogs = std::make_unique<DialogDriver>();
    // Something in every tab that saves.
    QByteArray text("left=12 right=115 and more than a few bytes\n");
    m_window->terminal()->handleData(text);
    QByteArray frames = QByteArray::fromHex("FFFF1000200030004000AA");
    m_window->oscilloscope()->handleData(frames);
    QByteArray line(128, '\x40');
    line += '\xFF';
    m_window->linearCCD()->handleData(line);
    QByteArray picture(120 * 40, '\x30');
    picture += '\xFF';
    m_window->ccd()->handleData(picture);
    sendEditor()->setPlainText(QStringLiteral("kept"));
}

void TestBadInput::cleanup()
{
    m_dialogs.reset();
    m_window.reset();
    m_dir.reset();
}

void TestBadInput::loadRefusals_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    const QString cannotOpen = QStringLiteral("无法打开文件%1，是否被其他程序占用？");
    const QString notPlain = QStringLiteral("%1不是普通文件，不能打开！");
    QTest::newRow("unreadable") << "unreadable" << cannotOpen;
    // The dialog opens a folder instead of returning it; the next answer
    // cancels.
    QTest::newRow("folder") << "folder" << QString();
    QTest::newRow("named pipe") << "fifo" << notPlain;
    QTest::newRow("endless device") << "/dev/zero" << notPlain;
    QTest::newRow("name not UTF-8") << "latin1" << QString();
}

void TestBadInput::loadRefusals()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    QString path = kind;
    std::unique_ptr<PipeRescue> rescue;
    QByteArray rawName;
    // The temporary folder cannot remove what it cannot name.
    const auto removeRaw = qScopeGuard([&rawName] {
        if (!rawName.isEmpty())
            ::unlink(rawName.constData());
    });
    if (kind == QLatin1String("unreadable")) {
        if (runsAsRoot())
            QSKIP("root reads files of any mode");
        path = writeFile(m_dir->filePath(QStringLiteral("secret.txt")), "secret");
        QVERIFY(QFile::setPermissions(path, {}));
    } else if (kind == QLatin1String("folder")) {
        path = m_dir->path();
    } else if (kind == QLatin1String("fifo")) {
#if defined(Q_OS_UNIX)
        path = m_dir->filePath(QStringLiteral("pipe.txt"));
        QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        rescue = std::make_unique<PipeRescue>(path, O_WRONLY);
#else
        QSKIP("no named pipes here");
#endif
    } else if (kind == QLatin1String("latin1")) {
#if defined(Q_OS_UNIX)
        rawName = QFile::encodeName(m_dir->path()) + "/caf\xe9.txt";
        path = QFile::decodeName(rawName);
        const int fd = ::open(rawName.constData(), O_WRONLY | O_CREAT, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "AB", 2), 2);
        ::close(fd);
#else
        QSKIP("names are Unicode here");
#endif
    }
    m_dialogs->fileAnswers << path << QString();
    clickOpenData();
    QVERIFY2(!rescue || !rescue->finish(), "opening a named pipe waited for a writer");

    QCOMPARE(sendEditor()->toPlainText(), QStringLiteral("kept"));
    QCOMPARE(errors(), message.isEmpty() ? QStringList() : QStringList { message.arg(path) });
}

void TestBadInput::loadGrowingFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("grows while it is read") << "growing";
    // Files of the system's own that report no size and hold megabytes.
    QTest::newRow("reports size 0") << "/proc/kallsyms";
}

// The send editor takes at most 1 MB, however large the file has become
// meanwhile; beyond that the user is told.
void TestBadInput::loadGrowingFiles()
{
    QFETCH(QString, kind);
    constexpr qint64 kLimit = 1024 * 1024;
    QString path = kind;
    std::atomic<bool> stop { false };
    std::thread writer;
    if (kind == QLatin1String("growing")) {
        path = writeFile(m_dir->filePath(QStringLiteral("log.bin")),
                         QByteArray(kLimit - 4096, 'a'));
        writer = std::thread([&stop, path] {
            QFile file(path);
            if (!file.open(QIODevice::Append))
                return;
            const QByteArray chunk(512, 'b');
            while (!stop && file.size() < 16 * kLimit) {
                file.write(chunk);
                file.flush();
            }
        });
    } else if (readFile(path).size() <= kLimit) {
        QSKIP("no such file here");
    }
    m_dialogs->fileAnswers << path;
    clickOpenData();
    stop = true;
    if (writer.joinable())
        writer.join();

    const QString text = sendEditor()->toPlainText();
    if (text == QLatin1String("kept")) {
        QCOMPARE(errors(), QStringList { QStringLiteral("文件大于1MB，不能打开！") });
    } else {
        QVERIFY(errors().isEmpty());
        // Three characters a byte, as hexadecimal text.
        QVERIFY2(text.size() <= 3 * kLimit, qPrintable(QString::number(text.size())));
    }
}

void TestBadInput::saveFailures_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("terminal data") << 0 << "SaveDataGettedBnt"
                                   << "bin";
    QTest::newRow("scope CSV") << 1 << "保存数据(CSV)"
                               << "csv";
    QTest::newRow("scope PNG") << 1 << "保存图像(PNG)"
                               << "png";
    QTest::newRow("CCD CSV") << 2 << "保存数据(CSV)"
                             << "csv";
    QTest::newRow("CCD PNG") << 2 << "保存图像(PNG)"
                             << "png";
    QTest::newRow("camera data") << 3 << "pushButtonSaveData"
                                 << "txt";
    QTest::newRow("camera BMP") << 3 << "pushButtonSavePicture"
                                << "bmp";
    QTest::newRow("camera PNG") << 3 << "保存图像(PNG)"
                                << "png";
    QTest::newRow("camera binary PNG") << 3 << "保存二值化图像(PNG)"
                                       << "png";
}

// Every save command, into a folder that takes no files and onto a full
// disk: one error box, and an earlier file of that name stays as it was.
void TestBadInput::saveFailures()
{
    QFETCH(int, tab);
    QFETCH(QString, command);
    QFETCH(QString, suffix);
    m_window->setCurrentTab(tab);
    QWidget *page = m_window->findChild<QTabWidget *>(QStringLiteral("tabWidget"))->widget(tab);
    const auto run = [&] {
        if (auto *button = page->findChild<QPushButton *>(command)) {
            QTest::mouseClick(button, Qt::LeftButton);
            return true;
        }
        const QList<QAction *> actions = page->findChildren<QAction *>();
        for (QAction *action : actions) {
            if (action->text() == command) {
                action->trigger();
                return true;
            }
        }
        return false;
    };

    const QString folder = unwritableFolder(m_dir->path());
    if (!folder.isEmpty()) {
        const QString refused = QDir(folder).filePath(QStringLiteral("out.") + suffix);
        m_dialogs->fileAnswers << refused;
        QVERIFY(run());
        QCOMPARE(errors(),
                 QStringList {
                         QStringLiteral("无法打开文件%1，是否被其他程序占用？").arg(refused) });
        m_dialogs->boxes.clear();
    }

    const QString earlier
            = writeFile(m_dir->filePath(QStringLiteral("earlier.") + suffix), "saved before");
    {
        FileSizeLimit fullDisk(8);
        if (!fullDisk.isActive())
            QSKIP("no file size limits here");
        m_dialogs->fileAnswers << earlier;
        QVERIFY(run());
    }
    QCOMPARE(errors(), QStringList { QStringLiteral("写入文件%1失败！").arg(earlier) });
    QCOMPARE(readFile(earlier), QByteArray("saved before"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
             QStringList { QFileInfo(earlier).fileName() });
}

// The CCD recording opens its file at once and keeps it open.
void TestBadInput::recordingIntoPipe()
{
    const QString path = m_dir->filePath(QStringLiteral("pipe.csv"));
    QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    m_window->setCurrentTab(2);
    QAction *record = nullptr;
    for (QAction *action : m_window->linearCCD()->findChildren<QAction *>()) {
        if (action->text() == QStringLiteral("连续记录"))
            record = action;
    }
    QVERIFY(record);
    PipeRescue rescue(path, O_RDONLY);
    m_dialogs->fileAnswers << path;
    record->trigger();
    QVERIFY2(!rescue.finish(), "opening a named pipe waited for a reader");
    QCOMPARE(errors(),
             QStringList { QStringLiteral("无法打开文件%1，是否被其他程序占用？").arg(path) });
    QVERIFY(!record->isChecked());
}

void TestBadInput::pluginRefusals_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    const QByteArray library = readFile(QStringLiteral(TESTPLUGIN_INVERT));
    QVERIFY(library.size() > 8192);
    const QString cannotLoad = QStringLiteral("无法载入%1");
    QTest::newRow("text named .so") << QByteArray("not a library\n") << cannotLoad;
    QTest::newRow("other architecture") << foreignLibrary() << cannotLoad;
    QByteArray otherWordSize = library;
    otherWordSize[4] = char(QT_POINTER_SIZE == 8 ? 1 : 2);
    QTest::newRow("other word size") << otherWordSize << cannotLoad;
    // A library cut short maps beyond its end, and touching that page kills
    // the program: it must be refused before it is loaded.
    QTest::newRow("cut in its header") << library.left(40) << cannotLoad;
    QTest::newRow("cut in its segment table") << library.left(200) << cannotLoad;
    QTest::newRow("cut in its code") << library.left(4096 + 128) << cannotLoad;
    QTest::newRow("without ImgProc")
            << readFile(QStringLiteral(TESTPLUGIN_NOENTRY)) << QStringLiteral("无效的dll:%1");
    QTest::newRow("named pipe") << QByteArray("@fifo") << cannotLoad;
}

// Each tab keeps the algorithm it had, except after a library without
// ImgProc, which drops it as it always has.
void TestBadInput::pluginRefusals()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    CCD *camera = m_window->ccd();
    QVERIFY(camera->loadAlgorithmQuietly(QStringLiteral(TESTPLUGIN_INVERT)));
    m_window->setCurrentTab(3);

    // A new name for every row: the system would hand out a library it has
    // already loaded under that name.
    const QString path = m_dir->filePath(QStringLiteral("%1.so").arg(
            QString::fromLatin1(QTest::currentDataTag()).remove(u'.').replace(u' ', u'_')));
    if (content == "@fifo") {
#if defined(Q_OS_UNIX)
        QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
#else
        QSKIP("no named pipes here");
#endif
    } else {
        QVERIFY(!writeFile(path, content).isEmpty());
    }
    m_dialogs->fileAnswers << path;
    QTest::mouseClick(camera->findChild<QPushButton *>(QStringLiteral("pushButton_openDll")),
                      Qt::LeftButton);

    QCOMPARE(errors(), QStringList { message.arg(path) });
    const bool dropped = message.startsWith(QStringLiteral("无效的dll"));
    QCOMPARE(camera->algorithmPath(), dropped ? QString() : QStringLiteral(TESTPLUGIN_INVERT));
    QCOMPARE(camera->findChild<QLineEdit *>(QStringLiteral("lineEdit_dllName"))->text(),
             dropped ? QStringLiteral("无效的dll") : QStringLiteral(TESTPLUGIN_INVERT));
}

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"

#include "algorithmdll.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QTemporaryDir>
#include <QTest>

namespace {

void IMGPROC_CALL keepAlgorithm(const unsigned char *, unsigned char *, int, int) { }

const ImgProcFunc kPrevious = &keepAlgorithm;

QString librarySuffix()
{
#if defined(Q_OS_WIN)
    return QStringLiteral(".dll");
#elif defined(Q_OS_MACOS)
    return QStringLiteral(".dylib");
#else
    return QStringLiteral(".so");
#endif
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(content);
    return path;
}

QByteArray apply(ImgProcFunc imgProc, const QByteArray &src, int width, int height)
{
    QByteArray dst(src.size(), char(0x5A));
    imgProc(reinterpret_cast<const unsigned char *>(src.constData()),
            reinterpret_cast<unsigned char *>(dst.data()), width, height);
    return dst;
}

QByteArray inverted(const QByteArray &src)
{
    QByteArray out(src.size(), '\0');
    for (int i = 0; i < src.size(); ++i)
        out[i] = char(255 - quint8(src.at(i)));
    return out;
}

} // namespace

class TestAlgorithmDll : public QObject
{
    Q_OBJECT

private slots:
    void cancelChangesNothing();
    void rejectedFilesChangeNothing_data();
    void rejectedFilesChangeNothing();
    void libraryWithoutEntryDropsAlgorithm();
    void libraryWithEntryIsCalled();
    void entryPointsStayCallable();
    void loadsByPathWithoutAsking();
    void otsuExampleOnLine();
    void otsuExampleOnPicture();
    void pluginsHaveThePlatformsNames();
};

void TestAlgorithmDll::cancelChangesNothing()
{
    DialogDriver driver;
    QString name = QStringLiteral("keep");
    ImgProcFunc imgProc = kPrevious;
    QVERIFY(!openAlgorithmDll(name, imgProc));
    QCOMPARE(name, QStringLiteral("keep"));
    QVERIFY(imgProc == kPrevious);
    QVERIFY(driver.boxes.isEmpty());
    QCOMPARE(
            driver.fileFilters,
            QStringList { QStringLiteral("动态链接库(*") + librarySuffix() + QStringLiteral(")") });
}

void TestAlgorithmDll::rejectedFilesChangeNothing_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("text file") << QStringLiteral("notes.txt") << QString()
                               << QStringLiteral(" 不是dll文件");
    QTest::newRow("text named like a library") << QStringLiteral("broken") + librarySuffix()
                                               << QStringLiteral("无法载入") << QString();
}

void TestAlgorithmDll::rejectedFilesChangeNothing()
{
    QFETCH(QString, fileName);
    QFETCH(QString, prefix);
    QFETCH(QString, suffix);
    QTemporaryDir dir;
    const QString path = writeFile(dir, fileName, "not a library\n");
    QVERIFY(!path.isEmpty());

    DialogDriver driver;
    driver.fileAnswers << path;
    QString name;
    ImgProcFunc imgProc = kPrevious;
    QVERIFY(!openAlgorithmDll(name, imgProc));
    QVERIFY(name.isEmpty());
    QVERIFY(imgProc == kPrevious);
    QCOMPARE(driver.boxes.size(), 1);
    QCOMPARE(driver.boxes[0].title, QStringLiteral("错误"));
    QCOMPARE(driver.boxes[0].text, prefix + path + suffix);
    QCOMPARE(driver.boxes[0].icon, QMessageBox::Critical);
    QVERIFY(!driver.boxes[0].hasParent);
}

void TestAlgorithmDll::libraryWithoutEntryDropsAlgorithm()
{
    DialogDriver driver;
    driver.fileAnswers << QStringLiteral(TESTPLUGIN_NOENTRY);
    QString name;
    ImgProcFunc imgProc = kPrevious;
    QVERIFY(!openAlgorithmDll(name, imgProc));
    QCOMPARE(name, QStringLiteral("无效的dll"));
    QVERIFY(!imgProc);
    QCOMPARE(driver.boxes.size(), 1);
    QCOMPARE(driver.boxes[0].title, QStringLiteral("错误"));
    QCOMPARE(driver.boxes[0].text,
             QStringLiteral("无效的dll:") + QStringLiteral(TESTPLUGIN_NOENTRY));
    QCOMPARE(driver.boxes[0].icon, QMessageBox::Critical);
    QVERIFY(!driver.boxes[0].hasParent);
}

void TestAlgorithmDll::libraryWithEntryIsCalled()
{
    DialogDriver driver;
    const QByteArray line("\x00\x01\x7F\x80\xFE", 5);
    for (int round = 0; round < 2; ++round) {
        driver.fileAnswers << QStringLiteral(TESTPLUGIN_INVERT);
        QString name;
        ImgProcFunc imgProc = nullptr;
        QVERIFY(openAlgorithmDll(name, imgProc));
        QCOMPARE(name, QStringLiteral(TESTPLUGIN_INVERT));
        QVERIFY(imgProc);
        QCOMPARE(apply(imgProc, line, 5, 1), inverted(line));
    }
    QVERIFY(driver.boxes.isEmpty());
}

void TestAlgorithmDll::entryPointsStayCallable()
{
    // The library behind an entry point stays loaded after later choices,
    // whatever their outcome.
    DialogDriver driver;
    driver.fileAnswers << QStringLiteral(TESTPLUGIN_INVERT) << QStringLiteral(TESTPLUGIN_NOENTRY);
    QString name;
    ImgProcFunc first = nullptr;
    QVERIFY(openAlgorithmDll(name, first));
    ImgProcFunc second = first;
    QVERIFY(!openAlgorithmDll(name, second));
    QVERIFY(!second);

    const QByteArray picture(12, char(200));
    QCOMPARE(apply(first, picture, 4, 3), QByteArray(12, char(55)));
    using Counter = int (*)();
    const auto width = reinterpret_cast<Counter>(
            QLibrary::resolve(QStringLiteral(TESTPLUGIN_INVERT), "ImgProcLastWidth"));
    const auto height = reinterpret_cast<Counter>(
            QLibrary::resolve(QStringLiteral(TESTPLUGIN_INVERT), "ImgProcLastHeight"));
    QVERIFY(width && height);
    QCOMPARE(width(), 4);
    QCOMPARE(height(), 3);
}

void TestAlgorithmDll::loadsByPathWithoutAsking()
{
    // The quiet loader behind the dialog: every outcome comes back as a
    // result, and nothing is shown.
    DialogDriver driver;
    QTemporaryDir dir;
    const QString text = writeFile(dir, QStringLiteral("notes.txt"), "not a library\n");
    const QString broken
            = writeFile(dir, QStringLiteral("broken") + librarySuffix(), "not a library\n");

    AlgorithmLoadResult result = loadAlgorithmLibrary(text);
    QCOMPARE(result.status, AlgorithmLoadResult::NotALibrary);
    QCOMPARE(result.errorText, text + QStringLiteral(" 不是dll文件"));
    QVERIFY(!result.imgProc);

    result = loadAlgorithmLibrary(broken);
    QCOMPARE(result.status, AlgorithmLoadResult::LoadFailed);
    QCOMPARE(result.errorText, QStringLiteral("无法载入") + broken);

    result = loadAlgorithmLibrary(QStringLiteral(TESTPLUGIN_NOENTRY));
    QCOMPARE(result.status, AlgorithmLoadResult::NoEntryPoint);
    QCOMPARE(result.errorText, QStringLiteral("无效的dll:") + QStringLiteral(TESTPLUGIN_NOENTRY));
    QVERIFY(!result.imgProc);

    result = loadAlgorithmLibrary(QStringLiteral(TESTPLUGIN_INVERT));
    QCOMPARE(result.status, AlgorithmLoadResult::Loaded);
    QCOMPARE(result.fileName, QStringLiteral(TESTPLUGIN_INVERT));
    QVERIFY(result.errorText.isEmpty());
    QCOMPARE(apply(result.imgProc, QByteArray("\x10\xF0", 2), 2, 1), QByteArray("\xEF\x0F", 2));

    // A box or a dialog would have run modally inside the calls above.
    QVERIFY(driver.boxes.isEmpty());
    QVERIFY(driver.fileFilters.isEmpty());
}

void TestAlgorithmDll::otsuExampleOnLine()
{
    DialogDriver driver;
    driver.fileAnswers << QStringLiteral(EXAMPLE_PLUGIN_OTSU);
    QString name;
    ImgProcFunc otsu = nullptr;
    QVERIFY(openAlgorithmDll(name, otsu));

    // A bright track between two dark borders, with noise on both sides and
    // one bright reflection that would pull a mid value threshold up.
    QByteArray line(128, '\0');
    QByteArray expected(128, '\0');
    for (int i = 0; i < 128; ++i) {
        const bool track = i >= 30 && i < 98;
        line[i] = char(track ? 150 + (i * 13) % 40 : 20 + (i * 7) % 30);
        expected[i] = char(track ? 255 : 0);
    }
    line[64] = char(254);
    QCOMPARE(apply(otsu, line, 128, 1), expected);

    QCOMPARE(apply(otsu, QByteArray(128, char(90)), 128, 1), QByteArray(128, '\0'));
}

void TestAlgorithmDll::otsuExampleOnPicture()
{
    DialogDriver driver;
    driver.fileAnswers << QStringLiteral(EXAMPLE_PLUGIN_OTSU);
    QString name;
    ImgProcFunc otsu = nullptr;
    QVERIFY(openAlgorithmDll(name, otsu));

    // An 80 x 60 picture: dark background, a bright trapezoid of track that
    // narrows towards the top row.
    const int width = 80;
    const int height = 60;
    QByteArray picture(width * height, '\0');
    QByteArray expected(width * height, '\0');
    for (int y = 0; y < height; ++y) {
        const int half = 10 + y / 2;
        for (int x = 0; x < width; ++x) {
            const bool track = qAbs(x - width / 2) < half;
            picture[y * width + x] = char(track ? 180 + (x + y) % 50 : 30 + (x * y) % 60);
            expected[y * width + x] = char(track ? 255 : 0);
        }
    }
    QCOMPARE(apply(otsu, picture, width, height), expected);

    // Nothing to do for an empty size: the output is left alone.
    QCOMPARE(apply(otsu, QByteArray(4, char(100)), 0, 4), QByteArray(4, char(0x5A)));
}

void TestAlgorithmDll::pluginsHaveThePlatformsNames()
{
    // What the README names and the dialog lists: lib*.so, lib*.dylib, or
    // *.dll without a prefix whichever compiler made it.
#if defined(Q_OS_WIN)
    const QString prefix;
#else
    const QString prefix = QStringLiteral("lib");
#endif
    const QString plugins[][2] = {
        { QStringLiteral(EXAMPLE_PLUGIN_OTSU), QStringLiteral("otsu_threshold") },
        { QStringLiteral(TESTPLUGIN_INVERT), QStringLiteral("testplugin_invert") },
        { QStringLiteral(TESTPLUGIN_NOENTRY), QStringLiteral("testplugin_noentry") },
    };
    for (const auto &plugin : plugins) {
        const QString fileName = QFileInfo(plugin[0]).fileName();
        QCOMPARE(fileName, prefix + plugin[1] + librarySuffix());

        DialogDriver driver;
        driver.fileAnswers << plugin[0];
        QString name;
        ImgProcFunc imgProc = nullptr;
        openAlgorithmDll(name, imgProc);
        QCOMPARE(driver.fileFilters.size(), 1);
        const QString filter = driver.fileFilters.at(0);
        const qsizetype open = filter.indexOf(QLatin1Char('('));
        const QStringList patterns
                = filter.mid(open + 1, filter.lastIndexOf(QLatin1Char(')')) - open - 1)
                          .split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QVERIFY2(QDir::match(patterns, fileName), qPrintable(filter));
    }
}

QTEST_MAIN(TestAlgorithmDll)
#include "tst_algorithmdll.moc"

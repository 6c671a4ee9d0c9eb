#include "ccd.h"
#include "mainwindow.h"
#include "pictureseries.h"
#include "picview.h"
#include "testsupport.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

// Grey levels 0..254 that differ from picture to picture.
QByteArray picture(int number, int width = 120, int height = 40)
{
    QByteArray bytes;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            bytes.append(char((x * 3 + y * 5 + number * 41) % 255));
    }
    return bytes;
}

QAction *menuAction(QWidget *view, const QString &text)
{
    for (QAction *action : view->actions()) {
        if (action->text() == text)
            return action;
    }
    qFatal("no menu entry %s", qPrintable(text));
}

// A PNG file's pixels as grey levels, or "<unreadable>".
QByteArray pngGreys(const QString &path)
{
    QImage image;
    if (!image.load(path, "PNG"))
        return QByteArray("<unreadable>");
    return imageBytes(image.convertToFormat(QImage::Format_Grayscale8));
}

// Records each new picture a view paints from now on.
class ShownPictures : public QObject
{
public:
    explicit ShownPictures(PicView *view)
        : m_last(imageBytes(*view->image()))
    {
        view->installEventFilter(this);
    }

    QList<QByteArray> pictures;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            const QByteArray bytes = imageBytes(*static_cast<PicView *>(watched)->image());
            if (bytes != m_last)
                pictures.append(bytes);
            m_last = bytes;
        }
        return false;
    }

private:
    QByteArray m_last;
};

PicView *view(CCD *tab, const char *groupBox)
{
    return tab->findChild<QGroupBox *>(QLatin1String(groupBox))->findChild<PicView *>();
}

} // namespace

// Saving the camera tab's pictures as PNG, one at a time or as a series.
class TestCameraExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void savesBothPicturesAsPng();
    void seriesOverTheSerialLine();
    void seriesStopsAtTheFirstError();
    void seriesNeverReplacesFiles();

private:
    std::unique_ptr<DialogDriver> m_dialogs;
    QTemporaryDir m_dir;
};

void TestCameraExport::init()
{
    m_dialogs = std::make_unique<DialogDriver>();
}

void TestCameraExport::cleanup()
{
    m_dialogs.reset();
}

void TestCameraExport::savesBothPicturesAsPng()
{
    CCD tab(nullptr);
    tab.show();
    tab.findChild<QSpinBox *>("spinBoxWidth")->setValue(37);
    tab.findChild<QSpinBox *>("spinBoxHeight")->setValue(11);
    const QByteArray pixels = picture(1, 37, 11);
    QByteArray buffer = pixels + char(0xFF);
    tab.handleData(buffer);

    PicView *picView = view(&tab, "groupBoxPic");
    PicView *binView = view(&tab, "groupBoxBinPic");
    const QString picturePath = m_dir.filePath(QStringLiteral("picture.png"));
    const QString binaryPath = m_dir.filePath(QStringLiteral("binary.png"));
    m_dialogs->fileAnswers << picturePath << binaryPath;
    menuAction(picView, QStringLiteral("保存图像(PNG)"))->trigger();
    menuAction(binView, QStringLiteral("保存二值化图像(PNG)"))->trigger();
    QVERIFY(m_dialogs->boxes.isEmpty());
    QCOMPARE(m_dialogs->fileFilters.value(0), QStringLiteral("PNG图像(*.png)"));
    QVERIFY(m_dialogs->offeredNames.value(0).startsWith(QStringLiteral("camera_")));
    QVERIFY(m_dialogs->offeredNames.value(1).startsWith(QStringLiteral("camera-binary_")));

    // The series control follows the bottom row's listed items, the framing
    // choice comes last.
    auto *row = tab.findChild<QHBoxLayout *>(QStringLiteral("horizontalLayout"));
    QCOMPARE(row->count(), 7);
    QCOMPARE(row->itemAt(6)->widget()->objectName(), QStringLiteral("groupBox_format"));
    QCOMPARE(row->itemAt(4)->widget()->objectName(), QStringLiteral("frame"));
    QVERIFY(row->itemAt(5)->layout()->indexOf(
                    tab.findChild<QToolButton *>(QStringLiteral("toolButton_series")))
            >= 0);

    // At the picture's own size, pixel for pixel what each view holds.
    QCOMPARE(pngGreys(picturePath), pixels);
    QCOMPARE(pngGreys(binaryPath), imageBytes(*binView->image()));
    QCOMPARE(QImage(picturePath).size(), QSize(37, 11));
    QVERIFY(imageBytes(*binView->image()).contains(char(0xFF)));
    QVERIFY(imageBytes(*binView->image()).contains('\0'));
}

void TestCameraExport::seriesOverTheSerialLine()
{
    SKIP_WITHOUT_SOCAT();
    VirtualSerialPair pair;
    QVERIFY2(pair.start(), "socat did not make a port pair");

    MainWindow window;
    window.show();
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    auto *tab = qobject_cast<CCD *>(tabs->widget(3));
    tabs->setCurrentIndex(3);
    PicView *picView = view(tab, "groupBoxPic");
    window.findChild<QComboBox *>(QStringLiteral("comList"))->setEditText(pair.first());
    window.findChild<QPushButton *>(QStringLiteral("openPort"))->click();
    QSerialPort board(pair.second());
    QVERIFY(board.open(QIODevice::WriteOnly));

    const QString folder = m_dir.filePath(QStringLiteral("series"));
    QVERIFY(QDir().mkpath(folder));
    m_dialogs->fileAnswers << folder;
    auto *button = tab->findChild<QToolButton *>(QStringLiteral("toolButton_series"));
    button->click();
    QVERIFY(button->isChecked());

    // Pictures one by one, then several in one write: of those that arrive
    // in one read only the newest is shown, and only what is shown is saved.
    ShownPictures shown(picView);
    for (int n = 1; n <= 4; ++n) {
        board.write(picture(n) + char(0xFF));
        QVERIFY(board.waitForBytesWritten(5000));
        QTRY_VERIFY_WITH_TIMEOUT(imageBytes(*picView->image()) == picture(n), 10000);
    }
    board.write(picture(5) + char(0xFF) + picture(6) + char(0xFF) + picture(7) + char(0xFF));
    QVERIFY(board.waitForBytesWritten(5000));
    QTRY_VERIFY_WITH_TIMEOUT(imageBytes(*picView->image()) == picture(7), 10000);
    picView->removeEventFilter(&shown);
    QCOMPARE(shown.pictures.first(), picture(1));
    QCOMPARE(tab->findChild<QLabel *>(QStringLiteral("label_seriesCount"))->text(),
             QStringLiteral("%1 张").arg(shown.pictures.size()));

    // Switched off, the next picture is shown but not saved.
    button->click();
    QVERIFY(!button->isChecked());
    board.write(picture(8) + char(0xFF));
    QVERIFY(board.waitForBytesWritten(5000));
    QTRY_VERIFY_WITH_TIMEOUT(imageBytes(*picView->image()) == picture(8), 10000);

    const QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name);
    QCOMPARE(files.size(), shown.pictures.size());
    const QRegularExpression name(QStringLiteral("^camera_\\d{8}-\\d{6}_(\\d{6})\\.png$"));
    for (int i = 0; i < files.size(); ++i) {
        const QRegularExpressionMatch match = name.match(files[i]);
        QVERIFY2(match.hasMatch(), qPrintable(files[i]));
        QCOMPARE(match.captured(1).toInt(), i + 1);
        QCOMPARE(pngGreys(QDir(folder).filePath(files[i])), shown.pictures[i]);
    }
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestCameraExport::seriesStopsAtTheFirstError()
{
    CCD tab(nullptr);
    tab.show();
    auto *button = tab.findChild<QToolButton *>(QStringLiteral("toolButton_series"));
    const auto deliver = [&](int n) {
        QByteArray buffer = picture(n) + char(0xFF);
        tab.handleData(buffer);
    };

    // A cancelled folder dialog leaves the series off.
    button->click();
    QVERIFY(!button->isChecked());

    const QString refused = unwritableFolder(m_dir.path());
    if (refused.isEmpty())
        QSKIP("no folder that refuses new files");
    m_dialogs->fileAnswers << refused;
    button->click();
    QVERIFY(button->isChecked());
    for (int n = 0; n < 3; ++n)
        deliver(n);
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes[0].title, QStringLiteral("错误"));
    QVERIFY2(QRegularExpression(
                     QStringLiteral("^无法打开文件.*_000001\\.png，是否被其他程序占用？$"))
                     .match(m_dialogs->boxes[0].text)
                     .hasMatch(),
             qPrintable(m_dialogs->boxes[0].text));
    QVERIFY(!button->isChecked());

    // The disk fills up after two pictures.
    const QString folder = m_dir.filePath(QStringLiteral("full"));
    QVERIFY(QDir().mkpath(folder));
    m_dialogs->fileAnswers << folder;
    button->click();
    QVERIFY(button->isChecked());
    deliver(10);
    const qint64 fileSize
            = QFileInfo(QDir(folder).filePath(QDir(folder).entryList(QDir::Files).value(0))).size();
    QVERIFY(fileSize > 0);
    {
        FileSizeLimit limit(fileSize + fileSize / 2);
        if (!limit.isActive())
            QSKIP("needs a file size limit");
        // A picture of noise does not compress: it cannot fit.
        QRandomGenerator random(16);
        QByteArray noise(120 * 40, '\0');
        for (char &pixel : noise)
            pixel = char(random.bounded(255));
        deliver(11);
        QByteArray buffer = noise + char(0xFF);
        tab.handleData(buffer);
        deliver(12);
    }
    QCOMPARE(m_dialogs->boxes.size(), 2);
    QVERIFY2(m_dialogs->boxes[1].text.startsWith(QStringLiteral("写入文件") + folder),
             qPrintable(m_dialogs->boxes[1].text));
    QVERIFY(m_dialogs->boxes[1].text.endsWith(QStringLiteral("_000003.png失败！")));
    QVERIFY(!button->isChecked());
    // The two whole pictures, and nothing of the third.
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
    QCOMPARE(tab.findChild<QLabel *>(QStringLiteral("label_seriesCount"))->text(),
             QStringLiteral("2 张"));
}

void TestCameraExport::seriesNeverReplacesFiles()
{
    QImage first(4, 2, QImage::Format_Grayscale8);
    first.fill(10);
    QImage second = first;
    second.fill(20);
    const QDateTime time(QDate(2024, 5, 1), QTime(14, 3, 7));
    PictureSeries series;
    series.start(m_dir.path(), time);
    QCOMPARE(series.save(first), SaveResult::Saved);
    QCOMPARE(series.lastFileName(),
             m_dir.filePath(QStringLiteral("camera_20240501-140307_000001.png")));
    // Begun again within the same second.
    series.start(m_dir.path(), time);
    QCOMPARE(series.save(second), SaveResult::Saved);
    QCOMPARE(series.lastFileName(),
             m_dir.filePath(QStringLiteral("camera_20240501-140307-2_000001.png")));
    QCOMPARE(pngGreys(m_dir.filePath(QStringLiteral("camera_20240501-140307_000001.png"))),
             QByteArray(8, char(10)));
    QCOMPARE(pngGreys(series.lastFileName()), QByteArray(8, char(20)));
}

QTEST_MAIN(TestCameraExport)
#include "tst_camera_export.moc"

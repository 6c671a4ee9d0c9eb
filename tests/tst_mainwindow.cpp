#include "aboutdialog.h"
#include "ccd.h"
#include "comassistant.h"
#include "linearccd.h"
#include "mainwindow.h"
#include "oscilloscope.h"
#include "plotter.h"
#include "portwatcher.h"
#include "serialpanel.h"
#include "testsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMutex>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <memory>

// Receives the URLs the program hands to the desktop instead of a browser.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};

// The main window without a serial device: its form, start-up state, the
// open button's failures, the About dialog and the web links.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void startupState();
    void menus();
    void openWithoutPortOrWithBadDevice();
    void openChosenPortIsTheButton();
    void portListFollowsTheCable();
    void statusBarFitsTheSmallestWindow();
    void aboutDialog();
    void links();
    void exitClosesWindow();
};

void TestMainWindow::startupState()
{
    MainWindow window;
    window.show();
    QCOMPARE(window.windowTitle(), QStringLiteral("Tessavo智能车调试助手--软件版 Beta"));
    QCOMPARE(window.minimumSize(), QSize(1000, 550));
    QVERIFY(!window.windowIcon().isNull());

    auto *baud = window.findChild<QComboBox *>("baudrateList");
    QCOMPARE(baud->count(), 11);
    QCOMPARE(baud->itemText(0), QStringLiteral("2400"));
    QCOMPARE(baud->itemText(10), QStringLiteral("256000"));
    QCOMPARE(baud->currentText(), QStringLiteral("115200"));
    QCOMPARE(window.findChild<QComboBox *>("ParityList")->currentText(), QStringLiteral("无"));
    QCOMPARE(window.findChild<QComboBox *>("ParityList")->itemText(2), QStringLiteral("偶校验"));
    QCOMPARE(window.findChild<QComboBox *>("DataBitsList")->currentText(), QStringLiteral("8"));
    QCOMPARE(window.findChild<QComboBox *>("DataBitsList")->itemText(3), QStringLiteral("5"));
    QCOMPARE(window.findChild<QComboBox *>("StopBitsList")->currentText(), QStringLiteral("1"));
    QVERIFY(window.findChild<QComboBox *>("comList")->isEditable());

    auto *open = window.findChild<QPushButton *>("openPort");
    QCOMPARE(open->text(), QStringLiteral("打开串口"));
    QVERIFY(open->isCheckable());

    auto *tabs = window.findChild<QTabWidget *>("tabWidget");
    // The four written tabs keep their places; the plotter comes after them.
    QCOMPARE(tabs->count(), 5);
    QCOMPARE(tabs->currentIndex(), 0);
    const QStringList titles
            = { QStringLiteral("串口助手"), QStringLiteral("示波器"), QStringLiteral("线性ccd"),
                QStringLiteral("摄像头"), QStringLiteral("曲线") };
    for (int i = 0; i < 5; ++i)
        QCOMPARE(tabs->tabText(i), titles.at(i));
    QVERIFY(qobject_cast<ComAssistant *>(tabs->widget(0)));
    QVERIFY(qobject_cast<Oscilloscope *>(tabs->widget(1)));
    QVERIFY(qobject_cast<LinearCCD *>(tabs->widget(2)));
    QVERIFY(qobject_cast<CCD *>(tabs->widget(3)));
    QVERIFY(qobject_cast<Plotter *>(tabs->widget(4)));

    auto *logo = window.findChild<QLabel *>("LabelPic");
    QVERIFY(!logo->pixmap().isNull());
    QCOMPARE(logo->pixmap().size(), QSize(230, 70));
    QVERIFY(logo->width() <= 140 && logo->height() <= 45);
    QVERIFY(window.findChild<QLabel *>("LableLink")
                    ->text()
                    .contains(QStringLiteral("点击进入淘宝店")));
}

void TestMainWindow::menus()
{
    MainWindow window;
    const QList<QAction *> bar = window.menuBar()->actions();
    QCOMPARE(bar.size(), 2);
    QCOMPARE(bar.at(0)->text(), QStringLiteral("文件"));
    QCOMPARE(bar.at(1)->text(), QStringLiteral("关于"));
    const QList<QAction *> file = bar.at(0)->menu()->actions();
    QCOMPARE(file.size(), 1);
    QCOMPARE(file.at(0)->objectName(), QStringLiteral("exit"));
    QCOMPARE(file.at(0)->text(), QStringLiteral("退出"));
    const QList<QAction *> about = bar.at(1)->menu()->actions();
    QCOMPARE(about.size(), 2);
    QCOMPARE(about.at(0)->text(), QStringLiteral("购买硬件"));
    QCOMPARE(about.at(0)->toolTip(), QStringLiteral("Tessavo智能车专卖店"));
    QCOMPARE(about.at(1)->text(), QStringLiteral("关于"));
}

void TestMainWindow::openWithoutPortOrWithBadDevice()
{
    MainWindow window;
    window.show();
    DialogDriver dialogs;
    QSignalSpy opened(&window, &MainWindow::comOpen);
    auto *list = window.findChild<QComboBox *>("comList");
    auto *open = window.findChild<QPushButton *>("openPort");

    list->clear();
    list->setEditText(QString());
    QTest::mouseClick(open, Qt::LeftButton);
    QCOMPARE(dialogs.boxes.size(), 1);
    QCOMPARE(dialogs.boxes.at(0).title, QStringLiteral("错误"));
    QCOMPARE(dialogs.boxes.at(0).text, QStringLiteral("不能打开指定串口\n请检查串口是否被占用"));
    QCOMPARE(dialogs.boxes.at(0).icon, QMessageBox::Critical);
    QCOMPARE(open->text(), QStringLiteral("打开串口"));

    list->setEditText(QStringLiteral("/nonexistent/ttyNothing"));
    QTest::mouseClick(open, Qt::LeftButton);
    QCOMPARE(dialogs.boxes.size(), 2);
    QCOMPARE(dialogs.boxes.at(1).text, QStringLiteral("无法打开该串口！"));
    QVERIFY(dialogs.boxes.at(1).hasParent);
    QCOMPARE(open->text(), QStringLiteral("打开串口"));
    for (const char *name : { "comList", "baudrateList", "updataComBnt", "ParityList",
                              "DataBitsList", "StopBitsList" })
        QVERIFY(window.findChild<QWidget *>(name)->isEnabled());
    QCOMPARE(opened.size(), 0);
    QVERIFY(!window.findChild<QSerialPort *>());
}

void TestMainWindow::openChosenPortIsTheButton()
{
    MainWindow window;
    window.show();
    DialogDriver dialogs;
    window.serialPanel()->setPortEntry(QStringLiteral("/nonexistent/ttyNothing"));
    window.serialPanel()->openChosenPort();
    QCOMPARE(dialogs.boxes.size(), 1);
    QCOMPARE(dialogs.boxes.at(0).text, QStringLiteral("无法打开该串口！"));
    QCOMPARE(window.findChild<QPushButton *>("openPort")->text(), QStringLiteral("打开串口"));
}

void TestMainWindow::portListFollowsTheCable()
{
    MainWindow window;
    window.show();
    // The ports the system lists, as the watcher's thread reads them.
    struct Ports
    {
        QMutex mutex;
        QStringList names { "ttyUSB0" };
    };
    const auto system = std::make_shared<Ports>();
    const auto plug = [system](const QStringList &names) {
        const QMutexLocker locker(&system->mutex);
        system->names = names;
    };
    PortWatcher *watcher = window.serialPanel()->portWatcher();
    watcher->setScanner([system] {
        const QMutexLocker locker(&system->mutex);
        return system->names;
    });
    watcher->setInterval(10);
    QVERIFY(watcher->isActive());
    auto *list = window.findChild<QComboBox *>("comList");
    auto *refresh = window.findChild<QPushButton *>("updataComBnt");
    const auto items = [list] {
        QStringList names;
        for (int i = 0; i < list->count(); ++i)
            names << list->itemText(i);
        return names;
    };

    QTest::mouseClick(refresh, Qt::LeftButton);
    QCOMPARE(items(), QStringList { "ttyUSB0" });
    QCOMPARE(list->currentText(), QStringLiteral("ttyUSB0"));

    // A board plugged in appears; the choice stays.
    plug({ "ttyS0", "ttyUSB0", "ttyUSB1" });
    QTRY_COMPARE(items(), QStringList({ "ttyS0", "ttyUSB0", "ttyUSB1" }));
    QCOMPARE(list->currentText(), QStringLiteral("ttyUSB0"));
    QCOMPARE(list->currentIndex(), 1);
    // The chosen one pulled out: its name stays in the box, and is chosen
    // again when it comes back.
    plug({ "ttyS0", "ttyUSB1" });
    QTRY_COMPARE(items(), QStringList({ "ttyS0", "ttyUSB1" }));
    QCOMPARE(list->currentText(), QStringLiteral("ttyUSB0"));
    plug({ "ttyUSB1", "ttyUSB0" });
    QTRY_COMPARE(items(), QStringList({ "ttyUSB1", "ttyUSB0" }));
    QCOMPARE(list->currentIndex(), 1);
    // A typed path stays too, with the cursor where the user left it.
    list->setEditText(QStringLiteral("/tmp/virtual"));
    list->lineEdit()->setCursorPosition(4);
    plug({ "ttyS0" });
    QTRY_COMPARE(items(), QStringList({ "ttyS0" }));
    QCOMPARE(list->currentText(), QStringLiteral("/tmp/virtual"));
    QCOMPARE(list->lineEdit()->cursorPosition(), 4);
    // An empty box takes the first port that comes.
    plug({});
    QTRY_COMPARE(list->count(), 0);
    list->setEditText(QString());
    plug({ "ttyACM0", "ttyACM1" });
    QTRY_COMPARE(items(), QStringList({ "ttyACM0", "ttyACM1" }));
    QCOMPARE(list->currentText(), QStringLiteral("ttyACM0"));

    // 刷新 still selects the first port.
    list->setCurrentIndex(1);
    QTest::mouseClick(refresh, Qt::LeftButton);
    QCOMPARE(list->currentText(), QStringLiteral("ttyACM0"));
}

void TestMainWindow::statusBarFitsTheSmallestWindow()
{
    MainWindow window;
    window.resize(1000, 550);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), QSize(1000, 550));
    QVERIFY(window.findChild<QTabWidget *>("tabWidget")->height() >= 465);
    QStatusBar *bar = window.statusBar();
    QCOMPARE(bar->findChild<QLabel *>("portStateLabel")->text(), QStringLiteral("串口已关闭"));
    QCOMPARE(bar->findChild<QToolButton *>("trafficCounters")->text(),
             QStringLiteral("接收 0  发送 0"));
    QCOMPARE(bar->findChild<QLabel *>("receiveRateLabel")->text(), QStringLiteral("0 B/s"));
    auto *box = bar->findChild<QCheckBox *>("autoReconnectBox");
    QCOMPARE(box->text(), QStringLiteral("自动重连"));
    QVERIFY(!box->isChecked());
    for (QWidget *part : bar->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!part->isVisible())
            continue;
        QVERIFY2(bar->rect().contains(part->geometry()), qPrintable(part->objectName()));
    }
}

void TestMainWindow::aboutDialog()
{
    for (int run = 0; run < 2; ++run) {
        bool seen = false;
        // The dialog runs modally; look at it from inside its own event loop.
        QTimer::singleShot(50, this, [&] {
            auto *dialog = qobject_cast<AboutDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            seen = true;
            QCOMPARE(dialog->windowTitle(), QStringLiteral("关于"));
            QCOMPARE(dialog->size(), QSize(392, 211));
            QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
            QCOMPARE(dialog->findChild<QLabel *>("label")->text(),
                     QStringLiteral("Tessavo智能车调试助手 V1.0 Bate"));
            QVERIFY(dialog->findChild<QLabel *>("label_4")->text().contains(
                    QStringLiteral("2013")));
            QVERIFY(dialog->findChild<QLabel *>("label_5")->text().startsWith(
                    QStringLiteral("有问题或建议请发邮件到：")));
            auto *ok = dialog->findChild<QPushButton *>("pushButton");
            QCOMPARE(ok->text(), QStringLiteral("确定"));
            if (run == 0)
                QTest::mouseClick(ok, Qt::LeftButton);
            else
                dialog->close();
        });
        MainWindow window;
        window.findChild<QAction *>("about")->trigger();
        QVERIFY(seen);
        QVERIFY(!QApplication::activeModalWidget());
    }
}

void TestMainWindow::links()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
    {
        MainWindow window;
        auto *link = window.findChild<QLabel *>("LableLink");
        QVERIFY(!link->openExternalLinks());
        // The label's single link, as a click on it reports it.
        const QString text = link->text();
        const int start = text.indexOf(QStringLiteral("href=\"")) + 6;
        const QString href = text.mid(start, text.indexOf(QLatin1Char('"'), start) - start);
        emit link->linkActivated(href);
        window.findChild<QAction *>("buyHardware")->trigger();
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QCOMPARE(catcher.urls.size(), 2);
    QCOMPARE(catcher.urls.at(0), catcher.urls.at(1));
    QVERIFY(catcher.urls.at(0).isValid());
}

void TestMainWindow::exitClosesWindow()
{
    MainWindow window;
    window.show();
    QVERIFY(window.isVisible());
    window.findChild<QAction *>("exit")->trigger();
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

#include "aboutdialog.h"
#include "ccd.h"
#include "comassistant.h"
#include "framehealth.h"
#include "languagebutton.h"
#include "linearccd.h"
#include "mainwindow.h"
#include "oscilloscope.h"
#include "sendhistorybrowser.h"
#include "serialconnection.h"
#include "testsupport.h"
#include "uilanguage.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <functional>

namespace {

QString nameOf(const QObject *object)
{
    if (!object->objectName().isEmpty())
        return object->objectName();
    const QObject *parent = object->parent();
    return QStringLiteral("%1 in %2")
            .arg(QLatin1String(object->metaObject()->className()),
                 parent ? nameOf(parent) : QStringLiteral("nothing"));
}

// Every text a user can see or hover on under root, its widgets and every
// action reachable from them, menus and submenus included; those that hold
// Chinese are listed as "name what: text".
class ChineseTexts
{
public:
    QStringList found;

    void walk(QWidget *root)
    {
        QList<QWidget *> widgets = root->findChildren<QWidget *>();
        widgets.prepend(root);
        for (QWidget *widget : std::as_const(widgets)) {
            walkWidget(widget);
            for (QAction *action : widget->actions())
                walkAction(action);
        }
        for (QAction *action : root->findChildren<QAction *>())
            walkAction(action);
    }
    void check(const QObject *object, const QString &what, const QString &text)
    {
        // An action's tooltip and icon text repeat its text: each once.
        const QString key = nameOf(object) + QLatin1Char('\0') + text;
        if (!hasChinese(text) || m_reported.contains(key))
            return;
        m_reported.insert(key);
        found.append(QStringLiteral("%1 %2: %3").arg(nameOf(object), what, text));
    }

private:
    void walkWidget(QWidget *widget)
    {
        for (const char *property :
             { "text", "toolTip", "statusTip", "whatsThis", "windowTitle", "placeholderText",
               "plainText", "title", "prefix", "suffix", "specialValueText", "format" })
            check(widget, QLatin1String(property), widget->property(property).toString());
        if (auto *combo = qobject_cast<QComboBox *>(widget)) {
            for (int i = 0; i < combo->count(); ++i) {
                check(widget, QStringLiteral("item"), combo->itemText(i));
                check(widget, QStringLiteral("item tip"),
                      combo->itemData(i, Qt::ToolTipRole).toString());
            }
        }
        if (auto *bar = qobject_cast<QStatusBar *>(widget))
            check(widget, QStringLiteral("message"), bar->currentMessage());
        if (auto *tabs = qobject_cast<QTabBar *>(widget)) {
            for (int i = 0; i < tabs->count(); ++i) {
                check(widget, QStringLiteral("tab"), tabs->tabText(i));
                check(widget, QStringLiteral("tab tip"), tabs->tabToolTip(i));
            }
        }
    }
    void walkAction(QAction *action)
    {
        if (m_seen.contains(action))
            return;
        m_seen.insert(action);
        for (const char *property : { "text", "iconText", "toolTip", "statusTip", "whatsThis" })
            check(action, QLatin1String(property), action->property(property).toString());
        if (QMenu *menu = action->menu()) {
            walkWidget(menu);
            for (QAction *item : menu->actions())
                walkAction(item);
        }
    }

    QSet<QAction *> m_seen;
    QSet<QString> m_reported;
};

// QtTest cuts long messages: each offender goes to the log on a line of its
// own, the failure says how many there are.
QByteArray listed(const QStringList &found)
{
    for (const QString &entry : found)
        qWarning("%s", qPrintable(entry));
    return QByteArray::number(found.size()) + " texts in Chinese, listed above";
}

} // namespace

// With English chosen before any widget is built, nothing the window, its
// menus, the About dialog or the boxes show is left in Chinese.
class TestEnglish : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windowTexts_data();
    void windowTexts();
    void aboutDialog();
    void boxes();
    void countsInThousands();
    // Last: it takes the translation away again.
    void chineseAgain();

private:
    UiTranslation m_translation;
};

void TestEnglish::initTestCase()
{
    QVERIFY2(m_translation.apply(UiLanguage::English), "the English translation does not load");
    QCOMPARE(runningUiLanguage(), UiLanguage::English);
}

void TestEnglish::windowTexts_data()
{
    QTest::addColumn<int>("tab");
    int tab = 0;
    for (const char *name : { "terminal", "oscilloscope", "linear CCD", "camera" })
        QTest::newRow(name) << tab++;
}

// Each tab with something received, so that its figures and notes show.
void TestEnglish::windowTexts()
{
    QFETCH(int, tab);
    MainWindow window;
    window.setCurrentTab(tab);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *health = window.findChild<QLabel *>(QStringLiteral("frameHealthLabel"));
    QVERIFY(health);
    ChineseTexts texts;
    QByteArray bytes;
    QMenu history;
    history.setObjectName(QStringLiteral("sendEditorMenu"));
    switch (tab) {
    case 0:
        // The receive pane tells what it leaves out.
        window.terminal()->setReceiveLimits(1024 * 1024, 64);
        for (int line = 0; line < 50; ++line) {
            bytes = QByteArray(63, 'a') + '\n';
            window.terminal()->handleData(bytes);
        }
        window.terminal()->findChild<SendHistoryBrowser *>()->addActions(&history);
        // What the status bar says when a language is chosen.
        for (QAction *language : window.languageButton()->languageMenu()->actions()) {
            language->trigger();
            texts.walk(window.statusBar());
        }
        break;
    case 1:
        bytes = QByteArray::fromHex("FFFF1000200030004000AA").repeated(5);
        window.oscilloscope()->handleData(bytes);
        break;
    case 2:
        bytes = (QByteArray(128, '\x40') + '\xFF').repeated(3);
        window.linearCCD()->handleData(bytes);
        break;
    case 3: {
        const QSize size = window.ccd()->pictureSize();
        bytes = (QByteArray(size.width() * size.height(), '\x30') + '\xFF').repeated(2);
        window.ccd()->handleData(bytes);
        break;
    }
    }
    if (tab > 0)
        QTRY_VERIFY(!health->text().isEmpty() && !health->toolTip().isEmpty());

    texts.walk(&window);
    texts.walk(&history);
    QVERIFY2(texts.found.isEmpty(), listed(texts.found));
}

void TestEnglish::aboutDialog()
{
    AboutDialog about;
    ChineseTexts texts;
    texts.walk(&about);
    QVERIFY2(texts.found.isEmpty(), listed(texts.found));
}

// The boxes a user meets, each driven through the window as a click would.
void TestEnglish::boxes()
{
    QTemporaryDir dir;
    MainWindow window;
    window.show();
    DialogDriver dialogs;
    ChineseTexts texts;
    QStringList missing;
    const auto expectBox = [&](const char *what, const std::function<void()> &act) {
        const qsizetype before = dialogs.boxes.size();
        act();
        if (dialogs.boxes.size() == before)
            missing.append(QLatin1String(what));
        for (qsizetype i = before; i < dialogs.boxes.size(); ++i) {
            const DialogDriver::Box &box = dialogs.boxes.at(i);
            texts.check(&window, QStringLiteral("box %1 title").arg(what), box.title);
            texts.check(&window, QStringLiteral("box %1").arg(what), box.text);
            texts.check(&window, QStringLiteral("box %1 buttons").arg(what),
                        box.buttons.join(QLatin1Char('/')));
        }
    };
    const auto click = [&window](const char *name) {
        QTest::mouseClick(window.findChild<QAbstractButton *>(QLatin1String(name)), Qt::LeftButton);
    };
    auto *ports = window.findChild<QComboBox *>(QStringLiteral("comList"));
    auto *sendEditor = window.findChild<QPlainTextEdit *>(QStringLiteral("DataSend"));
    const QString folder = unwritableFolder(dir.path());

    expectBox("no such port", [&] {
        ports->setEditText(dir.filePath(QStringLiteral("ttyNone")));
        click("openPort");
    });
    expectBox("send without a port", [&] { click("SendBnt"); });
#ifdef Q_OS_UNIX
    expectBox("open a device as a file", [&] {
        dialogs.fileAnswers << QStringLiteral("/dev/zero");
        click("OpenDataBnt");
    });
#endif
    expectBox("open a large file", [&] {
        QFile large(dir.filePath(QStringLiteral("large.txt")));
        QVERIFY(large.open(QIODevice::WriteOnly));
        QVERIFY(large.resize(1024 * 1024 + 1));
        dialogs.fileAnswers << large.fileName();
        click("OpenDataBnt");
    });
    expectBox("scope limits", [&] {
        window.setCurrentTab(1);
        window.oscilloscope()
                ->findChild<QDoubleSpinBox *>(QStringLiteral("doubleSpinBox_ch1max"))
                ->setValue(-1.0);
    });
    expectBox("algorithm", [&] {
        window.setCurrentTab(3);
        QFile text(dir.filePath(QStringLiteral("text.so")));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a library\n") > 0);
        dialogs.fileAnswers << text.fileName();
        QTest::mouseClick(
                window.ccd()->findChild<QPushButton *>(QStringLiteral("pushButton_openDll")),
                Qt::LeftButton);
    });
    if (!folder.isEmpty()) {
        expectBox("save", [&] {
            window.setCurrentTab(0);
            QByteArray saved("saved\n");
            window.terminal()->handleData(saved);
            dialogs.fileAnswers << QDir(folder).filePath(QStringLiteral("out.txt"));
            click("SaveDataGettedBnt");
        });
    }
    // Cancelled at once: only its title and filters count.
    click("replayButton");

    // With a port open: what the status bar says, a send that is not
    // hexadecimal, and a recording that cannot be written.
    VirtualSerialPair pair;
    if (pair.start()) {
        ports->setEditText(pair.first());
        click("openPort");
        QVERIFY(window.connection()->isOpen());
        texts.walk(window.statusBar());
        expectBox("hexadecimal send", [&] {
            window.setCurrentTab(0);
            click("SendHexBnt");
            sendEditor->setPlainText(QStringLiteral("ZZ"));
            click("SendBnt");
        });
        if (!folder.isEmpty()) {
            expectBox("recording", [&] {
                dialogs.fileAnswers << QDir(folder).filePath(QStringLiteral("out.cap"));
                click("recordButton");
            });
        }
    } else {
        qWarning("no virtual serial ports: the boxes of an open port are not shown");
    }
    for (const QString &title : std::as_const(dialogs.fileTitles))
        texts.check(&window, QStringLiteral("file dialog title"), title);
    for (const QString &filters : std::as_const(dialogs.fileFilters))
        texts.check(&window, QStringLiteral("file dialog filters"), filters);
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("no box for: ") + missing.join(u", ")));
    QVERIFY2(texts.found.isEmpty(), listed(texts.found));
}

void TestEnglish::countsInThousands()
{
    QCOMPARE(FrameHealth::countText(123456), QStringLiteral("123k"));
}

void TestEnglish::chineseAgain()
{
    QVERIFY(m_translation.apply(UiLanguage::Chinese));
    QCOMPARE(runningUiLanguage(), UiLanguage::Chinese);
    MainWindow window;
    QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("openPort"))->text(),
             QStringLiteral("打开串口"));
    QCOMPARE(FrameHealth::countText(123456), QStringLiteral("12.3万"));
}

QTEST_MAIN(TestEnglish)
#include "tst_english.moc"

#include "aboutdialog.h"
#include "appfont.h"
#include "ccd.h"
#include "linearccd.h"
#include "mainwindow.h"
#include "paramseteditor.h"
#include "picview.h"
#include "plotter.h"
#include "spectrumpage.h"
#include "textfit.h"
#include "tuningdock.h"
#include "tuningpanel.h"
#include "uilanguage.h"
#include "waveview.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>

namespace {

// The scope's limit boxes take -100 V to 100 V with three decimals in 61 px.
// Their range ends ("-100.000V") fit no legible font there, nor did they fit
// the Windows font the forms were drawn for; the values they show do fit.
bool rangeEndOfScopeLimit(const TextRoom &room)
{
    return room.rangeEnd && room.objectName.startsWith(QLatin1String("doubleSpinBox_ch"));
}

QStringList cutTexts(const QWidget *root)
{
    QStringList cut;
    for (const TextRoom &room : measureTexts(root)) {
        if (!room.fits() && !rangeEndOfScopeLimit(room))
            cut.append(room.describe());
    }
    return cut;
}

QStringList namesIn(const QStringList &problems)
{
    QStringList names;
    for (const QString &problem : problems)
        names.append(problem.section(QLatin1Char(' '), 0, 0));
    names.removeDuplicates();
    names.sort();
    return names;
}

// Port names as a Linux machine lists them; the ports of the machine running
// the test would make it depend on that machine.
void listTypicalPorts(MainWindow &window)
{
    auto *ports = window.findChild<QComboBox *>("comList");
    ports->clear();
    ports->addItems(
            { QStringLiteral("ttyUSB0"), QStringLiteral("ttyACM0"), QStringLiteral("ttyS0") });
}

} // namespace

// The texts of the forms in the program's font: the main window with each
// tab, the About dialog, and the tabs' read-outs at their widest.
class TestTextFit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void measuresWhatTheStyleDraws();
    void mainWindow_data();
    void mainWindow();
    void widestReadouts();
    void aboutDialog();
    void tuningPanelAndEditor();

private:
    UiTranslation m_translation;
};

void TestTextFit::initTestCase()
{
    applyFormFont();
    // Registered a second time with TEXTFIT_LANGUAGE=en: the English texts
    // must fit the same room.
    if (qEnvironmentVariable("TEXTFIT_LANGUAGE") == QLatin1String("en"))
        QVERIFY(m_translation.apply(UiLanguage::English));
    // Without the font every measurement below is of a fallback.
    QVERIFY2(QFontInfo(QApplication::font()).family() == QLatin1String("WenQuanYi Micro Hei"),
             "install fonts-wqy-microhei");
}

// The measuring itself: each kind of widget is reported by name when its
// text is cut, and not when the same widget is wide enough.
void TestTextFit::measuresWhatTheStyleDraws()
{
    for (const int width : { 30, 200 }) {
        QWidget page;
        auto *layout = new QVBoxLayout(&page);
        auto add = [&](QWidget *widget, const char *name) {
            widget->setObjectName(QLatin1String(name));
            widget->setFixedWidth(width);
            layout->addWidget(widget);
        };
        add(new QLabel(QStringLiteral("校验位校验位:")), "plain");
        add(new QLabel(QStringLiteral("<p align=\"center\"><a href=\"x\">只为专业<br/>"
                                      "点击进入淘宝店</a></p>")),
            "rich");
        add(new QPushButton(QStringLiteral("打开串口")), "push");
        add(new QRadioButton(QStringLiteral("中间值作为阀值")), "radio");
        auto *combo = new QComboBox;
        combo->addItems({ QStringLiteral("1"), QStringLiteral("115200") });
        add(combo, "combo");
        auto *spin = new QDoubleSpinBox;
        spin->setSuffix(QStringLiteral("V"));
        spin->setDecimals(3);
        spin->setValue(5.0);
        add(spin, "spin");
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));

        const QStringList problems = textsThatDoNotFit(&page);
        if (width == 200) {
            QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
            continue;
        }
        QCOMPARE(namesIn(problems),
                 QStringList({ "combo", "plain", "push", "radio", "rich", "spin" }));
        // Every item of a closed box is measured, not only the current one.
        QVERIFY(problems.filter(QStringLiteral("combo \"115200\"")).size() == 1);
        QVERIFY(problems.filter(QStringLiteral("spin \"5.000V\"")).size() == 1);
    }

    // A label taller than its room, and the hidden widgets that are skipped.
    QWidget page;
    auto *twoLines = new QLabel(QStringLiteral("注：\n中间值"), &page);
    twoLines->setObjectName(QStringLiteral("twoLines"));
    twoLines->setGeometry(0, 0, 100, 12);
    auto *hidden = new QLabel(QStringLiteral("中间值作为阀值"), &page);
    hidden->setGeometry(0, 20, 10, 20);
    hidden->hide();
    page.show();
    const QStringList problems = textsThatDoNotFit(&page);
    QCOMPARE(namesIn(problems), QStringList({ "twoLines" }));
}

void TestTextFit::mainWindow_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("tab");
    for (const QSize &size : { QSize(1000, 550), QSize(1280, 800) }) {
        for (int tab = 0; tab < 5; ++tab) {
            const QByteArray name = QStringLiteral("%1x%2 tab %3")
                                            .arg(size.width())
                                            .arg(size.height())
                                            .arg(tab)
                                            .toLatin1();
            QTest::newRow(name.constData()) << size << tab;
        }
    }
}

void TestTextFit::mainWindow()
{
    QFETCH(QSize, size);
    QFETCH(int, tab);
    MainWindow window;
    listTypicalPorts(window);
    window.resize(size);
    window.findChild<QTabWidget *>("tabWidget")->setCurrentIndex(tab);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), size);

    const QStringList cut = cutTexts(&window);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
}

// The statistics and cursor labels show what the board sends and where the
// mouse is: the widest of those must fit as well as the form's own texts.
void TestTextFit::widestReadouts()
{
    MainWindow window;
    listTypicalPorts(window);
    auto *tabs = window.findChild<QTabWidget *>("tabWidget");
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QByteArray buffer(127, char(254));
    buffer.append(char(0)).append(char(0xFF));
    tabs->setCurrentIndex(2);
    auto *linearCcd = qobject_cast<LinearCCD *>(tabs->currentWidget());
    linearCcd->handleData(buffer);
    emit linearCcd->findChild<WaveView *>()->mouseMove(QPoint(127, 255));
    QCOMPARE(linearCcd->findChild<QLabel *>("pos")->text(), QStringLiteral("127,255"));
    QStringList cut = cutTexts(&window);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));

    tabs->setCurrentIndex(3);
    auto *camera = qobject_cast<CCD *>(tabs->currentWidget());
    emit camera->findChild<PicView *>()->cursorValue(319, 239, 254);
    QCOMPARE(camera->findChild<QLabel *>("labelCursorPos")->text(), QStringLiteral("(319,239)"));
    cut = cutTexts(&window);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));

    // The plotter with the framing it picked, sixteen channels in its legend
    // and its figures at their widest.
    tabs->setCurrentIndex(4);
    auto *plotter = qobject_cast<Plotter *>(tabs->currentWidget());
    QByteArray lines;
    for (int n = 0; n < 3; ++n)
        lines += "-1.23456e+07,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16\n";
    plotter->handleData(lines);
    plotter->showStatistics(
            PlotStats { 123456789, 123456789, 123456789, 9999, 123456789, 123456789, 0, 0 });
    QTRY_VERIFY(!plotter->findChild<QLabel *>("label_detected")->text().isEmpty());
    cut = cutTexts(&window);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
    // The spectrum's controls, every one of them in use.
    plotter->setView(Plotter::View::Spectrum);
    plotter->spectrumPage()->setManualRate(999999.99);
    plotter->spectrumPage()->findChild<QComboBox *>("comboBox_decibels")->setCurrentIndex(1);
    // The XY view's controls, choosing among those channels.
    plotter->setView(Plotter::View::XY);
    QTRY_COMPARE(plotter->findChild<QComboBox *>("comboBox_x")->count(), 16);
    cut = cutTexts(&window);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
}

void TestTextFit::aboutDialog()
{
    AboutDialog about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QCOMPARE(about.size(), QSize(392, 211));
    const QStringList cut = cutTexts(&about);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
}

// The tuning panel with the sample set, and its editor on each kind of item.
void TestTextFit::tuningPanelAndEditor()
{
    QFile file(QStringLiteral(SAMPLE_PARAMS));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const ParamSet set = *ParamSet::fromJson(file.readAll(), nullptr);
    MainWindow window;
    window.show();
    window.tuningDock()->panel()->setParamSet(set);
    window.tuningDock()->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.tuningDock()));
    QStringList cut = cutTexts(window.tuningDock());

    ParamSetEditor editor(set);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    auto *controls = editor.findChild<QListWidget *>("controlList");
    for (const int row : { 0, 4, 5 }) {
        controls->setCurrentRow(row);
        cut += cutTexts(&editor);
    }
    editor.findChild<QListWidget *>("commandList")->setCurrentRow(0);
    cut += cutTexts(&editor);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestTextFit)
#include "tst_textfit.moc"

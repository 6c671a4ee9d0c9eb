#include "ccd.h"
#include "greyview.h"
#include "linearccd.h"
#include "settingsgroup.h"
#include "testsupport.h"
#include "waveview.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLibrary>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

namespace {

QByteArray ramp()
{
    QByteArray line(128, '\0');
    for (int i = 0; i < 128; ++i)
        line[i] = char(i);
    return line;
}

QByteArray frame(const QByteArray &pixels)
{
    return pixels + char(0xFF);
}

QByteArray binarized(const QByteArray &line, int threshold)
{
    QByteArray out(line.size(), '\0');
    for (int i = 0; i < line.size(); ++i)
        out[i] = quint8(line.at(i)) > threshold ? char(0xFF) : '\0';
    return out;
}

QByteArray inverted(const QByteArray &line)
{
    QByteArray out(line.size(), '\0');
    for (int i = 0; i < line.size(); ++i)
        out[i] = char(255 - quint8(line.at(i)));
    return out;
}

int invertCounter(const char *name)
{
    using Counter = int (*)();
    const auto counter
            = reinterpret_cast<Counter>(QLibrary::resolve(QStringLiteral(TESTPLUGIN_INVERT), name));
    return counter ? counter() : -1;
}

// The tab and handles on its widgets, found by object name as a user of the
// form would.
struct Tab
{
    LinearCCD tab { nullptr };

    template<typename T>
    T *get(const char *name)
    {
        T *widget = tab.findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    QString text(const char *label) { return get<QLabel>(label)->text(); }
    WaveView *wave() { return get<QGroupBox>("groupBox_2")->findChild<WaveView *>(); }
    GreyView *grey() { return get<QGroupBox>("groupBox_3")->findChild<GreyView *>(); }
    GreyView *bin() { return get<QGroupBox>("groupBox_4")->findChild<GreyView *>(); }
    void feed(const QByteArray &bytes)
    {
        QByteArray buffer = bytes;
        tab.handleData(buffer);
    }
    QStringList statistics()
    {
        return { text("minText"), text("maxText"), text("aveText"), text("midText") };
    }
};

} // namespace

class TestLinearCCD : public QObject
{
    Q_OBJECT

private slots:
    void formWidgets_data();
    void formWidgets();
    void formLayout();
    void startState();
    void statistics_data();
    void statistics();
    void framing();
    void thresholdModes();
    void thresholdControlsMirror();
    void customModeWithoutAlgorithm();
    void customModeWithAlgorithm();
    void algorithmWithoutEntryTurnsStripBlack();
    void algorithmsArePerTab();
    void cursorReadOut_data();
    void cursorReadOut();
    void settingsRoundTrip();
};

void TestLinearCCD::formWidgets_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");
    auto row = [](const char *name, const char *parent, const QString &text, QRect geometry) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(parent) << text
                            << geometry;
    };
    row("label_3", "groupBox_5", QStringLiteral("最小值："), QRect(10, 20, 51, 20));
    row("label_4", "groupBox_5", QStringLiteral("最大值："), QRect(10, 40, 51, 20));
    row("label_5", "groupBox_5", QStringLiteral("平均值："), QRect(10, 60, 51, 20));
    row("minText", "groupBox_5", QString(), QRect(60, 20, 61, 20));
    row("maxText", "groupBox_5", QString(), QRect(60, 40, 61, 20));
    row("aveText", "groupBox_5", QString(), QRect(60, 60, 61, 20));
    row("label_8", "groupBox_5", QStringLiteral("中间值："), QRect(10, 80, 51, 20));
    row("label_9", "groupBox_5", QStringLiteral("注：\n中间值=(最大值+最小值)/2"),
        QRect(10, 110, 131, 31));
    row("midText", "groupBox_5", QString(), QRect(60, 80, 61, 20));
    row("radioButton_midVal", "groupBox_6", QStringLiteral("中间值作为阀值"),
        QRect(10, 20, 131, 21));
    row("radioButton_fixedVal", "groupBox_6", QStringLiteral("固定阀值"), QRect(10, 50, 71, 21));
    row("spinBoxTh", "groupBox_6", QStringLiteral("0"), QRect(80, 50, 51, 22));
    row("horizontalSliderTh", "groupBox_6", QString(), QRect(10, 70, 131, 20));
    row("radioButton_custom", "groupBox_6", QStringLiteral("自定义"), QRect(10, 100, 61, 21));
    row("pushButton_openDll", "groupBox_6", QStringLiteral("选择算法"), QRect(70, 100, 71, 23));
    row("lineEdit_dllPath", "groupBox_6", QStringLiteral("请选择算法"), QRect(10, 130, 131, 20));
    row("label_6", "groupBox_7", QStringLiteral("当前位置："), QRect(10, 20, 61, 20));
    row("label_7", "groupBox_7", QStringLiteral("像素值："), QRect(10, 40, 61, 20));
    row("pos", "groupBox_7", QString(), QRect(70, 20, 61, 20));
    row("val", "groupBox_7", QString(), QRect(70, 40, 61, 20));
}

void TestLinearCCD::formWidgets()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QString, text);
    QFETCH(QRect, geometry);
    LinearCCD tab(nullptr);
    auto *widget = tab.findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    QCOMPARE(widget->geometry(), geometry);
    QString shown;
    if (auto *label = qobject_cast<QLabel *>(widget))
        shown = label->text();
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        shown = button->text();
    else if (auto *edit = qobject_cast<QLineEdit *>(widget))
        shown = edit->text();
    else if (auto *spin = qobject_cast<QSpinBox *>(widget))
        shown = QString::number(spin->value());
    QCOMPARE(shown, text);
}

void TestLinearCCD::formLayout()
{
    Tab t;
    QCOMPARE(t.tab.windowTitle(), QStringLiteral("mainWin"));
    QCOMPARE(t.tab.minimumSize(), QSize(740, 465));
    QCOMPARE(t.tab.size(), QSize(740, 465));

    const struct
    {
        const char *name;
        const char *title;
        QSize minimum;
    } boxes[] = {
        { "groupBox_5", "数据统计", { 151, 151 } }, { "groupBox_6", "二值化", { 151, 156 } },
        { "groupBox_7", "光标", { 151, 70 } },      { "groupBox_2", "波形图", { 561, 311 } },
        { "groupBox_3", "灰度图", { 0, 61 } },      { "groupBox_4", "二值化图", { 0, 61 } }
    };
    for (const auto &box : boxes) {
        auto *groupBox = t.get<QGroupBox>(box.name);
        QCOMPARE(groupBox->title(), QString::fromUtf8(box.title));
        QCOMPARE(groupBox->minimumSize(), box.minimum);
    }
    QCOMPARE(t.get<QGroupBox>("groupBox_2")->sizePolicy(),
             QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding));
    for (const char *strip : { "groupBox_3", "groupBox_4" }) {
        auto *groupBox = t.get<QGroupBox>(strip);
        QCOMPARE(groupBox->sizePolicy(),
                 QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred));
        QCOMPARE(groupBox->maximumSize(), QSize(16777215, 61));
    }

    // Left column: three group boxes and a spacer; right column: plot and strips,
    // each view alone in its group box's horizontal layout.
    auto *columns = qobject_cast<QHBoxLayout *>(t.tab.layout());
    QVERIFY(columns);
    QCOMPARE(columns->objectName(), QStringLiteral("horizontalLayout"));
    QCOMPARE(columns->count(), 2);
    QLayout *left = columns->itemAt(0)->layout();
    QLayout *right = columns->itemAt(1)->layout();
    QCOMPARE(left->objectName(), QStringLiteral("verticalLayout_2"));
    QCOMPARE(right->objectName(), QStringLiteral("verticalLayout"));
    // The recording control comes after the listed items, which keep their places.
    QVERIFY(left->count() >= 4);
    QCOMPARE(left->itemAt(0)->widget()->objectName(), QStringLiteral("groupBox_5"));
    QCOMPARE(left->itemAt(1)->widget()->objectName(), QStringLiteral("groupBox_6"));
    QCOMPARE(left->itemAt(2)->widget()->objectName(), QStringLiteral("groupBox_7"));
    QVERIFY(left->itemAt(3)->spacerItem());
    QCOMPARE(left->itemAt(3)->spacerItem()->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
    QCOMPARE(right->count(), 3);
    QCOMPARE(right->itemAt(2)->widget()->objectName(), QStringLiteral("groupBox_4"));
    for (const char *box : { "groupBox_2", "groupBox_3", "groupBox_4" }) {
        auto *layout = qobject_cast<QHBoxLayout *>(t.get<QGroupBox>(box)->layout());
        QVERIFY(layout);
        QCOMPARE(layout->count(), 1);
    }
    QVERIFY(t.wave());
    QVERIFY(t.grey());
    QVERIFY(t.bin());
    QVERIFY(t.grey() != t.bin());
}

void TestLinearCCD::startState()
{
    Tab t;
    QVERIFY(t.get<QRadioButton>("radioButton_midVal")->isChecked());
    QVERIFY(!t.get<QRadioButton>("radioButton_fixedVal")->isChecked());
    QVERIFY(!t.get<QRadioButton>("radioButton_custom")->isChecked());
    auto *slider = t.get<QSlider>("horizontalSliderTh");
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 255);
    QCOMPARE(slider->value(), 0);
    QCOMPARE(slider->orientation(), Qt::Horizontal);
    auto *spin = t.get<QSpinBox>("spinBoxTh");
    QCOMPARE(spin->minimum(), 0);
    QCOMPARE(spin->maximum(), 255);
    QVERIFY(t.get<QLineEdit>("lineEdit_dllPath")->isReadOnly());
    QCOMPARE(t.statistics(), QStringList(4, QString()));
    QCOMPARE(t.wave()->data(), QByteArray(128, '\0'));
    QCOMPARE(t.bin()->data(), QByteArray(128, '\0'));
}

void TestLinearCCD::statistics_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("ramp") << ramp() << QStringList { "0", "127", "63", "63" };
    QTest::newRow("all equal") << QByteArray(128, char(77))
                               << QStringList { "77", "77", "77", "77" };
    QByteArray high(128, char(254));
    high[5] = char(3);
    high[6] = char(8);
    QTest::newRow("above 127") << high << QStringList { "3", "254", "250", "128" };
}

void TestLinearCCD::statistics()
{
    QFETCH(QByteArray, line);
    QFETCH(QStringList, expected);
    Tab t;
    t.feed(frame(line));
    QCOMPARE(t.statistics(), expected);
    const int mid = expected.at(3).toInt();
    QCOMPARE(t.grey()->data(), line);
    QCOMPARE(t.wave()->data(), line);
    QCOMPARE(t.wave()->threshold(), quint8(mid));
    QCOMPARE(t.bin()->data(), binarized(line, mid));
}

void TestLinearCCD::framing()
{
    Tab t;
    QByteArray buffer = frame(QByteArray(127, char(9)));
    t.tab.handleData(buffer);
    QCOMPARE(buffer.size(), 128);
    QCOMPARE(t.statistics(), QStringList(4, QString()));

    // A fragment ending too early is dropped; the line stays, the views refresh.
    buffer = QByteArray(200, char(9));
    buffer[40] = char(0xFF);
    t.tab.handleData(buffer);
    QCOMPARE(buffer, QByteArray(159, char(9)));
    QCOMPARE(t.statistics(), QStringList(4, QStringLiteral("0")));
    QCOMPARE(t.grey()->data(), QByteArray(128, '\0'));

    // Bytes that wait without an end byte stay; a line completes them.
    buffer += frame(ramp()) + QByteArray(50, char(60));
    t.tab.handleData(buffer);
    QCOMPARE(t.grey()->data(), ramp());
    QCOMPARE(t.statistics(), (QStringList { "0", "127", "63", "63" }));
    QCOMPARE(buffer, QByteArray(50, char(60)));
}

void TestLinearCCD::thresholdModes()
{
    Tab t;
    t.feed(frame(ramp()));
    t.get<QSpinBox>("spinBoxTh")->setValue(100);
    QCOMPARE(t.wave()->threshold(), quint8(63));

    t.get<QRadioButton>("radioButton_fixedVal")->click();
    QCOMPARE(t.wave()->threshold(), quint8(100));
    QCOMPARE(t.bin()->data(), binarized(ramp(), 100));

    t.get<QSpinBox>("spinBoxTh")->setValue(255);
    QCOMPARE(t.bin()->data(), QByteArray(128, '\0'));
    t.get<QSpinBox>("spinBoxTh")->setValue(0);
    QCOMPARE(t.bin()->data(), binarized(ramp(), 0));

    t.get<QRadioButton>("radioButton_midVal")->click();
    QCOMPARE(t.wave()->threshold(), quint8(63));
    QCOMPARE(t.bin()->data(), binarized(ramp(), 63));
    // The buttons and the algorithm choice stay usable in every mode.
    QVERIFY(t.get<QPushButton>("pushButton_openDll")->isEnabled());
    QVERIFY(t.get<QLineEdit>("lineEdit_dllPath")->isEnabled());
}

void TestLinearCCD::thresholdControlsMirror()
{
    Tab t;
    t.tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.tab));
    t.feed(frame(ramp()));
    QCoreApplication::processEvents();
    auto *spin = t.get<QSpinBox>("spinBoxTh");
    auto *slider = t.get<QSlider>("horizontalSliderTh");
    PaintCounter paints;
    t.wave()->installEventFilter(&paints);

    // Outside the fixed mode the controls only remember a value.
    slider->setValue(40);
    QCOMPARE(spin->value(), 40);
    spin->setValue(50);
    QCOMPARE(slider->value(), 50);
    QCOMPARE(paints.count, 0);
    QCOMPARE(t.wave()->threshold(), quint8(63));

    t.get<QRadioButton>("radioButton_fixedVal")->click();
    QCOMPARE(paints.count, 1);
    slider->setValue(120);
    QCOMPARE(spin->value(), 120);
    QCOMPARE(paints.count, 2);
    QCOMPARE(t.wave()->threshold(), quint8(120));
    spin->setValue(7);
    QCOMPARE(slider->value(), 7);
    QCOMPARE(paints.count, 3);
    QCOMPARE(t.bin()->data(), binarized(ramp(), 7));
    slider->setValue(7);
    QCOMPARE(paints.count, 3);
}

void TestLinearCCD::customModeWithoutAlgorithm()
{
    DialogDriver driver;
    Tab t;
    t.feed(frame(ramp()));
    t.get<QRadioButton>("radioButton_custom")->click();
    QCOMPARE(driver.fileFilters.size(), 1);
    QVERIFY(driver.boxes.isEmpty());
    QCOMPARE(t.get<QLineEdit>("lineEdit_dllPath")->text(), QStringLiteral("请选择算法"));
    QCOMPARE(t.bin()->data(), QByteArray(128, '\0'));
    QCOMPARE(t.wave()->threshold(), quint8(0));
    QCOMPARE(t.statistics(), (QStringList { "0", "127", "63", "63" }));

    // Still no algorithm: every click asks again.
    t.get<QRadioButton>("radioButton_custom")->click();
    QCOMPARE(driver.fileFilters.size(), 2);
}

void TestLinearCCD::customModeWithAlgorithm()
{
    DialogDriver driver;
    Tab t;
    QByteArray line = ramp();
    line[10] = char(200);
    t.feed(frame(line));

    driver.fileAnswers << QStringLiteral(TESTPLUGIN_INVERT);
    t.get<QPushButton>("pushButton_openDll")->click();
    QCOMPARE(t.get<QLineEdit>("lineEdit_dllPath")->text(), QStringLiteral(TESTPLUGIN_INVERT));
    QVERIFY(driver.boxes.isEmpty());
    // Loading alone does not refresh, and the mid mode does not call the algorithm.
    const int calls = invertCounter("ImgProcCallCount");
    QCOMPARE(t.bin()->data(), binarized(line, 100));
    t.feed(frame(line));
    QCOMPARE(invertCounter("ImgProcCallCount"), calls);

    // With an algorithm loaded the custom button refreshes without asking.
    t.get<QRadioButton>("radioButton_custom")->click();
    QCOMPARE(driver.fileFilters.size(), 1);
    QCOMPARE(invertCounter("ImgProcCallCount"), calls + 1);
    QCOMPARE(invertCounter("ImgProcLastWidth"), 128);
    QCOMPARE(invertCounter("ImgProcLastHeight"), 1);
    QCOMPARE(t.bin()->data(), inverted(line));
    QCOMPARE(t.wave()->threshold(), quint8(0));
    QCOMPARE(t.grey()->data(), line);

    t.feed(frame(ramp()));
    QCOMPARE(invertCounter("ImgProcCallCount"), calls + 2);
    QCOMPARE(t.bin()->data(), inverted(ramp()));
    QCOMPARE(t.wave()->data(), ramp());
}

void TestLinearCCD::algorithmWithoutEntryTurnsStripBlack()
{
    DialogDriver driver;
    Tab t;
    driver.fileAnswers << QStringLiteral(TESTPLUGIN_INVERT);
    t.get<QRadioButton>("radioButton_custom")->click();
    t.feed(frame(ramp()));
    QCOMPARE(t.bin()->data(), inverted(ramp()));

    driver.fileAnswers << QStringLiteral(TESTPLUGIN_NOENTRY);
    t.get<QPushButton>("pushButton_openDll")->click();
    QCOMPARE(driver.boxes.size(), 1);
    QCOMPARE(driver.boxes[0].text,
             QStringLiteral("无效的dll:") + QStringLiteral(TESTPLUGIN_NOENTRY));
    QCOMPARE(t.get<QLineEdit>("lineEdit_dllPath")->text(), QStringLiteral("无效的dll"));
    QCOMPARE(t.bin()->data(), inverted(ramp()));
    t.feed(frame(ramp()));
    QCOMPARE(t.bin()->data(), QByteArray(128, '\0'));

    // A cancelled choice keeps the line edit as it was.
    t.get<QPushButton>("pushButton_openDll")->click();
    QCOMPARE(t.get<QLineEdit>("lineEdit_dllPath")->text(), QStringLiteral("无效的dll"));
    QCOMPARE(driver.boxes.size(), 1);
}

void TestLinearCCD::algorithmsArePerTab()
{
    DialogDriver driver;
    Tab t;
    CCD camera(nullptr);
    auto cameraButton = [&](const char *name) {
        return camera.findChild<QAbstractButton *>(QLatin1String(name));
    };
    auto *cameraDll = camera.findChild<QLineEdit *>(QStringLiteral("lineEdit_dllName"));
    QVERIFY(cameraButton("radioButton_custom") && cameraButton("pushButton_openDll") && cameraDll);
    const QByteArray picture = QByteArray(120 * 40, char(70)) + char(0xFF);
    auto feedCamera = [&] {
        QByteArray buffer = picture;
        camera.handleData(buffer);
    };

    // The linear CCD tab loads an algorithm; the camera tab still has none and asks.
    driver.fileAnswers << QStringLiteral(TESTPLUGIN_INVERT);
    t.get<QRadioButton>("radioButton_custom")->click();
    QCOMPARE(cameraDll->text(), QString());
    driver.fileAnswers << QStringLiteral(TESTPLUGIN_NOENTRY);
    cameraButton("radioButton_custom")->click();
    QCOMPARE(driver.fileFilters.size(), 2);
    QCOMPARE(cameraDll->text(), QStringLiteral("无效的dll"));
    QCOMPARE(t.get<QLineEdit>("lineEdit_dllPath")->text(), QStringLiteral(TESTPLUGIN_INVERT));
    const int calls = invertCounter("ImgProcCallCount");
    feedCamera();
    QCOMPARE(invertCounter("ImgProcCallCount"), calls);
    t.feed(frame(ramp()));
    QCOMPARE(t.bin()->data(), inverted(ramp()));

    // The reverse: the camera tab loads one, the linear CCD tab drops its own.
    driver.fileAnswers << QStringLiteral(TESTPLUGIN_INVERT) << QStringLiteral(TESTPLUGIN_NOENTRY);
    cameraButton("pushButton_openDll")->click();
    t.get<QPushButton>("pushButton_openDll")->click();
    t.feed(frame(ramp()));
    QCOMPARE(t.bin()->data(), QByteArray(128, '\0'));
    const int before = invertCounter("ImgProcCallCount");
    feedCamera();
    QVERIFY(invertCounter("ImgProcCallCount") > before);
    QCOMPARE(invertCounter("ImgProcLastWidth"), 120);
    QCOMPARE(invertCounter("ImgProcLastHeight"), 40);
}

void TestLinearCCD::cursorReadOut_data()
{
    QTest::addColumn<QPoint>("mouse");
    QTest::addColumn<QString>("pos");
    QTest::addColumn<QString>("val");
    auto row = [](const char *name, QPoint mouse, const char *pos, const char *val) {
        QTest::newRow(name) << mouse << QString::fromLatin1(pos) << QString::fromLatin1(val);
    };
    row("inside", { 64, 200 }, "64,200", "230");
    row("last pixel, top", { 127, 255 }, "127,255", "127");
    row("right of the plot", { 128, 10 }, "0,10", "0");
    row("left and above", { -1, 256 }, "0,0", "0");
    row("below", { 5, -35 }, "5,0", "5");
}

void TestLinearCCD::cursorReadOut()
{
    QFETCH(QPoint, mouse);
    QFETCH(QString, pos);
    QFETCH(QString, val);
    Tab t;
    QByteArray line = ramp();
    line[64] = char(230);
    t.feed(frame(line));
    QCOMPARE(t.text("pos"), QString());
    emit t.wave()->mouseMove(mouse);
    QCOMPARE(t.text("pos"), pos);
    QCOMPARE(t.text("val"), val);
}

void TestLinearCCD::settingsRoundTrip()
{
    DialogDriver driver;
    SettingsGroup group;
    {
        Tab t;
        driver.fileAnswers << QStringLiteral(TESTPLUGIN_INVERT);
        t.get<QPushButton>("pushButton_openDll")->click();
        t.get<QSlider>("horizontalSliderTh")->setValue(17);
        t.get<QRadioButton>("radioButton_custom")->click();
        QCOMPARE(t.tab.settingsGroup(), QStringLiteral("linearccd"));
        t.tab.saveSettings(group);
    }
    // The keys and texts the settings files have always held.
    QCOMPARE(group.values().keys(), (QStringList { "mode", "plugin", "threshold" }));
    QCOMPARE(group.values().value("mode").toString(), QStringLiteral("custom"));

    Tab t;
    t.feed(frame(ramp()));
    t.tab.restoreSettings(group);
    QVERIFY(t.get<QRadioButton>("radioButton_custom")->isChecked());
    QCOMPARE(t.get<QSpinBox>("spinBoxTh")->value(), 17);
    QCOMPARE(t.get<QSlider>("horizontalSliderTh")->value(), 17);
    QCOMPARE(t.get<QLineEdit>("lineEdit_dllPath")->text(), QStringLiteral(TESTPLUGIN_INVERT));
    // The plug-in came before the mode: the custom mode shows its work at
    // once, without a dialog.
    QCOMPARE(t.bin()->data(), inverted(ramp()));
    QCOMPARE(driver.fileFilters.size(), 1);
    QVERIFY(driver.boxes.isEmpty());
}

QTEST_MAIN(TestLinearCCD)
#include "tst_linearccd.moc"

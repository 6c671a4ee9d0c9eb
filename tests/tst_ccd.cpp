#include "ccd.h"
#include "picview.h"
#include "settingsgroup.h"
#include "testsupport.h"

#include <QGroupBox>
#include <QLabel>
#include <QLibrary>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

namespace {

// The camera tab with handles on the widgets a test drives or reads.
struct Tab
{
    Tab()
        : ccd(nullptr)
    { }

    template<typename T>
    T *get(const char *name)
    {
        T *widget = ccd.findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    QSpinBox *spin(const char *name) { return get<QSpinBox>(name); }
    QString label(const char *name) { return get<QLabel>(name)->text(); }
    QRadioButton *radio(const char *name) { return get<QRadioButton>(name); }
    PicView *view(const char *groupBox) { return get<QGroupBox>(groupBox)->findChild<PicView *>(); }
    PicView *picView() { return view("groupBoxPic"); }
    PicView *binView() { return view("groupBoxBinPic"); }

    void setSize(int width, int height)
    {
        spin("spinBoxWidth")->setValue(width);
        spin("spinBoxHeight")->setValue(height);
    }
    // Delivers bytes as the main window does and returns what the tab left.
    QByteArray deliver(const QByteArray &bytes)
    {
        QByteArray buffer = bytes;
        ccd.handleData(buffer);
        return buffer;
    }

    CCD ccd;
};

// The grey levels a view shows, row after row.
QByteArray pixels(const PicView *view)
{
    QByteArray bytes;
    const QImage *image = view->image();
    for (int y = 0; y < image->height(); ++y) {
        for (int x = 0; x < image->width(); ++x)
            bytes.append(char(image->pixelIndex(x, y)));
    }
    return bytes;
}

QByteArray frame(const QByteArray &picture)
{
    return picture + QByteArray(1, char(0xFF));
}

// Counters kept by the inverting test algorithm, read through the copy of the
// library that the tab loaded.
int pluginCalls()
{
    auto count
            = reinterpret_cast<int (*)()>(QLibrary::resolve(TESTPLUGIN_INVERT, "ImgProcCallCount"));
    return count ? count() : -1;
}

int pluginLast(const char *what)
{
    auto value = reinterpret_cast<int (*)()>(QLibrary::resolve(TESTPLUGIN_INVERT, what));
    return value ? value() : -1;
}

QByteArray inverted(const QByteArray &bytes)
{
    QByteArray out;
    for (char c : bytes)
        out.append(char(255 - uchar(c)));
    return out;
}

void moveMouse(PicView *view, QPoint pos)
{
    QMouseEvent event(QEvent::MouseMove, pos, view->mapToGlobal(QPointF(pos)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &event);
}

} // namespace

class TestCCD : public QObject
{
    Q_OBJECT

private slots:
    void constructsWithDefaults();
    void sizeChangeGivesBlankPictures();
    void zoomButtonsSwitchBothViews();
    void portLocksPictureSize();

    void takesPictureAndStatistics();
    void waitsForEndByte();
    void keepsOnlyNewestPicture();
    void earlyEndByteRefreshesOldPicture();

    void midModeUsesMidValue();
    void fixedModeFollowsSliderAndSpinBox();
    void customModeCallsAlgorithm();
    void customModeSkipsMismatchedSize();
    void customModeWithoutAlgorithmKeepsBinaryView();
    void algorithmWithoutEntryIsDropped();

    void cursorReadOut();

    void settingsRoundTrip();
};

void TestCCD::constructsWithDefaults()
{
    Tab tab;
    QCOMPARE(tab.spin("spinBoxWidth")->minimum(), 1);
    QCOMPARE(tab.spin("spinBoxWidth")->maximum(), 320);
    QCOMPARE(tab.spin("spinBoxWidth")->value(), 120);
    QCOMPARE(tab.spin("spinBoxHeight")->minimum(), 1);
    QCOMPARE(tab.spin("spinBoxHeight")->maximum(), 240);
    QCOMPARE(tab.spin("spinBoxHeight")->value(), 40);
    QCOMPARE(tab.spin("spinBoxTh")->maximum(), 255);
    QCOMPARE(tab.get<QSlider>("horizontalSliderTh")->maximum(), 255);
    QVERIFY(tab.radio("radioButtonAutoZoom")->isChecked());
    QVERIFY(!tab.radio("radioButtonNoZoom")->isChecked());
    QVERIFY(tab.radio("radioButton_mid")->isChecked());
    QCOMPARE(tab.get<QLineEdit>("lineEditEndCode")->text(), QStringLiteral("ff"));
    QVERIFY(!tab.get<QLineEdit>("lineEditEndCode")->isEnabled());
    QVERIFY(tab.get<QLineEdit>("lineEdit_dllName")->isReadOnly());

    // Both views hold a blank 120 x 40 picture, stretched over the widget.
    for (PicView *view : { tab.picView(), tab.binView() }) {
        QVERIFY(view);
        QCOMPARE(view->image()->size(), QSize(120, 40));
        QCOMPARE(pixels(view), QByteArray(120 * 40, char(60)));
        QCOMPARE(view->minimumSize(), QSize(320, 240));
    }
    QVERIFY(tab.picView() != tab.binView());
}

void TestCCD::sizeChangeGivesBlankPictures()
{
    Tab tab;
    tab.setSize(4, 2);
    tab.deliver(frame(QByteArray::fromHex("0001020304050607")));
    tab.spin("spinBoxWidth")->setValue(3);
    QCOMPARE(tab.picView()->image()->size(), QSize(3, 2));
    QCOMPARE(tab.binView()->image()->size(), QSize(3, 2));
    QCOMPARE(pixels(tab.picView()), QByteArray(6, char(60)));
    QCOMPARE(pixels(tab.binView()), QByteArray(6, char(60)));

    // The old picture no longer fits: a refresh leaves the views blank while
    // the statistics still describe it.
    QCOMPARE(tab.deliver(QByteArray::fromHex("ff010203040506")),
             QByteArray::fromHex("010203040506"));
    QCOMPARE(pixels(tab.picView()), QByteArray(6, char(60)));
    QCOMPARE(tab.label("labelMaxValue"), QStringLiteral("7"));

    tab.spin("spinBoxHeight")->setValue(1);
    QCOMPARE(tab.picView()->image()->size(), QSize(3, 1));
    QCOMPARE(tab.binView()->image()->size(), QSize(3, 1));
}

void TestCCD::zoomButtonsSwitchBothViews()
{
    Tab tab;
    tab.radio("radioButtonNoZoom")->click();
    for (PicView *view : { tab.picView(), tab.binView() }) {
        QCOMPARE(view->minimumSize(), QSize(120, 40));
        QCOMPARE(view->maximumSize(), QSize(120, 40));
    }
    tab.radio("radioButtonAutoZoom")->click();
    for (PicView *view : { tab.picView(), tab.binView() }) {
        QCOMPARE(view->minimumSize(), QSize(320, 240));
        QCOMPARE(view->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    }
}

void TestCCD::portLocksPictureSize()
{
    Tab tab;
    tab.ccd.onComOpen();
    QVERIFY(!tab.spin("spinBoxWidth")->isEnabled());
    QVERIFY(!tab.spin("spinBoxHeight")->isEnabled());
    QVERIFY(tab.spin("spinBoxTh")->isEnabled());
    QVERIFY(tab.radio("radioButton_fixed")->isEnabled());
    QVERIFY(tab.radio("radioButtonNoZoom")->isEnabled());
    tab.ccd.onComClose();
    QVERIFY(tab.spin("spinBoxWidth")->isEnabled());
    QVERIFY(tab.spin("spinBoxHeight")->isEnabled());
}

void TestCCD::takesPictureAndStatistics()
{
    Tab tab;
    tab.setSize(4, 2);
    const QByteArray picture = QByteArray::fromHex("0001020304050607");
    QCOMPARE(tab.deliver(frame(picture)), QByteArray());
    QCOMPARE(pixels(tab.picView()), picture);
    QCOMPARE(tab.label("labelMaxValue"), QStringLiteral("7"));
    QCOMPARE(tab.label("labelMinValue"), QStringLiteral("0"));
    QCOMPARE(tab.label("labelMidValue"), QStringLiteral("3"));
    QCOMPARE(tab.label("labelAverage"), QStringLiteral("3"));
    QCOMPARE(pixels(tab.binView()), QByteArray::fromHex("00000000ffffffff"));

    // Rounded down: (254 + 1) / 2 and 255 / 2.
    QCOMPARE(tab.deliver(frame(QByteArray::fromHex("fe01fe01fe01fe01"))), QByteArray());
    QCOMPARE(tab.label("labelMidValue"), QStringLiteral("127"));
    QCOMPARE(tab.label("labelAverage"), QStringLiteral("127"));
}

void TestCCD::waitsForEndByte()
{
    Tab tab;
    tab.setSize(4, 2);
    const QByteArray picture = QByteArray::fromHex("0001020304050607");
    QCOMPARE(tab.deliver(picture), picture);
    QCOMPARE(pixels(tab.picView()), QByteArray(8, char(60)));
    QCOMPARE(tab.label("labelMaxValue"), QString());

    // Exactly n bytes, even ending in the end byte, are too few for a picture.
    tab.setSize(4, 1);
    const QByteArray four = QByteArray::fromHex("010203ff");
    QCOMPARE(tab.deliver(four), four);
    // More bytes and still no end byte: the buffer only grows.
    const QByteArray longer = QByteArray::fromHex("0102030405060708090a");
    QCOMPARE(tab.deliver(longer), longer);
    QCOMPARE(tab.deliver(longer + QByteArray::fromHex("ff")), QByteArray());
    QCOMPARE(pixels(tab.picView()), QByteArray::fromHex("0708090a"));
}

void TestCCD::keepsOnlyNewestPicture()
{
    Tab tab;
    tab.setSize(4, 2);
    const QByteArray first = QByteArray::fromHex("1011121314151617");
    const QByteArray second = QByteArray::fromHex("2021222324252627");
    QCOMPARE(tab.deliver(frame(first) + frame(second)), QByteArray());
    QCOMPARE(pixels(tab.picView()), second);
    QCOMPARE(tab.label("labelMinValue"), QStringLiteral("32"));

    // Garbage left by another tab goes with the picture it precedes; the start
    // of the next picture stays.
    QCOMPARE(tab.deliver(QByteArray::fromHex("aabbccff") + frame(first)
                         + QByteArray::fromHex("3031")),
             QByteArray::fromHex("3031"));
    QCOMPARE(pixels(tab.picView()), first);
}

void TestCCD::earlyEndByteRefreshesOldPicture()
{
    Tab tab;
    tab.setSize(4, 1);
    QCOMPARE(tab.deliver(frame(QByteArray::fromHex("01020304"))), QByteArray());

    // Disturb what the views and labels show, to see the refresh restore it.
    tab.picView()->setData(QByteArray(4, char(99)));
    tab.binView()->setData(QByteArray(4, char(99)));
    tab.get<QLabel>("labelMaxValue")->setText(QStringLiteral("x"));

    QCOMPARE(tab.deliver(QByteArray::fromHex("1011ff2021")), QByteArray::fromHex("2021"));
    QCOMPARE(pixels(tab.picView()), QByteArray::fromHex("01020304"));
    QCOMPARE(pixels(tab.binView()), QByteArray::fromHex("0000ffff"));
    QCOMPARE(tab.label("labelMaxValue"), QStringLiteral("4"));

    // The same before any picture: nothing to show, the views stay blank.
    Tab fresh;
    fresh.setSize(4, 1);
    QCOMPARE(fresh.deliver(QByteArray::fromHex("1011ff2021")), QByteArray::fromHex("2021"));
    QCOMPARE(pixels(fresh.picView()), QByteArray(4, char(60)));
    QCOMPARE(pixels(fresh.binView()), QByteArray(4, char(60)));
    QCOMPARE(fresh.label("labelAverage"), QString());
}

void TestCCD::midModeUsesMidValue()
{
    Tab tab;
    tab.setSize(4, 2);
    tab.deliver(frame(QByteArray::fromHex("0ac9696a3296141e"))); // 10 201 105 106 50 150 20 30
    QCOMPARE(tab.label("labelMidValue"), QStringLiteral("105"));
    QCOMPARE(pixels(tab.binView()), QByteArray::fromHex("00ff00ff00ff0000"));
}

void TestCCD::fixedModeFollowsSliderAndSpinBox()
{
    DialogDriver driver;
    Tab tab;
    tab.setSize(4, 2);
    const QByteArray picture = QByteArray::fromHex("0ac9696a3296141e");
    tab.deliver(frame(picture));
    QSpinBox *spin = tab.spin("spinBoxTh");
    QSlider *slider = tab.get<QSlider>("horizontalSliderTh");

    tab.radio("radioButton_fixed")->click();
    QCOMPARE(pixels(tab.binView()), QByteArray(8, char(0xFF)));

    slider->setValue(200);
    QCOMPARE(spin->value(), 200);
    QCOMPARE(pixels(tab.binView()), QByteArray::fromHex("00ff000000000000"));
    spin->setValue(150);
    QCOMPARE(slider->value(), 150);
    QCOMPARE(pixels(tab.binView()), QByteArray::fromHex("00ff000000000000"));
    spin->setValue(149);
    QCOMPARE(pixels(tab.binView()), QByteArray::fromHex("00ff000000ff0000"));
    // New pictures in the fixed mode use the fixed value, not their mid value.
    tab.deliver(frame(QByteArray::fromHex("0a0a0a0a96969696")));
    QCOMPARE(pixels(tab.binView()), QByteArray::fromHex("00000000ffffffff"));

    tab.deliver(frame(picture));
    tab.radio("radioButton_mid")->click();
    QCOMPARE(spin->value(), 149);
    QCOMPARE(pixels(tab.binView()), QByteArray::fromHex("00ff00ff00ff0000"));

    // Outside the fixed mode the controls only follow each other; a later
    // refresh (a cancelled algorithm choice) still uses the mid value.
    slider->setValue(10);
    QCOMPARE(spin->value(), 10);
    QCOMPARE(pixels(tab.binView()), QByteArray::fromHex("00ff00ff00ff0000"));
    tab.get<QAbstractButton>("pushButton_openDll")->click();
    QCOMPARE(driver.fileFilters.size(), 1);
    QVERIFY(driver.boxes.isEmpty());
    QCOMPARE(pixels(tab.binView()), QByteArray::fromHex("00ff00ff00ff0000"));
}

void TestCCD::customModeCallsAlgorithm()
{
    DialogDriver driver;
    Tab tab;
    tab.setSize(4, 2);
    const QByteArray picture = QByteArray::fromHex("0ac9696a3296141e");
    tab.deliver(frame(picture));

    driver.fileAnswers << QStringLiteral(TESTPLUGIN_INVERT);
    tab.radio("radioButton_custom")->click();
    QVERIFY(driver.boxes.isEmpty());
    QCOMPARE(tab.get<QLineEdit>("lineEdit_dllName")->text(), QStringLiteral(TESTPLUGIN_INVERT));
    const int calls = pluginCalls();
    QVERIFY(calls >= 1);
    QCOMPARE(pluginLast("ImgProcLastWidth"), 4);
    QCOMPARE(pluginLast("ImgProcLastHeight"), 2);
    QCOMPARE(pixels(tab.binView()), inverted(picture));
    // The received picture itself is left as it came.
    QCOMPARE(pixels(tab.picView()), picture);

    // One call per delivery; clicking the mode again needs no new choice.
    const QByteArray next = QByteArray::fromHex("0001020304050607");
    tab.deliver(frame(next));
    QCOMPARE(pluginCalls(), calls + 1);
    QCOMPARE(pixels(tab.binView()), inverted(next));
    tab.radio("radioButton_custom")->click();
    QCOMPARE(pluginCalls(), calls + 2);
    QCOMPARE(driver.fileFilters.size(), 1);

    // The same library chosen again through the button works again.
    driver.fileAnswers << QStringLiteral(TESTPLUGIN_INVERT);
    tab.get<QAbstractButton>("pushButton_openDll")->click();
    QCOMPARE(pluginCalls(), calls + 3);
    QVERIFY(driver.boxes.isEmpty());

    // Back to the built-in threshold.
    tab.radio("radioButton_mid")->click();
    QCOMPARE(pluginCalls(), calls + 3);
    QCOMPARE(pixels(tab.binView()), QByteArray::fromHex("00000000ffffffff"));
}

void TestCCD::customModeSkipsMismatchedSize()
{
    DialogDriver driver;
    Tab tab;
    tab.setSize(4, 2);
    tab.deliver(frame(QByteArray::fromHex("0001020304050607")));
    driver.fileAnswers << QStringLiteral(TESTPLUGIN_INVERT);
    tab.radio("radioButton_custom")->click();
    const int calls = pluginCalls();

    // 2 x 2 is not the 8 bytes held: no call, the binarized view stays blank.
    tab.spin("spinBoxWidth")->setValue(2);
    tab.radio("radioButton_custom")->click();
    QCOMPARE(tab.deliver(QByteArray::fromHex("ff01020304")), QByteArray::fromHex("01020304"));
    QCOMPARE(pluginCalls(), calls);
    QCOMPARE(pixels(tab.binView()), QByteArray(4, char(60)));

    // A picture of the new size is processed with the new size.
    tab.deliver(frame(QByteArray::fromHex("10203040")));
    QCOMPARE(pluginCalls(), calls + 1);
    QCOMPARE(pluginLast("ImgProcLastWidth"), 2);
    QCOMPARE(pluginLast("ImgProcLastHeight"), 2);
    QCOMPARE(pixels(tab.binView()), inverted(QByteArray::fromHex("10203040")));
}

void TestCCD::customModeWithoutAlgorithmKeepsBinaryView()
{
    DialogDriver driver;
    Tab tab;
    tab.setSize(4, 1);
    tab.deliver(frame(QByteArray::fromHex("01020304")));
    QCOMPARE(pixels(tab.binView()), QByteArray::fromHex("0000ffff"));

    tab.radio("radioButton_custom")->click(); // the dialog is cancelled
    QCOMPARE(driver.fileFilters.size(), 1);
    QVERIFY(driver.boxes.isEmpty());
    QCOMPARE(tab.get<QLineEdit>("lineEdit_dllName")->text(), QString());
    QCOMPARE(pixels(tab.binView()), QByteArray::fromHex("0000ffff"));

    tab.deliver(frame(QByteArray::fromHex("40302010")));
    QCOMPARE(pixels(tab.picView()), QByteArray::fromHex("40302010"));
    QCOMPARE(pixels(tab.binView()), QByteArray::fromHex("0000ffff"));
}

void TestCCD::algorithmWithoutEntryIsDropped()
{
    DialogDriver driver;
    Tab tab;
    tab.setSize(4, 1);
    tab.deliver(frame(QByteArray::fromHex("01020304")));
    driver.fileAnswers << QStringLiteral(TESTPLUGIN_INVERT);
    tab.radio("radioButton_custom")->click();
    QCOMPARE(pixels(tab.binView()), QByteArray::fromHex("fefdfcfb"));
    const int calls = pluginCalls();

    driver.fileAnswers << QStringLiteral(TESTPLUGIN_NOENTRY);
    tab.get<QAbstractButton>("pushButton_openDll")->click();
    QCOMPARE(driver.boxes.size(), 1);
    QCOMPARE(driver.boxes[0].text,
             QStringLiteral("无效的dll:") + QStringLiteral(TESTPLUGIN_NOENTRY));
    QCOMPARE(tab.get<QLineEdit>("lineEdit_dllName")->text(), QStringLiteral("无效的dll"));

    // No algorithm any more: the binarized view keeps its last picture.
    tab.deliver(frame(QByteArray::fromHex("05060708")));
    QCOMPARE(pluginCalls(), calls);
    QCOMPARE(pixels(tab.binView()), QByteArray::fromHex("fefdfcfb"));
}

void TestCCD::cursorReadOut()
{
    Tab tab;
    tab.setSize(4, 2);
    tab.radio("radioButtonNoZoom")->click();
    tab.deliver(frame(QByteArray::fromHex("0001020304050609")));
    moveMouse(tab.picView(), QPoint(3, 1));
    QCOMPARE(tab.label("labelCursorPos"), QStringLiteral("(3,1)"));
    QCOMPARE(tab.label("labelPixelValue"), QStringLiteral("9"));

    // The binarized view reports its own values.
    moveMouse(tab.binView(), QPoint(2, 0));
    QCOMPARE(tab.label("labelCursorPos"), QStringLiteral("(2,0)"));
    QCOMPARE(tab.label("labelPixelValue"), QStringLiteral("0"));
    moveMouse(tab.binView(), QPoint(3, 1));
    QCOMPARE(tab.label("labelPixelValue"), QStringLiteral("255"));

    // Off the picture the read-out stays.
    moveMouse(tab.picView(), QPoint(10, 10));
    QCOMPARE(tab.label("labelCursorPos"), QStringLiteral("(3,1)"));
}

void TestCCD::settingsRoundTrip()
{
    DialogDriver driver;
    SettingsGroup group;
    {
        Tab tab;
        tab.setSize(4, 2);
        tab.radio("radioButtonNoZoom")->click();
        driver.fileAnswers << QStringLiteral(TESTPLUGIN_INVERT);
        tab.get<QAbstractButton>("pushButton_openDll")->click();
        tab.get<QSlider>("horizontalSliderTh")->setValue(200);
        tab.radio("radioButton_fixed")->click();
        QCOMPARE(tab.ccd.settingsGroup(), QStringLiteral("camera"));
        tab.ccd.saveSettings(group);
    }
    // The keys and texts the settings files have always held, and the framing.
    QCOMPARE(group.values().keys(),
             (QStringList { "autoZoom", "framing", "height", "mode", "plugin", "threshold",
                            "width" }));
    QCOMPARE(group.values().value("framing").toString(), QStringLiteral("endByte"));
    QCOMPARE(group.values().value("mode").toString(), QStringLiteral("fixed"));

    Tab tab;
    tab.ccd.restoreSettings(group);
    QCOMPARE(tab.spin("spinBoxWidth")->value(), 4);
    QCOMPARE(tab.spin("spinBoxHeight")->value(), 2);
    QVERIFY(tab.radio("radioButtonNoZoom")->isChecked());
    QCOMPARE(tab.binView()->maximumSize(), QSize(4, 2));
    QVERIFY(tab.radio("radioButton_fixed")->isChecked());
    QCOMPARE(tab.get<QSlider>("horizontalSliderTh")->value(), 200);
    QCOMPARE(tab.get<QLineEdit>("lineEdit_dllName")->text(), QStringLiteral(TESTPLUGIN_INVERT));
    QCOMPARE(tab.ccd.algorithmPath(), QStringLiteral(TESTPLUGIN_INVERT));
    // The fixed mode cuts at the restored value, as after a click.
    tab.deliver(frame(QByteArray::fromHex("0ac9696a3296141e")));
    QCOMPARE(pixels(tab.binView()), QByteArray::fromHex("00ff000000000000"));
    QCOMPARE(driver.fileFilters.size(), 1);
    QVERIFY(driver.boxes.isEmpty());
}

QTEST_MAIN(TestCCD)
#include "tst_ccd.moc"

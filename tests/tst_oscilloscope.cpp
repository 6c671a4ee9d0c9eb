#include "mainwindow.h"
#include "oscilloscope.h"
#include "oscilloscopewave.h"
#include "settingsgroup.h"
#include "testsupport.h"
#include "triggerpanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDial>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPoint>
#include <QPushButton>
#include <QSerialPort>
#include <QTabWidget>
#include <QTest>

namespace {

QByteArray frame(quint16 ch1, quint16 ch2, quint16 ch3, quint16 ch4)
{
    QByteArray bytes("\xFF\xFF", 2);
    for (const quint16 sample : { ch1, ch2, ch3, ch4 })
        bytes.append(char(sample >> 8)).append(char(sample & 0xFF));
    return bytes.append('\0');
}

} // namespace

// The oscilloscope tab through its designer objects: the form, the channel
// buttons and dials, the limit boxes and the decoding into the view.
class TestOscilloscope : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void form();
    void limitBoxes();
    void channelButtons();
    void verticalDialFollowsOnlyAChannelThatIsOn();
    void horizontalDialAndClear();
    void decodesWithTheChannelLimits();
    void badLimitsAreReset_data();
    void badLimitsAreReset();
    void typedLimitsAreCheckedWhenCommitted();
    void framesOverTheSerialLine();
    void settingsRoundTrip();
    void triggerStandsASquareWaveStill();

private:
    template<typename T>
    T *child(const char *name) const
    {
        T *widget = m_scope->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no %s", name);
        return widget;
    }
    void click(const char *name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    // What the tab remembers between runs, as its controls and screen show it.
    static QStringList shownSettings(const Oscilloscope &scope)
    {
        const auto *wave = scope.findChild<OscilloscopeWave *>();
        const auto boxText = [&](int ch, const char *limit) {
            const QString name = QStringLiteral("doubleSpinBox_ch%1%2").arg(ch + 1).arg(limit);
            return scope.findChild<QDoubleSpinBox *>(name)->text();
        };
        QStringList shown;
        for (int ch = 0; ch < 4; ++ch)
            shown << QString::number(wave->yScaleIndex(ch)) << boxText(ch, "max")
                  << boxText(ch, "min");
        return shown << QString::number(wave->curCh())
                     << QString::number(scope.findChild<QDial *>("dial_yScaleIndex")->value())
                     << QString::number(scope.findChild<QDial *>("dial_xScaleIndex")->value());
    }

    Oscilloscope *m_scope = nullptr;
    OscilloscopeWave *m_wave = nullptr;
    DialogDriver *m_dialogs = nullptr;
};

void TestOscilloscope::init()
{
    m_dialogs = new DialogDriver;
    m_scope = new Oscilloscope(nullptr);
    m_scope->show();
    m_wave = m_scope->findChild<OscilloscopeWave *>();
    QVERIFY(m_wave);
}

void TestOscilloscope::cleanup()
{
    delete m_scope;
    delete m_dialogs;
}

void TestOscilloscope::form()
{
    QCOMPARE(m_scope->windowTitle(), QStringLiteral("Form"));
    QCOMPARE(m_scope->minimumSize(), QSize(780, 410));
    QCOMPARE(m_scope->sizePolicy().horizontalPolicy(), QSizePolicy::MinimumExpanding);

    auto *waveFrame = child<QFrame>("frame_wave");
    QVERIFY(qobject_cast<QHBoxLayout *>(waveFrame->layout()));
    QCOMPARE(waveFrame->layout()->indexOf(m_wave), 0);
    QCOMPARE(child<QFrame>("frame")->minimumSize(), QSize(270, 161));
    QCOMPARE(child<QFrame>("frame")->maximumSize(), QSize(270, 240));
    QCOMPARE(child<QFrame>("frame_2")->size(), QSize(270, 140));

    auto *yDial = child<QDial>("dial_yScaleIndex");
    QCOMPARE(yDial->minimum(), 1);
    QCOMPARE(yDial->maximum(), 14);
    QCOMPARE(yDial->pageStep(), 1);
    QCOMPARE(yDial->value(), 5);
    auto *xDial = child<QDial>("dial_xScaleIndex");
    QCOMPARE(xDial->minimum(), 0);
    QCOMPARE(xDial->maximum(), 13);
    QCOMPARE(xDial->pageStep(), 1);
    QCOMPARE(xDial->value(), 5);
    QCOMPARE(child<QLabel>("label_3")->text(), QStringLiteral("垂直缩放"));
    QCOMPARE(child<QLabel>("label")->text(), QStringLiteral("水平缩放"));
    QCOMPARE(child<QWidget>("layoutWidget")->geometry(), QRect(0, 10, 101, 141));
    QCOMPARE(child<QWidget>("layoutWidget1")->geometry(), QRect(160, 10, 111, 141));
    QCOMPARE(child<QWidget>("layoutWidget2")->geometry(), QRect(100, 10, 61, 140));
    for (int ch = 1; ch <= 4; ++ch) {
        const QByteArray name = "pushButton_CH" + QByteArray::number(ch);
        auto *button = child<QPushButton>(name.constData());
        QCOMPARE(button->text(), QStringLiteral("CH%1").arg(ch));
        QCOMPARE(button->size(), QSize(60, 30));
    }
    QCOMPARE(child<QPushButton>("pushButton_clear")->text(), QStringLiteral("清空数据"));

    // Creation order of the limit area, which is also its focus order.
    QStringList order;
    for (QObject *object : child<QFrame>("frame_2")->children())
        order << object->objectName();
    QCOMPARE(order,
             QStringList({ "doubleSpinBox_ch1max", "label_5", "label_7", "doubleSpinBox_ch1min",
                           "label_6", "doubleSpinBox_ch3max", "doubleSpinBox_ch3min", "label_8",
                           "label_9", "doubleSpinBox_ch2max", "label_10", "doubleSpinBox_ch2min",
                           "label_12", "doubleSpinBox_ch4max", "doubleSpinBox_ch4min",
                           "label_11" }));
    QCOMPARE(child<QLabel>("label_5")->text(), QStringLiteral("CH1 最大值"));
    QCOMPARE(child<QLabel>("label_11")->text(), QStringLiteral("CH4 最小值"));
    QCOMPARE(child<QLabel>("label_11")->geometry(), QRect(150, 110, 60, 16));
}

void TestOscilloscope::limitBoxes()
{
    struct Box
    {
        const char *name;
        QRect geometry;
        double maximum;
        double value;
    };
    const Box boxes[] = {
        { "doubleSpinBox_ch1max", QRect(60, 10, 61, 20), 100, 5 },
        { "doubleSpinBox_ch1min", QRect(60, 40, 61, 20), 100, 0 },
        { "doubleSpinBox_ch2max", QRect(210, 10, 61, 20), 100, 5 },
        { "doubleSpinBox_ch2min", QRect(210, 40, 61, 20), 99.99, 0 },
        { "doubleSpinBox_ch3max", QRect(60, 80, 61, 20), 100, 5 },
        { "doubleSpinBox_ch3min", QRect(60, 110, 61, 20), 100, 0 },
        { "doubleSpinBox_ch4max", QRect(210, 80, 61, 20), 100, 5 },
        { "doubleSpinBox_ch4min", QRect(210, 110, 61, 20), 100, 0 },
    };
    for (const Box &expected : boxes) {
        auto *box = child<QDoubleSpinBox>(expected.name);
        QCOMPARE(box->geometry(), expected.geometry);
        QCOMPARE(box->minimum(), -100.0);
        QCOMPARE(box->maximum(), expected.maximum);
        QCOMPARE(box->decimals(), 3);
        QCOMPARE(box->suffix(), QStringLiteral("V"));
        QCOMPARE(box->singleStep(), 1.0);
        QCOMPARE(box->value(), expected.value);
    }
}

void TestOscilloscope::channelButtons()
{
    // CH1 starts selected and on at 1 V per division.
    QCOMPARE(m_wave->curCh(), 0);
    QCOMPARE(m_wave->curYScale(), 1.0);

    // Selecting an off channel switches it on at the dial's position.
    click("pushButton_CH2");
    QCOMPARE(m_wave->curCh(), 1);
    QCOMPARE(m_wave->curYScale(), 1.0);
    child<QDial>("dial_yScaleIndex")->setValue(3);
    QCOMPARE(m_wave->curYScale(), 5.0);

    // A channel that is on keeps its own scale when selected again.
    click("pushButton_CH1");
    QCOMPARE(m_wave->curCh(), 0);
    QCOMPARE(m_wave->curYScale(), 1.0);
    QCOMPARE(child<QDial>("dial_yScaleIndex")->value(), 3);

    // Further clicks on the selected channel toggle it off and on.
    click("pushButton_CH1");
    QCOMPARE(m_wave->curYScale(), 0.0);
    click("pushButton_CH1");
    QCOMPARE(m_wave->curYScale(), 5.0);

    click("pushButton_CH4");
    QCOMPARE(m_wave->curCh(), 3);
    QCOMPARE(m_wave->curYScale(), 5.0);
    click("pushButton_CH2");
    QCOMPARE(m_wave->curYScale(), 5.0);
}

void TestOscilloscope::verticalDialFollowsOnlyAChannelThatIsOn()
{
    auto *dial = child<QDial>("dial_yScaleIndex");
    dial->setValue(14);
    QCOMPARE(m_wave->curYScale(), 0.001);
    dial->setValue(1);
    QCOMPARE(m_wave->curYScale(), 20.0);

    click("pushButton_CH1");
    QCOMPARE(m_wave->curYScale(), 0.0);
    dial->setValue(8);
    QCOMPARE(m_wave->curYScale(), 0.0);
    click("pushButton_CH1");
    QCOMPARE(m_wave->curYScale(), 0.1);
}

void TestOscilloscope::horizontalDialAndClear()
{
    child<QDial>("dial_xScaleIndex")->setValue(13); // 1 sample per division
    QByteArray buffer;
    for (int i = 0; i < 15; ++i)
        buffer += frame(i, 0, 0, 0);
    m_scope->handleData(buffer);
    QCOMPARE(m_wave->samples(0).size(), 11);
    QCOMPARE(m_wave->samples(0).first(), 4 * 5.0 / 65535);

    click("pushButton_clear");
    for (int ch = 0; ch < 4; ++ch)
        QVERIFY(m_wave->samples(ch).isEmpty());
    QCOMPARE(m_wave->curYScale(), 1.0);
}

void TestOscilloscope::decodesWithTheChannelLimits()
{
    child<QDoubleSpinBox>("doubleSpinBox_ch2min")->setValue(-1.0);
    child<QDoubleSpinBox>("doubleSpinBox_ch2max")->setValue(3.0);
    child<QDoubleSpinBox>("doubleSpinBox_ch4max")->setValue(10.0);
    child<QDoubleSpinBox>("doubleSpinBox_ch4min")->setValue(2.5);
    QVERIFY(m_dialogs->boxes.isEmpty());

    // Garbage, a whole frame, and a frame missing its trailing byte.
    QByteArray buffer = QByteArray::fromHex("0102") + frame(0, 0, 0x8000, 65535)
            + frame(65535, 65535, 0x1234, 0).left(10);
    m_scope->handleData(buffer);
    QVERIFY(buffer.isEmpty());

    // The owed trailing byte is 0xFF here; it must not pair with the next sync byte.
    buffer = QByteArray(1, char(0xFF)) + frame(0x8000, 0x8000, 0x8000, 0x8000);
    m_scope->handleData(buffer);
    QVERIFY(buffer.isEmpty());

    // Every channel stores, on or off.
    QCOMPARE(m_wave->samples(0), QList<double>({ 0.0, 5.0, 32768 * 5 / 65535.0 }));
    QCOMPARE(m_wave->samples(1), QList<double>({ -1.0, 3.0, 32768 * 4 / 65535.0 - 1 }));
    QCOMPARE(m_wave->samples(2),
             QList<double>({ 32768 * 5 / 65535.0, 4660 * 5 / 65535.0, 32768 * 5 / 65535.0 }));
    QCOMPARE(m_wave->samples(3), QList<double>({ 10.0, 2.5, 32768 * 7.5 / 65535.0 + 2.5 }));
}

void TestOscilloscope::badLimitsAreReset_data()
{
    QTest::addColumn<QByteArray>("channel");
    QTest::addColumn<double>("minimumFirst");
    QTest::addColumn<QByteArray>("box");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("messages");
    QTest::newRow("maximum equal to minimum")
            << QByteArray("ch1") << 0.0 << QByteArray("max") << 0.0 << 1;
    QTest::newRow("maximum below minimum")
            << QByteArray("ch2") << -3.0 << QByteArray("max") << -4.5 << 1;
    QTest::newRow("minimum above maximum")
            << QByteArray("ch3") << 0.0 << QByteArray("min") << 6.0 << 2;
    QTest::newRow("maximum below a minimum of 2 V")
            << QByteArray("ch4") << 2.0 << QByteArray("max") << 1.5 << 2;
    QTest::newRow("minimum equal to maximum")
            << QByteArray("ch4") << 0.0 << QByteArray("min") << 5.0 << 2;
}

void TestOscilloscope::badLimitsAreReset()
{
    QFETCH(QByteArray, channel);
    QFETCH(double, minimumFirst);
    QFETCH(QByteArray, box);
    QFETCH(double, value);
    QFETCH(int, messages);
    auto *maximum = child<QDoubleSpinBox>("doubleSpinBox_" + channel + "max");
    auto *minimum = child<QDoubleSpinBox>("doubleSpinBox_" + channel + "min");
    minimum->setValue(minimumFirst);
    QVERIFY(m_dialogs->boxes.isEmpty());

    (box == "max" ? maximum : minimum)->setValue(value);
    QCOMPARE(m_dialogs->boxes.size(), messages);
    for (const DialogDriver::Box &shown : std::as_const(m_dialogs->boxes)) {
        QCOMPARE(shown.title, QStringLiteral("错误"));
        QCOMPARE(shown.text, QStringLiteral("最大值小于或等于最小值"));
        QCOMPARE(shown.icon, QMessageBox::Critical);
        QVERIFY(shown.hasParent);
    }
    QCOMPARE(maximum->text(), QStringLiteral("1.000V"));
    QCOMPARE(minimum->text(), QStringLiteral("0.000V"));

    // The channel now decodes over 0 V .. 1 V.
    QByteArray buffer = frame(65535, 65535, 65535, 65535) + frame(0, 0, 0, 0);
    m_scope->handleData(buffer);
    const int ch = channel.back() - '1';
    QCOMPARE(m_wave->samples(ch), QList<double>({ 1.0, 0.0 }));
}

void TestOscilloscope::typedLimitsAreCheckedWhenCommitted()
{
    m_scope->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_scope));
    auto *maximum = child<QDoubleSpinBox>("doubleSpinBox_ch1max");
    auto *minimum = child<QDoubleSpinBox>("doubleSpinBox_ch1min");
    const auto type = [](QDoubleSpinBox *box, const char *text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QLatin1String(text));
    };
    const auto decodedRange = [&] {
        QByteArray buffer = frame(0, 0, 0, 0) + frame(65535, 0, 0, 0);
        m_scope->handleData(buffer);
        const QList<double> samples = m_wave->samples(0);
        return QPair<double, double>(samples.at(samples.size() - 2), samples.last());
    };

    // On the way to 0.5 the box holds 0, no more than the minimum: nothing is
    // judged until Enter.
    type(maximum, "0.5");
    QVERIFY(m_dialogs->boxes.isEmpty());
    QTest::keyClick(maximum, Qt::Key_Return);
    QCOMPARE(maximum->value(), 0.5);
    QCOMPARE(decodedRange(), qMakePair(0.0, 0.5));

    // Leaving the box commits as well.
    type(minimum, "0.25");
    QVERIFY(m_dialogs->boxes.isEmpty());
    maximum->setFocus();
    QVERIFY(!minimum->hasFocus());
    QCOMPARE(minimum->value(), 0.25);
    QCOMPARE(decodedRange(), qMakePair(0.25, 0.5));
    QVERIFY(m_dialogs->boxes.isEmpty());

    // A committed bad value is still refused, and the channel reset.
    type(maximum, "0.1");
    QVERIFY(m_dialogs->boxes.isEmpty());
    QTest::keyClick(maximum, Qt::Key_Enter);
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes.at(0).text, QStringLiteral("最大值小于或等于最小值"));
    QCOMPARE(m_dialogs->boxes.at(0).title, QStringLiteral("错误"));
    QCOMPARE(maximum->value(), 1.0);
    QCOMPARE(minimum->value(), 0.0);
    QCOMPARE(decodedRange(), qMakePair(0.0, 1.0));

    // Each arrow step is committed at once: 1 V down to 0 V is refused.
    maximum->setFocus();
    QTest::keyClick(maximum, Qt::Key_Down);
    QCOMPARE(m_dialogs->boxes.size(), 2);
    QCOMPARE(maximum->value(), 1.0);
    QTest::keyClick(maximum, Qt::Key_Up);
    QCOMPARE(maximum->value(), 2.0);
    QCOMPARE(decodedRange(), qMakePair(0.0, 2.0));
    QCOMPARE(m_dialogs->boxes.size(), 2);
}

void TestOscilloscope::framesOverTheSerialLine()
{
    SKIP_WITHOUT_SOCAT();
    VirtualSerialPair pair;
    QVERIFY2(pair.start(), "socat did not make a port pair");
    QSerialPort board(pair.second());
    QVERIFY(board.open(QIODevice::ReadWrite));

    MainWindow window;
    window.show();
    window.findChild<QComboBox *>("comList")->setEditText(pair.first());
    QTest::mouseClick(window.findChild<QPushButton *>("openPort"), Qt::LeftButton);
    QVERIFY(window.findChild<QSerialPort *>());
    window.findChild<QTabWidget *>("tabWidget")->setCurrentIndex(1);
    auto *wave = window.findChild<OscilloscopeWave *>();

    // 300 frames with trailing 0xFF, written in pieces that cut frames apart.
    QByteArray stream;
    QList<double> expected;
    for (int i = 0; i < 300; ++i) {
        const quint16 raw = quint16(i * 217);
        QByteArray bytes = frame(raw, 0xFFFF, 0, 0);
        bytes.back() = char(0xFF);
        stream += bytes;
        expected << raw * 5.0 / 65535.0;
    }
    for (qsizetype pos = 0; pos < stream.size(); pos += 97) {
        board.write(stream.mid(pos, 97));
        QVERIFY(board.waitForBytesWritten(5000));
        QTest::qWait(2);
    }
    QTRY_COMPARE_WITH_TIMEOUT(wave->samples(0).size(), 300, 10000);
    QCOMPARE(wave->samples(0), expected);
    QCOMPARE(wave->samples(1), QList<double>(300, 5.0));
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestOscilloscope::settingsRoundTrip()
{
    // CH1 off, the others on at scales of their own, CH3 selected.
    auto *dial = child<QDial>("dial_yScaleIndex");
    click("pushButton_CH1");
    click("pushButton_CH2");
    dial->setValue(3);
    click("pushButton_CH4");
    dial->setValue(14);
    click("pushButton_CH3");
    dial->setValue(9);
    child<QDial>("dial_xScaleIndex")->setValue(12);
    child<QDoubleSpinBox>("doubleSpinBox_ch1max")->setValue(10);
    child<QDoubleSpinBox>("doubleSpinBox_ch1min")->setValue(-10);
    child<QDoubleSpinBox>("doubleSpinBox_ch2min")->setValue(-7.125);
    child<QDoubleSpinBox>("doubleSpinBox_ch2max")->setValue(-2.5);
    child<QDoubleSpinBox>("doubleSpinBox_ch3min")->setValue(0.25);
    child<QDoubleSpinBox>("doubleSpinBox_ch3max")->setValue(0.5);
    child<QDoubleSpinBox>("doubleSpinBox_ch4max")->setValue(100);
    child<QDoubleSpinBox>("doubleSpinBox_ch4min")->setValue(99.999);
    const QStringList saved = shownSettings(*m_scope);

    SettingsGroup group;
    m_scope->saveSettings(group);
    Oscilloscope fresh(nullptr);
    const QStringList defaults = shownSettings(fresh);
    // Limits below the boxes' present ones come in without the rule firing.
    fresh.restoreSettings(group);
    QCOMPARE(shownSettings(fresh), saved);
    for (int i = 0; i < saved.size(); ++i)
        QVERIFY2(saved.at(i) != defaults.at(i), qPrintable(QString::number(i)));
    QCOMPARE(fresh.settingsGroup(), QStringLiteral("scope"));
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestOscilloscope::triggerStandsASquareWaveStill()
{
    // A square wave on CH2, 0 V for 17 frames and 5 V for 17, on a screen
    // of 101 samples: a period that does not divide the screen rolls along.
    int sent = 0;
    const auto feed = [&](int count) {
        QByteArray bytes;
        for (const int end = sent + count; sent < end; ++sent)
            bytes += frame(20000, (sent / 17) % 2 ? 65535 : 0, 0, 0);
        m_scope->handleData(bytes);
    };
    child<QDial>("dial_xScaleIndex")->setValue(10);
    click("pushButton_CH2");
    auto *panel = m_scope->findChild<TriggerPanel *>();
    QVERIFY(panel && !panel->isOn() && !m_wave->triggerOn());
    feed(300);
    // Off, the screen shows the stores themselves.
    QVERIFY(&m_wave->shownSamples(1) == &m_wave->samples(1));

    panel->setSource(1);
    panel->findChild<QCheckBox *>()->click();
    QVERIFY(m_wave->triggerOn());
    feed(200);
    const QImage first = m_wave->screenImage();
    const QList<double> sweep = m_wave->shownSamples(1);
    QCOMPARE(sweep.size(), 101);
    // The rising edge at the middle of the screen, CH1 copied with it.
    QCOMPARE(sweep.at(49), 0.0);
    QCOMPARE(sweep.at(50), 5.0);
    QCOMPARE(m_wave->shownSamples(0).size(), 101);
    QCOMPARE(m_wave->triggerState(), Trigger::State::Triggered);
    for (const int more : { 5, 13, 40 }) {
        feed(more);
        QCOMPARE(m_wave->screenImage(), first);
    }

    SettingsGroup group;
    m_scope->saveSettings(group);
    Oscilloscope fresh(nullptr);
    fresh.restoreSettings(group);
    auto *restored = fresh.findChild<TriggerPanel *>();
    QVERIFY(restored->isOn());
    QCOMPARE(restored->source(), 1);
    QCOMPARE(restored->settings().level, 2.5);

    // Off again, the screen rolls from the stores as before.
    panel->findChild<QCheckBox *>()->click();
    QVERIFY(&m_wave->shownSamples(1) == &m_wave->samples(1));
}

QTEST_MAIN(TestOscilloscope)
#include "tst_oscilloscope.moc"

#include "commandline.h"
#include "languagebutton.h"
#include "mainwindow.h"
#include "paramset.h"
#include "serialpanel.h"
#include "settingsstore.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>

#include <memory>

namespace {

QString nativePath(const char *path)
{
    return QFileInfo(QString::fromLocal8Bit(path)).absoluteFilePath();
}

// A value as a settings file keeps it, whatever type it was written with.
QString flat(const QVariant &value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1String("|"));
    return value.toString();
}

// Every key of settings with its value, read back as text.
QMap<QString, QString> contents(QSettings &settings)
{
    settings.sync();
    QMap<QString, QString> values;
    for (const QString &key : settings.allKeys())
        values.insert(key, flat(settings.value(key)));
    return values;
}

// The keys whose values differ, for a readable failure.
QStringList differences(const QMap<QString, QString> &a, const QMap<QString, QString> &b)
{
    QStringList keys;
    for (auto it = a.cbegin(); it != a.cend(); ++it) {
        if (b.value(it.key()) != it.value())
            keys << QStringLiteral("%1: %2 / %3").arg(it.key(), it.value(), b.value(it.key()));
    }
    for (auto it = b.cbegin(); it != b.cend(); ++it) {
        if (!a.contains(it.key()))
            keys << QStringLiteral("%1: (none) / %2").arg(it.key(), it.value());
    }
    return keys;
}

} // namespace

// What the program remembers between runs: the store walks the window's
// parts, whatever the settings file holds. Each tab checks its own values in
// its own suite; here the keys of every part, the command line's values for
// one run and files that are not what they should be.
class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void builtWindowTouchesNoSettings();
    void everyKeyMakesTheRoundTrip();
    void commandLineHoldsForThisRunOnly();
    void nonsenseIsIgnoredValueByValue();
    void brokenFiles_data();
    void brokenFiles();
    void pluginsLoadQuietlyOrNotAtAll();

private:
    // What window would remember, as a settings file holds it.
    QMap<QString, QString> remembered(const MainWindow &window);

    QMap<QString, QString> m_defaults;
    // A fresh one for every test, so that no test sees another's boxes.
    std::unique_ptr<DialogDriver> m_dialogs;
    QTemporaryDir m_dir;
    int m_files = 0;
};

QMap<QString, QString> TestSettingsStore::remembered(const MainWindow &window)
{
    QSettings settings(m_dir.filePath(QStringLiteral("saved%1.conf").arg(++m_files)),
                       QSettings::IniFormat);
    SettingsStore(settings).save(window);
    return contents(settings);
}

void TestSettingsStore::initTestCase()
{
    // The platform's usual place, moved aside for tests.
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("Tessavo"));
    QCoreApplication::setApplicationName(QStringLiteral("smartcar-debug-assistant"));
    MainWindow window;
    m_defaults = remembered(window);
}

void TestSettingsStore::init()
{
    QSettings().clear();
    QSettings().sync();
    m_dialogs = std::make_unique<DialogDriver>();
}

void TestSettingsStore::builtWindowTouchesNoSettings()
{
    const QString file = QSettings().fileName();
    QFile::remove(file);
    {
        MainWindow window;
        window.show();
        window.setCurrentTab(2);
        QCOMPARE(window.currentTab(), 2);
    }
    QVERIFY(!QFileInfo::exists(file));
    // ...and starts as written whatever a settings file holds.
    QSettings().setValue(QStringLiteral("window/tab"), 3);
    QSettings().sync();
    MainWindow window;
    QCOMPARE(differences(m_defaults, remembered(window)), QStringList());
}

// A file with a value other than the default under every key the program
// has ever written is read by the parts and written back the same: no key
// was renamed, none is lost, and every part takes its values.
void TestSettingsStore::everyKeyMakesTheRoundTrip()
{
    QSettings settings;
    const QVariantMap values {
        { "serial/port", QStringLiteral("/tmp/a typed path") },
        { "serial/baudRate", 2000000 },
        { "serial/parity", 2 },
        { "serial/dataBits", 1 },
        { "serial/stopBits", 1 },
        { "serial/autoReconnect", true },
        { "window/tab", 1 },
        { "window/language", QStringLiteral("en") },
        { "terminal/display", QStringLiteral("text") },
        { "terminal/send", QStringLiteral("hex") },
        { "terminal/encoding", QStringLiteral("UTF-8") },
        { "terminal/timestamps", true },
        { "terminal/lineEnding", QStringLiteral("crlf") },
        { "terminal/repeatPeriod", 25 },
        { "terminal/history",
          QStringList { QStringLiteral("text:PID 1.5, 0.2\n速度 @12"),
                        QStringLiteral("hex:FA 29") } },
        { "scope/ch1/scale", 0 },
        { "scope/ch2/scale", 1 },
        { "scope/ch3/scale", 9 },
        { "scope/ch4/scale", 14 },
        { "scope/ch1/maximum", 10.0 },
        { "scope/ch1/minimum", -10.0 },
        { "scope/ch2/maximum", -2.5 },
        { "scope/ch2/minimum", -7.125 },
        { "scope/ch3/maximum", 0.5 },
        { "scope/ch3/minimum", 0.25 },
        { "scope/ch4/maximum", 100.0 },
        { "scope/ch4/minimum", 99.999 },
        { "scope/channel", 3 },
        { "scope/verticalDial", 3 },
        { "scope/horizontalScale", 12 },
        { "scope/trigger/enabled", true },
        { "scope/trigger/source", 2 },
        { "scope/trigger/level", 1.25 },
        { "scope/trigger/edge", QStringLiteral("falling") },
        { "scope/trigger/mode", QStringLiteral("single") },
        { "scope/trigger/preTrigger", 20 },
        { "scope/trigger/band", 0.5 },
        { "linearccd/mode", QStringLiteral("custom") },
        { "linearccd/threshold", 17 },
        { "linearccd/plugin", nativePath(TESTPLUGIN_INVERT) },
        { "camera/mode", QStringLiteral("fixed") },
        { "camera/threshold", 200 },
        // Wider than the end byte allows: the size a header gave.
        { "camera/framing", QStringLiteral("header") },
        { "camera/width", 640 },
        { "camera/height", 7 },
        { "camera/autoZoom", false },
        { "camera/plugin", nativePath(TESTPLUGIN_INVERT) },
        { "plotter/framing", QStringLiteral("Teleplot") },
        { "plotter/hiddenChannels",
          QStringList { QStringLiteral("error"), QStringLiteral("速度") } },
        { "plotter/yAxis", QStringLiteral("fixed") },
        { "plotter/yMinimum", -2.5 },
        { "plotter/yMaximum", 7.5 },
        { "plotter/xAxis", QStringLiteral("seconds") },
        { "plotter/windowSamples", 5000 },
        { "plotter/windowSeconds", 2.5 },
        { "plotter/view", QStringLiteral("xy") },
        { "plotter/trigger/enabled", true },
        { "plotter/trigger/source", 3 },
        { "plotter/trigger/level", -40.5 },
        { "plotter/trigger/edge", QStringLiteral("either") },
        { "plotter/trigger/mode", QStringLiteral("normal") },
        { "plotter/trigger/preTrigger", 75 },
        { "plotter/trigger/band", 2.0 },
        { "plotter/spectrum/points", 65536 },
        { "plotter/spectrum/rateMode", QStringLiteral("manual") },
        { "plotter/spectrum/rate", 250.5 },
        { "plotter/spectrum/dbAxis", QStringLiteral("fixed") },
        { "plotter/spectrum/dbMinimum", -150.0 },
        { "plotter/spectrum/dbMaximum", 20.0 },
        { "tuning/shown", true },
        { "tuning/floating", false },
        { "tuning/set",
          QString::fromUtf8(ParamSet::fromJson(R"({"format": "smartcar-params",
            "version": 1, "controls": [{"type": "slider", "name": "kp", "command": "kp={v}\n",
            "value": 3}]})",
                                               nullptr)
                                    ->toJson(QJsonDocument::Compact)) },
    };
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        settings.setValue(it.key(), it.value());
    QMap<QString, QString> written = contents(settings);
    for (auto it = written.cbegin(); it != written.cend(); ++it)
        QVERIFY2(m_defaults.value(it.key()) != it.value(), qPrintable(it.key()));

    MainWindow window;
    window.resize(1200, 700);
    SettingsStore(settings).save(window);
    MainWindow restored;
    SettingsStore(settings).restore(restored);
    QCOMPARE(restored.size(), QSize(1200, 700));
    settings.clear();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        settings.setValue(it.key(), it.value());
    SettingsStore(settings).restore(restored);
    QVERIFY(m_dialogs->boxes.isEmpty());
    QCOMPARE(SettingsStore(settings).rememberedLanguage(), UiLanguage::English);
    // The widgets show it, as after the user's own clicks.
    QCOMPARE(restored.findChild<QComboBox *>("baudrateList")->currentText(),
             QStringLiteral("2000000"));
    QCOMPARE(restored.findChild<QTabWidget *>("tabWidget")->currentIndex(), 1);
    QVERIFY(restored.findChild<QRadioButton *>("GettedTextBnt")->isChecked());
    QCOMPARE(restored.findChild<QLineEdit *>("lineEdit_dllPath")->text(),
             nativePath(TESTPLUGIN_INVERT));
    QVERIFY(restored.findChild<QRadioButton *>("radioButtonNoZoom")->isChecked());

    QMap<QString, QString> saved = remembered(restored);
    saved.remove(QStringLiteral("window/geometry"));
    QCOMPARE(differences(written, saved), QStringList());
}

void TestSettingsStore::commandLineHoldsForThisRunOnly()
{
    QSettings settings(m_dir.filePath(QStringLiteral("run.conf")), QSettings::IniFormat);
    settings.setValue(QStringLiteral("serial/port"), QStringLiteral("ttyREMEMBERED"));
    settings.setValue(QStringLiteral("serial/baudRate"), 9600);
    settings.setValue(QStringLiteral("window/tab"), 2);

    CommandLine commandLine;
    QCOMPARE(commandLine.parse({ "program", "--port", "/tmp/pty7", "--baud", "57600", "--tab",
                                 "camera", "--lang", "en" }),
             CommandLine::Action::Run);
    {
        MainWindow window;
        SettingsStore store(settings);
        store.restore(window);
        store.applyForThisRun(window, commandLine.options());
        QCOMPARE(window.serialPanel()->portEntry(), QStringLiteral("/tmp/pty7"));
        QCOMPARE(window.serialPanel()->baudRate(), 57600);
        QCOMPARE(window.currentTab(), 3);
        QCOMPARE(window.languageButton()->chosen(), UiLanguage::English);
        store.save(window);
    }
    QVERIFY(!SettingsStore(settings).rememberedLanguage());
    QCOMPARE(settings.value(QStringLiteral("serial/port")).toString(),
             QStringLiteral("ttyREMEMBERED"));
    QCOMPARE(settings.value(QStringLiteral("serial/baudRate")).toInt(), 9600);
    QCOMPARE(settings.value(QStringLiteral("window/tab")).toInt(), 2);

    // What the user changes during the run is remembered, though.
    {
        MainWindow window;
        SettingsStore store(settings);
        store.restore(window);
        store.applyForThisRun(window, commandLine.options());
        QVERIFY(window.serialPanel()->setBaudRate(38400));
        window.setCurrentTab(0);
        // Picked in the menu: remembered, though it is this run's language.
        window.languageButton()->languageMenu()->actions().at(1)->trigger();
        store.save(window);
    }
    QCOMPARE(SettingsStore(settings).rememberedLanguage(), UiLanguage::English);
    QCOMPARE(settings.value(QStringLiteral("serial/port")).toString(),
             QStringLiteral("ttyREMEMBERED"));
    QCOMPARE(settings.value(QStringLiteral("serial/baudRate")).toInt(), 38400);
    QCOMPARE(settings.value(QStringLiteral("window/tab")).toInt(), 0);
}

void TestSettingsStore::nonsenseIsIgnoredValueByValue()
{
    const QString path = m_dir.filePath(QStringLiteral("nonsense.conf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[serial]\n"
               "port=\"COM3\\x1b[2J\"\n"
               "baudRate=12\n"
               "parity=3\n"
               "dataBits=2\n" // the one sensible value
               "stopBits=one\n"
               "autoReconnect=maybe\n"
               "[window]\n"
               "geometry=@ByteArray(not a geometry)\n"
               "tab=-1\n"
               "language=english\n"
               "[terminal]\n"
               "display=binary\n"
               "send=\n"
               "encoding=Latin-1\n"
               "timestamps=perhaps\n"
               "lineEnding=CRLF\n"
               "repeatPeriod=5\n"
               // A list of one, as the file keeps it: a sensible value.
               "history=\"text:PID 1.5, 0.2\"\n"
               "[scope]\n"
               "channel=0\n"
               "verticalDial=15\n"
               "horizontalScale=1e3\n"
               "ch1\\scale=99\n"
               "ch1\\maximum=nan\n"
               "ch1\\minimum=0\n"
               "ch2\\maximum=1\n"
               "ch2\\minimum=2\n"
               "ch3\\maximum=inf\n"
               "ch3\\minimum=-inf\n"
               // Equal in the boxes' three decimals.
               "ch4\\maximum=1.0004\n"
               "ch4\\minimum=1.0001\n"
               "[linearccd]\n"
               "mode=Fixed\n"
               "threshold=256\n"
               "plugin=" TESTPLUGIN_INVERT "\\0\n"
               "[camera]\n"
               "mode=CUSTOM\n"
               "threshold=-5\n"
               "width=0\n"
               "height=99999999999999999999\n"
               "autoZoom=1\n"
               "plugin=relative/libx.so\n"
               "[plotter]\n"
               "framing=FireWater2\n"
               "yAxis=Fixed\n"
               "yMinimum=5\n"
               "yMaximum=1\n"
               "xAxis=time\n"
               "windowSamples=99\n"
               "windowSeconds=nan\n"
               // Not a power of two; a rate of none; limits the wrong way round.
               "spectrum\\points=1000\n"
               "spectrum\\rateMode=measured\n"
               "spectrum\\rate=0\n"
               "spectrum\\dbAxis=fixed!\n"
               "spectrum\\dbMinimum=10\n"
               "spectrum\\dbMaximum=-10\n"
               "[tuning]\n"
               "shown=yes\n"
               "floating=2\n"
               // A newer file than this program reads.
               "set=\"{\\\"format\\\": \\\"smartcar-params\\\", \\\"version\\\": 2}\"\n");
    file.close();
    QSettings settings(path, QSettings::IniFormat);
    // Values of other types than text, as a registry or a hand-edited file
    // may hold them.
    settings.setValue(QStringLiteral("scope/ch2/scale"), QPoint(1, 2));
    settings.setValue(QStringLiteral("serial/stopBits"), QStringList { "1", "2" });
    settings.setValue(QStringLiteral("camera/width"), 3.5);
    settings.setValue(QStringLiteral("window/geometry"), QString(100000, QLatin1Char('x')));

    MainWindow window;
    SettingsStore(settings).restore(window);
    QMap<QString, QString> expected = m_defaults;
    expected["serial/dataBits"] = QStringLiteral("2");
    expected["terminal/history"] = QStringLiteral("text:PID 1.5, 0.2");
    QCOMPARE(differences(expected, remembered(window)), QStringList());

    // A history with a control character or more entries than are kept is
    // left out whole.
    settings.setValue(QStringLiteral("terminal/history"), QStringList { "text:a\x1b[2J" });
    SettingsStore(settings).restore(window);
    QCOMPARE(differences(expected, remembered(window)), QStringList());
    QStringList many;
    for (int i = 0; i < 21; ++i)
        many << QStringLiteral("text:%1").arg(i);
    settings.setValue(QStringLiteral("terminal/history"), many);
    SettingsStore(settings).restore(window);
    QCOMPARE(differences(expected, remembered(window)), QStringList());
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestSettingsStore::brokenFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("directory in its place") << "directory";
    QTest::newRow("random bytes") << "random";
    QTest::newRow("empty") << "empty";
}

void TestSettingsStore::brokenFiles()
{
    QFETCH(QString, kind);
    const QString path = m_dir.filePath(kind + QStringLiteral(".conf"));
    if (kind == QLatin1String("directory")) {
        QVERIFY(QDir().mkpath(path));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (kind == QLatin1String("random")) {
            QByteArray bytes(64 * 1024, '\0');
            QRandomGenerator generator(7);
            for (char &byte : bytes)
                byte = char(generator.bounded(256));
            file.write(bytes);
        }
    }

    MainWindow window;
    QSettings settings(path, QSettings::IniFormat);
    SettingsStore store(settings);
    store.restore(window);
    QCOMPARE(differences(m_defaults, remembered(window)), QStringList());
    QVERIFY(m_dialogs->boxes.isEmpty());
    // Saving over it does no harm either; a file takes the new values.
    QVERIFY(window.serialPanel()->setBaudRate(4800));
    store.save(window);
    if (kind != QLatin1String("directory")) {
        MainWindow next;
        QSettings again(path, QSettings::IniFormat);
        SettingsStore(again).restore(next);
        QCOMPARE(next.serialPanel()->baudRate(), 4800);
    }
}

void TestSettingsStore::pluginsLoadQuietlyOrNotAtAll()
{
    QSettings settings(m_dir.filePath(QStringLiteral("plugins.conf")), QSettings::IniFormat);
    // A library without ImgProc, and one that went away since.
    settings.setValue(QStringLiteral("linearccd/plugin"), nativePath(TESTPLUGIN_NOENTRY));
    settings.setValue(QStringLiteral("linearccd/mode"), QStringLiteral("custom"));
    settings.setValue(QStringLiteral("camera/plugin"), m_dir.filePath(QStringLiteral("gone.so")));
    settings.setValue(QStringLiteral("camera/mode"), QStringLiteral("custom"));
    {
        MainWindow window;
        SettingsStore(settings).restore(window);
        QCOMPARE(window.findChild<QLineEdit *>("lineEdit_dllPath")->text(),
                 QStringLiteral("请选择算法"));
        QVERIFY(window.findChild<QLineEdit *>("lineEdit_dllName")->text().isEmpty());
        // The mode stays chosen, without an algorithm, as after a cancelled dialog.
        QVERIFY(window.findChild<QLineEdit *>("lineEdit_dllPath")
                        ->parentWidget()
                        ->findChild<QRadioButton *>("radioButton_custom")
                        ->isChecked());
        QVERIFY(m_dialogs->boxes.isEmpty());
        QVERIFY(m_dialogs->fileFilters.isEmpty());
        // Without a plug-in none is remembered.
        SettingsStore(settings).save(window);
    }
    QVERIFY(!settings.contains(QStringLiteral("linearccd/plugin")));
    QVERIFY(!settings.contains(QStringLiteral("camera/plugin")));

    settings.setValue(QStringLiteral("camera/plugin"), nativePath(TESTPLUGIN_INVERT));
    MainWindow window;
    SettingsStore(settings).restore(window);
    QCOMPARE(window.findChild<QLineEdit *>("lineEdit_dllName")->text(),
             nativePath(TESTPLUGIN_INVERT));
    QVERIFY(m_dialogs->boxes.isEmpty());
}

QTEST_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"

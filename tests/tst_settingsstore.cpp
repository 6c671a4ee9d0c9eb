#include "ccd.h"
#include "commandline.h"
#include "languagebutton.h"
#include "linearccd.h"
#include "mainwindow.h"
#include "settingsstore.h"
#include "statusbarpanel.h"
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

// Everything the store remembers, as the window shows it.
QVariantMap remembered(const MainWindow &window)
{
    QVariantMap values;
    values["port"] = window.portEntry();
    values["baud"] = window.baudRate();
    values["parity"] = window.parityIndex();
    values["dataBits"] = window.dataBitsIndex();
    values["stopBits"] = window.stopBitsIndex();
    values["autoReconnect"] = window.statusPanel()->autoReconnect();
    values["tab"] = window.currentTab();
    values["language"] = int(window.languageButton()->chosen());
    values["linearMode"] = int(window.linearCCD()->thresholdMode());
    values["linearThreshold"] = window.linearCCD()->fixedThreshold();
    values["linearPlugin"] = window.linearCCD()->algorithmPath();
    values["cameraMode"] = int(window.ccd()->thresholdMode());
    values["cameraThreshold"] = window.ccd()->fixedThreshold();
    values["cameraSize"] = window.ccd()->pictureSize();
    values["cameraZoom"] = window.ccd()->autoZoom();
    values["cameraPlugin"] = window.ccd()->algorithmPath();
    return values;
}

// The keys whose values differ, for a readable failure.
QStringList differences(const QVariantMap &a, const QVariantMap &b)
{
    QStringList keys;
    for (auto it = a.cbegin(); it != a.cend(); ++it) {
        if (b.value(it.key()) != it.value())
            keys << QStringLiteral("%1: %2 / %3")
                            .arg(it.key(), it.value().toString(), b.value(it.key()).toString());
    }
    return keys;
}

QString nativePath(const char *path)
{
    return QFileInfo(QString::fromLocal8Bit(path)).absoluteFilePath();
}

} // namespace

// What the program remembers between runs: saved by one window and restored
// into the next, whatever the settings file holds.
class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void builtWindowTouchesNoSettings();
    void roundTrip();
    void commandLineHoldsForThisRunOnly();
    void nonsenseIsIgnoredValueByValue();
    void brokenFiles_data();
    void brokenFiles();
    void pluginsLoadQuietlyOrNotAtAll();

private:
    QVariantMap m_defaults;
    // A fresh one for every test, so that no test sees another's boxes.
    std::unique_ptr<DialogDriver> m_dialogs;
    QTemporaryDir m_dir;
};

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
    QCOMPARE(remembered(window), m_defaults);
}

void TestSettingsStore::roundTrip()
{
    QVariantMap saved;
    {
        MainWindow window;
        window.resize(1200, 700);
        window.setPortEntry(QStringLiteral("/tmp/a typed path"));
        QVERIFY(window.setBaudRate(9600));
        QVERIFY(window.setParityIndex(2));
        QVERIFY(window.setDataBitsIndex(1));
        QVERIFY(window.setStopBitsIndex(1));
        window.statusPanel()->setAutoReconnect(true);
        QVERIFY(window.setCurrentTab(1));
        window.languageButton()->setChosen(UiLanguage::English);
        QVERIFY(window.linearCCD()->loadAlgorithmQuietly(nativePath(TESTPLUGIN_INVERT)));
        QVERIFY(window.linearCCD()->setFixedThreshold(17));
        window.linearCCD()->setThresholdMode(ThresholdMode::Custom);
        QVERIFY(window.ccd()->setFixedThreshold(200));
        window.ccd()->setThresholdMode(ThresholdMode::Fixed);
        QVERIFY(window.ccd()->setPictureSize(QSize(320, 7)));
        window.ccd()->setAutoZoom(false);
        QVERIFY(window.ccd()->loadAlgorithmQuietly(nativePath(TESTPLUGIN_INVERT)));
        saved = remembered(window);
        // Every value differs from its default, or the trip proves little.
        QCOMPARE(differences(saved, m_defaults).size(), saved.size());

        QSettings settings;
        SettingsStore(settings).save(window);
    }
    QVERIFY(QFileInfo::exists(QSettings().fileName()));
    QVERIFY(QSettings().fileName().startsWith(
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)));

    MainWindow window;
    QSettings settings;
    SettingsStore(settings).restore(window);
    QCOMPARE(differences(saved, remembered(window)), QStringList());
    QCOMPARE(SettingsStore(settings).rememberedLanguage(), UiLanguage::English);
    QCOMPARE(window.size(), QSize(1200, 700));
    QVERIFY(m_dialogs->boxes.isEmpty());
    // The widgets show it, as after the user's own clicks.
    QCOMPARE(window.findChild<QComboBox *>("baudrateList")->currentText(), QStringLiteral("9600"));
    QCOMPARE(window.findChild<QTabWidget *>("tabWidget")->currentIndex(), 1);
    QVERIFY(window.linearCCD()->findChild<QRadioButton *>("radioButton_custom")->isChecked());
    QCOMPARE(window.linearCCD()->findChild<QLineEdit *>("lineEdit_dllPath")->text(),
             nativePath(TESTPLUGIN_INVERT));
    QVERIFY(window.ccd()->findChild<QRadioButton *>("radioButtonNoZoom")->isChecked());

    // Saved again unchanged, the file gives the same once more.
    SettingsStore(settings).save(window);
    MainWindow again;
    SettingsStore(settings).restore(again);
    QCOMPARE(differences(saved, remembered(again)), QStringList());
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
        QCOMPARE(window.portEntry(), QStringLiteral("/tmp/pty7"));
        QCOMPARE(window.baudRate(), 57600);
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
        QVERIFY(window.setBaudRate(38400));
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
               "baudRate=12345\n"
               "parity=3\n"
               "dataBits=2\n" // the one sensible value
               "stopBits=one\n"
               "autoReconnect=maybe\n"
               "[window]\n"
               "geometry=@ByteArray(not a geometry)\n"
               "tab=-1\n"
               "language=english\n"
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
               "plugin=relative/libx.so\n");
    file.close();
    QSettings settings(path, QSettings::IniFormat);
    // Values of other types than text, as a registry or a hand-edited file
    // may hold them.
    settings.setValue(QStringLiteral("serial/stopBits"), QStringList { "1", "2" });
    settings.setValue(QStringLiteral("camera/width"), 3.5);
    settings.setValue(QStringLiteral("window/geometry"), QString(100000, QLatin1Char('x')));

    MainWindow window;
    SettingsStore(settings).restore(window);
    QVariantMap expected = m_defaults;
    expected["dataBits"] = 2;
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
    QVERIFY(window.setBaudRate(4800));
    store.save(window);
    if (kind != QLatin1String("directory")) {
        MainWindow next;
        QSettings again(path, QSettings::IniFormat);
        SettingsStore(again).restore(next);
        QCOMPARE(next.baudRate(), 4800);
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
        QVERIFY(window.linearCCD()->algorithmPath().isEmpty());
        QVERIFY(window.ccd()->algorithmPath().isEmpty());
        QCOMPARE(window.linearCCD()->findChild<QLineEdit *>("lineEdit_dllPath")->text(),
                 QStringLiteral("请选择算法"));
        // The mode stays chosen, without an algorithm, as after a cancelled dialog.
        QCOMPARE(window.linearCCD()->thresholdMode(), ThresholdMode::Custom);
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
    QCOMPARE(window.ccd()->algorithmPath(), nativePath(TESTPLUGIN_INVERT));
    QVERIFY(m_dialogs->boxes.isEmpty());
}

QTEST_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"

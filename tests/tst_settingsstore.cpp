#include "comassistant.h"
#include "commandline.h"
#include "languagebutton.h"
#include "mainwindow.h"
#include "oscilloscope.h"
#include "settingsstore.h"
#include "statusbarpanel.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    values["hexDisplay"] = window.terminal()->hexDisplay();
    values["hexSend"] = window.terminal()->hexSend();
    values["encoding"] = window.terminal()->textEncoding();
    values["timestamps"] = window.terminal()->timestamps();
    values["lineEnding"] = int(window.terminal()->lineEnding());
    values["repeatPeriod"] = window.terminal()->repeatPeriod();
    values["sendHistory"] = window.terminal()->sendHistory();
    const Oscilloscope *scope = window.oscilloscope();
    for (int ch = 0; ch < 4; ++ch) {
        values[QStringLiteral("scale%1").arg(ch)] = scope->channelScaleIndex(ch);
        values[QStringLiteral("max%1").arg(ch)] = scope->maximum(ch);
        values[QStringLiteral("min%1").arg(ch)] = scope->minimum(ch);
    }
    values["channel"] = scope->currentChannel();
    values["verticalDial"] = scope->verticalDial();
    values["horizontal"] = scope->horizontalScaleIndex();
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
        window.terminal()->setHexDisplay(false);
        window.terminal()->setHexSend(true);
        window.terminal()->setTextEncoding(QStringLiteral("UTF-8"));
        window.terminal()->setTimestamps(true);
        window.terminal()->setLineEnding(LineEnding::CrLf);
        window.terminal()->setRepeatPeriod(25);
        window.terminal()->setSendHistory(
                { QStringLiteral("text:PID 1.5, 0.2\n速度 @12"), QStringLiteral("hex:FA 29") });
        Oscilloscope *scope = window.oscilloscope();
        QVERIFY(scope->setChannelScaleIndex(0, 0));
        QVERIFY(scope->setChannelScaleIndex(1, 1));
        QVERIFY(scope->setChannelScaleIndex(2, 9));
        QVERIFY(scope->setChannelScaleIndex(3, 14));
        QVERIFY(scope->setCurrentChannel(2));
        QVERIFY(scope->setVerticalDial(3));
        QVERIFY(scope->setHorizontalScaleIndex(12));
        QVERIFY(scope->setLimits(0, 10, -10));
        QVERIFY(scope->setLimits(1, -2.5, -7.125));
        QVERIFY(scope->setLimits(2, 0.5, 0.25));
        QVERIFY(scope->setLimits(3, 100, 99.999));
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
    QVERIFY(window.findChild<QRadioButton *>("GettedTextBnt")->isChecked());

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
               "ch4\\minimum=1.0001\n");
    file.close();
    QSettings settings(path, QSettings::IniFormat);
    // Values of other types than text, as a registry or a hand-edited file
    // may hold them.
    settings.setValue(QStringLiteral("scope/ch2/scale"), QPoint(1, 2));
    settings.setValue(QStringLiteral("serial/stopBits"), QStringList { "1", "2" });
    settings.setValue(QStringLiteral("window/geometry"), QString(100000, QLatin1Char('x')));

    MainWindow window;
    SettingsStore(settings).restore(window);
    QVariantMap expected = m_defaults;
    expected["dataBits"] = 2;
    expected["sendHistory"] = QStringList { QStringLiteral("text:PID 1.5, 0.2") };
    QCOMPARE(differences(expected, remembered(window)), QStringList());

    // A history with a control character or more entries than are kept is
    // left out whole.
    settings.setValue(QStringLiteral("terminal/history"), QStringList { "text:a\x1b[2J" });
    SettingsStore(settings).restore(window);
    QCOMPARE(window.terminal()->sendHistory(), expected["sendHistory"].toStringList());
    QStringList many;
    for (int i = 0; i < 21; ++i)
        many << QStringLiteral("text:%1").arg(i);
    settings.setValue(QStringLiteral("terminal/history"), many);
    SettingsStore(settings).restore(window);
    QCOMPARE(window.terminal()->sendHistory(), expected["sendHistory"].toStringList());
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

QTEST_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"

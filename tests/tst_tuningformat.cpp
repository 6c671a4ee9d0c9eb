#include "commandtemplate.h"
#include "paramset.h"
#include "sendthrottle.h"

#include <QTest>

// The tuning panel's pure rules: templates against bytes written out by hand,
// the shared file, and the send rate of a moving control.
class TestTuningFormat : public QObject
{
    Q_OBJECT

private slots:
    void formsBytes_data();
    void formsBytes();
    void refusesWhatCannotForm_data();
    void refusesWhatCannotForm();
    void fileRoundTripAndUnknownKeys();
    void refusesBadFiles_data();
    void refusesBadFiles();
    void throttleSendsEveryIntervalAndTheFinalValue();
    void throttleOnReleaseSendsOnlyTheEnd();
};

void TestTuningFormat::formsBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("v") << "kp={v}\\n" << false << 1.5 << 2 << QByteArray("kp=1.50\n");
    QTest::newRow("v negative") << "{v}" << false << -0.125 << 1 << QByteArray("-0.1");
    QTest::newRow("i") << "t={i}\\r\\n" << false << 2.5 << 2 << QByteArray("t=3\r\n");
    QTest::newRow("i negative") << "{i}" << false << -2.5 << 0 << QByteArray("-3");
    QTest::newRow("escapes") << "a\\tb\\\\c\\x00\\xfF" << false << 0.0 << 0
                             << QByteArray("a\tb\\c\x00\xff", 7);
    QTest::newRow("utf8") << "速度" << false << 0.0 << 0 << QByteArray("\xe9\x80\x9f\xe5\xba\xa6");
    QTest::newRow("sum8 text") << "ab{sum8}" << false << 0.0 << 0 << QByteArray("ab\xc3");
    QTest::newRow("hex bytes") << "a5 1 ff" << true << 0.0 << 0 << QByteArray("\xa5\x01\xff");
    QTest::newRow("u8") << "{u8}" << true << 200.4 << 0 << QByteArray("\xc8");
    QTest::newRow("i8") << "{i8}" << true << -2.0 << 0 << QByteArray("\xfe");
    QTest::newRow("u16le") << "{u16le}" << true << 4660.0 << 0 << QByteArray("\x34\x12");
    QTest::newRow("u16be") << "{u16be}" << true << 4660.0 << 0 << QByteArray("\x12\x34");
    QTest::newRow("i16le") << "{i16le}" << true << -2.0 << 0 << QByteArray("\xfe\xff");
    QTest::newRow("i16be") << "{i16be}" << true << -300.0 << 0 << QByteArray("\xfe\xd4");
    QTest::newRow("i32le") << "{i32le}" << true << 305419896.0 << 0
                           << QByteArray("\x78\x56\x34\x12");
    QTest::newRow("i32be") << "{i32be}" << true << -1.0 << 0 << QByteArray("\xff\xff\xff\xff");
    QTest::newRow("f32le") << "{f32le}" << true << 1.5 << 2 << QByteArray("\x00\x00\xc0\x3f", 4);
    QTest::newRow("f32be") << "{f32be}" << true << -2.0 << 0 << QByteArray("\xc0\x00\x00\x00", 4);
    QTest::newRow("v in hex") << "AA{v}" << true << 1.5 << 1
                              << QByteArray("\xaa"
                                            "1.5");
    // Of every byte before it, checksums included.
    QTest::newRow("sum8 xor8") << "A5 01 {u8} {sum8} {xor8}" << true << 255.0 << 0
                               << QByteArray("\xa5\x01\xff\xa5\xfe", 5);
    QTest::newRow("sum8 first") << "{sum8}{xor8}" << true << 0.0 << 0 << QByteArray(2, '\0');
}

void TestTuningFormat::formsBytes()
{
    QFETCH(QString, text);
    QFETCH(bool, hex);
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QByteArray, bytes);
    const CommandMode mode = hex ? CommandMode::Hex : CommandMode::Text;
    QVERIFY(!CommandTemplate::check(text, mode, ValueRange { value, value, decimals }));
    QCOMPARE(CommandTemplate::form(text, mode, value, decimals), bytes);
}

void TestTuningFormat::refusesWhatCannotForm_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<bool>("hasValue");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");

    QTest::newRow("empty") << "" << false << false << 0.0 << 0.0;
    QTest::newRow("unknown escape") << "a\\q" << false << false << 0.0 << 0.0;
    QTest::newRow("lone backslash") << "a\\" << false << false << 0.0 << 0.0;
    QTest::newRow("short \\x") << "\\x4" << false << false << 0.0 << 0.0;
    QTest::newRow("unclosed") << "kp={v" << false << true << 0.0 << 1.0;
    QTest::newRow("unknown placeholder") << "{w}" << false << true << 0.0 << 1.0;
    QTest::newRow("value without one") << "kp={v}" << false << false << 0.0 << 0.0;
    QTest::newRow("bytes in text") << "{u8}" << false << true << 0.0 << 1.0;
    QTest::newRow("three digits") << "A51" << true << false << 0.0 << 0.0;
    QTest::newRow("not hex") << "A5 G1" << true << false << 0.0 << 0.0;
    QTest::newRow("u8 above") << "{u8}" << true << true << 0.0 << 255.6;
    QTest::newRow("u8 below") << "{u8}" << true << true << -1.0 << 0.0;
    QTest::newRow("i8 above") << "{i8}" << true << true << 0.0 << 128.0;
    QTest::newRow("i16 below") << "{i16be}" << true << true << -32769.0 << 0.0;
    QTest::newRow("u16 above") << "{u16le}" << true << true << 0.0 << 65536.0;
}

void TestTuningFormat::refusesWhatCannotForm()
{
    QFETCH(QString, text);
    QFETCH(bool, hex);
    QFETCH(bool, hasValue);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    const auto range = hasValue ? std::optional<ValueRange>(ValueRange { minimum, maximum, 0 })
                                : std::nullopt;
    const auto error
            = CommandTemplate::check(text, hex ? CommandMode::Hex : CommandMode::Text, range);
    QVERIFY(error.has_value());
    QVERIFY(!error->isEmpty());
}

void TestTuningFormat::fileRoundTripAndUnknownKeys()
{
    const QByteArray json = R"({"format": "smartcar-params", "version": 1, "comment": "ours",
      "controls": [
        {"type": "slider", "name": "kp", "min": 0, "max": 10, "step": 0.01, "decimals": 2,
         "value": 1.5, "mode": "text", "command": "kp={v}\n", "onRelease": false, "colour": 3},
        {"type": "number", "name": "target", "max": 300, "command": "target={i}\n"},
        {"type": "switch", "name": "motor", "mode": "text", "on": "motor=1\n", "off": "motor=0\n"},
        {"type": "button", "name": "start", "mode": "hex", "command": "A5 01 {sum8}"}],
      "commands": [{"name": "reset", "mode": "text", "command": "reset\n", "shortcut": "Ctrl+1",
                    "periodMs": 0}]})";
    QString error;
    const auto set = ParamSet::fromJson(json, &error);
    QVERIFY2(set, qPrintable(error));
    QCOMPARE(set->controls.size(), 4);
    const ParamControl &kp = set->controls.at(0);
    QCOMPARE(kp.type, ParamControl::Type::Slider);
    QCOMPARE(kp.step, 0.01);
    QCOMPARE(kp.value, 1.5);
    // JSON's own \n is a line feed already, which text mode sends as it is.
    QCOMPARE(kp.command, QStringLiteral("kp={v}\n"));
    // Defaults for what a file leaves out.
    QCOMPARE(set->controls.at(1).value, 0.0);
    QCOMPARE(set->controls.at(1).mode, CommandMode::Text);
    QCOMPARE(set->controls.at(2).off, QStringLiteral("motor=0\n"));
    QCOMPARE(set->controls.at(3).mode, CommandMode::Hex);
    QCOMPARE(set->commands.at(0).shortcut, 1);

    const auto again = ParamSet::fromJson(set->toJson(), &error);
    QVERIFY2(again, qPrintable(error));
    QCOMPARE(*again, *set);
}

void TestTuningFormat::refusesBadFiles_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("named");

    const QByteArray head = R"({"format": "smartcar-params", "version": 1, )";
    QTest::newRow("not json") << QByteArray("{\"format\": ") << "JSON";
    QTest::newRow("other format") << QByteArray(R"({"format": "other", "version": 1})") << "format";
    QTest::newRow("newer") << QByteArray(R"({"format": "smartcar-params", "version": 2})") << "2";
    QTest::newRow("no version") << QByteArray(R"({"format": "smartcar-params"})") << "version";
    QTest::newRow("controls not a list") << head + R"("controls": {}})"
                                         << "controls";
    QTest::newRow("unknown type") << head
                    + R"("controls": [{"type": "knob", "name": "a", "command": "x"}]})"
                                  << "knob";
    QTest::newRow("bad template") << head
                    + R"("controls": [{"type": "button", "name": "a", "command": "{v}"}]})"
                                  << "{v}";
    QTest::newRow("min above max") << head + R"("controls": [{"type": "slider", "name": "a",
            "min": 5, "max": 1, "command": "{v}"}]})"
                                   << "1";
    QTest::newRow("step finer than decimals") << head + R"("controls": [{"type": "slider",
            "name": "a", "step": 0.01, "decimals": 1, "command": "{v}"}]})"
                                              << "0.1";
    QTest::newRow("u8 out of range") << head + R"("controls": [{"type": "slider", "name": "a",
            "mode": "hex", "max": 1000, "command": "{u8}"}]})"
                                     << "{u8}";
    QTest::newRow("wrong value type") << head + R"("controls": [{"type": "slider", "name": "a",
            "max": "ten", "command": "{v}"}]})"
                                      << "max";
    QTest::newRow("same name") << head + R"("controls": [
            {"type": "button", "name": "a", "command": "x"},
            {"type": "button", "name": "a", "command": "y"}]})"
                               << "a";
    QTest::newRow("bad shortcut") << head + R"("commands": [{"name": "r", "command": "x",
            "shortcut": "Ctrl+0"}]})"
                                  << "Ctrl+0";
    QTest::newRow("shortcut twice") << head + R"("commands": [
            {"name": "r", "command": "x", "shortcut": "Ctrl+2"},
            {"name": "s", "command": "y", "shortcut": "ctrl+2"}]})"
                                    << "Ctrl+2";
    QTest::newRow("short period") << head + R"("commands": [{"name": "r", "command": "x",
            "periodMs": 5}]})"
                                  << "10";
}

void TestTuningFormat::refusesBadFiles()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, named);
    QString error;
    QVERIFY(!ParamSet::fromJson(json, &error));
    QVERIFY2(error.contains(named), qPrintable(error));
}

void TestTuningFormat::throttleSendsEveryIntervalAndTheFinalValue()
{
    SendThrottle throttle(50);
    QCOMPARE(throttle.move(1, 1000), 1.0);
    QCOMPARE(throttle.move(2, 1010), std::nullopt);
    QCOMPARE(throttle.move(3, 1020), std::nullopt);
    QCOMPARE(throttle.msUntilDue(1020), 30);
    QCOMPARE(throttle.due(1049), std::nullopt);
    QCOMPARE(throttle.due(1050), 3.0);
    QCOMPARE(throttle.msUntilDue(1050), std::nullopt);
    QCOMPARE(throttle.move(4, 1060), std::nullopt);
    // Let go before the interval is over: the end goes out at once.
    QCOMPARE(throttle.release(5, 1070), 5.0);
    QCOMPARE(throttle.due(2000), std::nullopt);
    // Let go where the last send left it: nothing new to say.
    QCOMPARE(throttle.move(6, 1200), 6.0);
    QCOMPARE(throttle.release(6, 1210), std::nullopt);
}

void TestTuningFormat::throttleOnReleaseSendsOnlyTheEnd()
{
    SendThrottle throttle(50);
    throttle.setSendsOnRelease(true);
    for (int n = 0; n < 10; ++n)
        QCOMPARE(throttle.move(n, 1000 + 100 * n), std::nullopt);
    QCOMPARE(throttle.msUntilDue(5000), std::nullopt);
    QCOMPARE(throttle.due(5000), std::nullopt);
    QCOMPARE(throttle.release(9, 5000), 9.0);
}

QTEST_GUILESS_MAIN(TestTuningFormat)
#include "tst_tuningformat.moc"

#ifndef COMMANDTEMPLATE_H
#define COMMANDTEMPLATE_H

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <optional>

// How a command's text is read: as text with escapes, or as hexadecimal bytes.
enum class CommandMode {
    Text,
    Hex,
};

// The values a control can send, for checking a template before it is used.
// A control without a value (a button, a switch, a quick command) has none.
struct ValueRange
{
    double minimum = 0;
    double maximum = 0;
    int decimals = 0;
};

// A command with placeholders for a control's value, turned into the bytes
// that go to the board.
//
// Text mode: characters as UTF-8, with the escapes \n \r \t \\ and \xNN (two
// hexadecimal digits, any byte).
// Hex mode: bytes of one or two hexadecimal digits, separated by spaces.
// Both modes: {v} the value with the control's decimals, {i} the value
// rounded to an integer, both as text; {sum8} and {xor8} the low byte of the
// sum, or the XOR, of every byte before it. Hex mode only: the value rounded
// into {u8} {i8} {u16le} {u16be} {i16le} {i16be} {i32le} {i32be}, or as a
// float in {f32le} {f32be}.
//
// A template is checked once, when it is edited, against the values its
// control can take: whatever passes is formed for every value in the range,
// so that a send never fails.
class CommandTemplate
{
    Q_DECLARE_TR_FUNCTIONS(CommandTemplate)

public:
    // Decimals a value may be shown with.
    static constexpr int kMaxDecimals = 6;

    // What is wrong with text, in one sentence, or nothing when it forms for
    // every value of range (for no value at all without a range).
    static std::optional<QString> check(const QString &text, CommandMode mode,
                                        const std::optional<ValueRange> &range);
    // The bytes of text for value. Only for a template that passed check():
    // anything it cannot form is left out.
    static QByteArray form(const QString &text, CommandMode mode, double value = 0,
                           int decimals = 0);

    // text in one line, as an editor shows it: in text mode line ends and
    // tabs become the escapes that send the same bytes; in hex mode, which
    // they only separate, spaces.
    static QString oneLine(QString text, CommandMode mode);

private:
    static std::optional<QString> run(const QString &text, CommandMode mode, double value,
                                      int decimals, bool hasValue, QByteArray *out);
};

#endif // COMMANDTEMPLATE_H

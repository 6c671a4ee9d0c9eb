#ifndef PARAMSET_H
#define PARAMSET_H

#include "commandtemplate.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QJsonDocument>
#include <QList>
#include <QString>

#include <optional>

// One control of the tuning panel and the commands it sends.
struct ParamControl
{
    enum class Type {
        Slider, // a slider with a number box
        Number, // a number box alone
        Switch, // sends on when ticked, off when cleared
        Button, // sends command when clicked
    };

    Type type = Type::Slider;
    QString name;
    CommandMode mode = CommandMode::Text;
    // Sliders, number boxes and buttons.
    QString command;
    // Switches.
    QString on;
    QString off;
    // Sliders and number boxes.
    double minimum = 0;
    double maximum = 100;
    double step = 1;
    int decimals = 0;
    double value = 0;
    // Sends once the slider is let go rather than while it moves.
    bool onRelease = false;

    bool hasValue() const { return type == Type::Slider || type == Type::Number; }
    ValueRange range() const { return { minimum, maximum, decimals }; }
    // What its tooltip shows: its command, or its two, one line each.
    QString commandText() const;
    bool operator==(const ParamControl &other) const;
};

// A named one-click command, optionally on Ctrl+1 to Ctrl+9, optionally sent
// again every periodMs while it is switched on.
struct QuickCommand
{
    QString name;
    CommandMode mode = CommandMode::Text;
    QString command;
    // 1 to 9 for Ctrl+1 to Ctrl+9; 0 for none.
    int shortcut = 0;
    // 0, or kMinPeriodMs to kMaxPeriodMs.
    int periodMs = 0;

    bool operator==(const QuickCommand &other) const;
};

// The tuning panel's controls and quick commands, and the JSON file a team
// shares them in:
//   {"format": "smartcar-params", "version": 1, "controls": [...], "commands": [...]}
// A file is read whole or not at all: the first problem refuses it, and keys
// the program does not know are passed over.
class ParamSet
{
    Q_DECLARE_TR_FUNCTIONS(ParamSet)

public:
    static constexpr int kVersion = 1;
    static constexpr int kMaxItems = 100;
    static constexpr int kMaxNameLength = 40;
    static constexpr int kMaxCommandLength = 1000;
    static constexpr double kMaxMagnitude = 1e9;
    static constexpr int kMinPeriodMs = 10;
    static constexpr int kMaxPeriodMs = 60000;
    static constexpr qint64 kMaxFileSize = 1 << 20;

    QList<ParamControl> controls;
    QList<QuickCommand> commands;

    QByteArray toJson(QJsonDocument::JsonFormat format = QJsonDocument::Indented) const;
    // The set a file holds, or nothing with *error naming its first problem.
    static std::optional<ParamSet> fromJson(const QByteArray &json, QString *error);

    // What is wrong with one control or command, as the editor asks before it
    // takes it, or nothing.
    static std::optional<QString> checkControl(const ParamControl &control);
    static std::optional<QString> checkCommand(const QuickCommand &command);
    // Whole-set rules: names of controls and shortcuts of commands unique.
    std::optional<QString> check() const;

    bool operator==(const ParamSet &other) const;
};

#endif // PARAMSET_H

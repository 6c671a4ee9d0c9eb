#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include "startoptions.h"

#include <QString>
#include <QStringList>

#include <optional>

class QCommandLineParser;

// The program's command line. It is read before the application object exists,
// so that --help, --version and a mistyped option are answered without a
// display and before any window shows. Qt's own options (-style, -platform,
// ...) are accepted and left to the application object.
class CommandLine
{
public:
    enum class Action { Run, ShowHelp, ShowVersion, Fail };

    // arguments[0] is the program.
    Action parse(const QStringList &arguments);
    Action parse(int argc, char *argv[]);

    // After Fail, what was wrong, in one line.
    QString errorText() const { return m_error; }
    // After Run, what to do.
    const StartOptions &options() const { return m_options; }

    // Prints the help, the version or the error for an action other than Run
    // and returns the program's exit status: 0, or 2 for a bad command line.
    int finish() const;

    static QString helpText();
    static QString versionText();

private:
    QString readOptions(const QCommandLineParser &parser);

    Action m_action = Action::Run;
    QString m_error;
    StartOptions m_options;
};

#endif // COMMANDLINE_H

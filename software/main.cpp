#include "appfont.h"
#include "commandline.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    CommandLine commandLine;
    if (commandLine.parse(argc, argv) != CommandLine::Action::Run)
        return commandLine.finish();

    // Lets the desktop match the window to the program's menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(ASSISTANT_APP_ID));

    // Qt 6 decodes and encodes 8-bit text in the system's local encoding on its
    // own (QString::fromLocal8Bit, QStringConverter::System), so there is no
    // codec to install here.
    QApplication app(argc, argv);
    applyFormFont();
    MainWindow window;
    window.show();
    return app.exec();
}

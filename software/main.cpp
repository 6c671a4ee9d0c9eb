#include "appfont.h"
#include "commandline.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    CommandLine commandLine;
    if (commandLine.parse(argc, argv) != CommandLine::Action::Run)
        return commandLine.finish();

    // Qt 6 decodes and encodes 8-bit text in the system's local encoding on its
    // own (QString::fromLocal8Bit, QStringConverter::System), so there is no
    // codec to install here.
    QApplication app(argc, argv);
    applyFormFont();
    MainWindow window;
    window.show();
    return app.exec();
}

#include "appfont.h"
#include "commandline.h"
#include "mainwindow.h"
#include "quitonsignal.h"
#include "serialpanel.h"
#include "settingsstore.h"
#include "uilanguage.h"

#include <QApplication>
#include <QSettings>

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
    // Where the platform keeps this program's settings.
    QCoreApplication::setOrganizationName(QStringLiteral("Tessavo"));
    QCoreApplication::setApplicationName(QStringLiteral("smartcar-debug-assistant"));

    QSettings settings;
    SettingsStore store(settings);
    // The texts take their language when the widgets are built.
    UiTranslation translation;
    translation.apply(commandLine.options().language.value_or(
            store.rememberedLanguage().value_or(UiLanguage::Chinese)));

    MainWindow window;
    store.restore(window);
    store.applyForThisRun(window, commandLine.options());
    window.show();
    if (commandLine.options().open)
        QMetaObject::invokeMethod(window.serialPanel(), &SerialPanel::openChosenPort,
                                  Qt::QueuedConnection);
    quitOnTerminationSignals(app);
    const int status = app.exec();
    store.save(window);
    return status;
}

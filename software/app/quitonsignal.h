#ifndef QUITONSIGNAL_H
#define QUITONSIGNAL_H

class QCoreApplication;

// Ends app's event loop when the process is asked to stop (SIGTERM, SIGINT,
// SIGHUP on Unix: kill, Ctrl+C, the session ending), as closing the window
// would, so that what follows the loop still runs: the port is closed and
// its lock file removed, and the settings are saved. Call once, after the
// application object exists. Does nothing where there are no such signals.
void quitOnTerminationSignals(QCoreApplication &app);

#endif // QUITONSIGNAL_H

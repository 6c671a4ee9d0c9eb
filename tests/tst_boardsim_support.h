#ifndef TST_BOARDSIM_SUPPORT_H
#define TST_BOARDSIM_SUPPORT_H

// The simulated board as the tests start it, and a plain reader of the virtual
// port it creates. The path of the program comes from the build (BOARDSIM_PROGRAM).

#include "simoptions.h"
#include "unitsource.h"

#include <QComboBox>
#include <QDeadlineTimer>
#include <QFile>
#include <QLineEdit>
#include <QList>
#include <QProcess>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

// True where the system can make pseudo-terminals, which the simulator's own
// virtual port is.
inline bool ptysAvailable()
{
    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// Skips the calling test function where the simulator cannot make its port.
#define SKIP_WITHOUT_PTYS() \
    do { \
        if (!ptysAvailable()) \
            QSKIP("no pseudo-terminals here: the simulated board has no port to offer"); \
    } while (false)

class BoardSim
{
public:
    BoardSim() = default;
    BoardSim(const BoardSim &) = delete;
    BoardSim &operator=(const BoardSim &) = delete;
    ~BoardSim()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // Starts the simulator and waits for the path it prints.
    bool start(const QStringList &arguments)
    {
        m_process.start(QStringLiteral(BOARDSIM_PROGRAM), arguments);
        if (!m_process.waitForStarted(5000))
            return false;
        const QDeadlineTimer deadline(10000);
        while (!m_process.canReadLine()) {
            if (deadline.hasExpired() || !m_process.waitForReadyRead(int(deadline.remainingTime())))
                return false;
        }
        m_path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        return !m_path.isEmpty();
    }

    QString path() const { return m_path; }
    QProcess &process() { return m_process; }

    void sendSignal(int signal) { ::kill(pid_t(m_process.processId()), signal); }

    // True when the simulator ended by itself with the exit status 0.
    bool finishedCleanly(int timeoutMs = 10000)
    {
        return m_process.waitForFinished(timeoutMs)
                && m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }

private:
    QProcess m_process;
    QString m_path;
};

// Opens a serial device raw, as the program does, and reads what arrives.
class PortReader
{
public:
    explicit PortReader(const QString &path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
        termios settings {};
        if (m_fd >= 0 && ::tcgetattr(m_fd, &settings) == 0) {
            ::cfmakeraw(&settings);
            ::tcsetattr(m_fd, TCSANOW, &settings);
        }
    }
    PortReader(const PortReader &) = delete;
    PortReader &operator=(const PortReader &) = delete;
    ~PortReader() { close(); }

    bool isOpen() const { return m_fd >= 0; }

    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    // Reads until n bytes have arrived or the time is up; never more than n.
    QByteArray read(qint64 n, int timeoutMs)
    {
        QByteArray data;
        const QDeadlineTimer deadline(timeoutMs);
        while (data.size() < n && !deadline.hasExpired()) {
            pollfd p { m_fd, POLLIN, 0 };
            if (::poll(&p, 1, int(qMin<qint64>(deadline.remainingTime(), 100))) <= 0)
                continue;
            char chunk[4096];
            const ssize_t got
                    = ::read(m_fd, chunk, size_t(qMin<qint64>(n - data.size(), sizeof chunk)));
            if (got > 0)
                data.append(chunk, qsizetype(got));
            else if (got == 0 || (errno != EAGAIN && errno != EINTR))
                break;
        }
        return data;
    }

private:
    int m_fd;
};

// The first n units (lines, frames, pictures) that the simulator sends when
// started with these arguments, one entry each, made by its own generator:
// with a seed given they are the bytes it sends. Empty for arguments it refuses.
inline QList<QByteArray> simUnits(const QStringList &arguments, qint64 n)
{
    SimOptions options;
    QString error;
    if (parseSimArguments(QStringList { QStringLiteral("sim") } + arguments, true, options, error)
        != ParseOutcome::Run)
        return {};
    const std::unique_ptr<UnitSource> source = createUnitSource(options, error);
    QList<QByteArray> units;
    for (qint64 i = 0; i < n; ++i) {
        QByteArray unit;
        if (!source || source->generate(unit, 1) != 1)
            break;
        units.append(unit);
    }
    return units;
}

// Types a port path into the main window's port list and clicks its open
// button, as a user with the simulator's printed path would.
inline void typePortAndOpen(QWidget *window, const QString &path)
{
    QLineEdit *portEdit = window->findChild<QComboBox *>(QStringLiteral("comList"))->lineEdit();
    portEdit->clear();
    QTest::keyClicks(portEdit, path);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("openPort")), Qt::LeftButton);
}

#endif // TST_BOARDSIM_SUPPORT_H

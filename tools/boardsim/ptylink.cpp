#include "ptylink.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#if defined(__APPLE__)
#    include <util.h>
#elif defined(__FreeBSD__)
#    include <libutil.h>
#else
#    include <pty.h>
#endif

PtyLink::~PtyLink()
{
    if (m_master >= 0)
        ::close(m_master);
}

bool PtyLink::open(QString &error)
{
    int slave = -1;
    if (::openpty(&m_master, &slave, nullptr, nullptr, nullptr) != 0) {
        error = QStringLiteral("cannot create a virtual port: %1")
                        .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // Raw from the start: bytes that arrive before the reader has set up the
    // line must not be translated (CR to LF) or held back in lines.
    termios settings {};
    if (::tcgetattr(slave, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::cfsetispeed(&settings, B115200);
        ::cfsetospeed(&settings, B115200);
        ::tcsetattr(slave, TCSANOW, &settings);
    }
    const char *name = ::ttyname(slave);
    m_path = name ? QFile::decodeName(name) : QString();
    // Only the reader holds the terminal end open, so that its closing shows.
    ::close(slave);
    if (m_path.isEmpty()) {
        error = QStringLiteral("cannot name the virtual port");
        return false;
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    return true;
}

bool PtyLink::readerPresent()
{
    // While nobody holds the terminal end open, reading the master fails (EIO)
    // or reports its end; with a reader there it has data or would block.
    char discard[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, discard, sizeof discard);
        if (n > 0) {
            heard(QByteArray(discard, qsizetype(n)));
            continue;
        }
        if (n == 0)
            return false;
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK;
    }
}

qint64 PtyLink::write(const QByteArray &bytes)
{
    for (;;) {
        const ssize_t n = ::write(m_master, bytes.constData(), size_t(bytes.size()));
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
}

void PtyLink::forgetUnread()
{
    const int fd = ::open(QFile::encodeName(m_path).constData(),
                          O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    ::tcflush(fd, TCIOFLUSH);
    ::close(fd);
}

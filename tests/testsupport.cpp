#include "testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>

#if defined(Q_OS_UNIX)
#    include <csignal>
#    include <sys/resource.h>
#endif

namespace {

QtMessageHandler g_previousHandler = nullptr;

// The offscreen platform warns about every top-level window it cannot size
// by hints; that says nothing about the program under test.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("does not support propagateSizeHints")))
        return;
    g_previousHandler(type, context, message);
}

} // namespace

DialogDriver::DialogDriver()
{
    if (!g_previousHandler)
        g_previousHandler = qInstallMessageHandler(quietHandler);
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    connect(&m_timer, &QTimer::timeout, this, &DialogDriver::answer);
    m_timer.start(10);
}

void DialogDriver::answer()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        if (!box->isVisible())
            return;
        QStringList buttons;
        for (const QAbstractButton *button : box->buttons())
            buttons.append(button->text());
        boxes.append({ box->windowTitle(), box->text(), box->icon(), box->parentWidget() != nullptr,
                       buttons });
        QAbstractButton *button = box->button(QMessageBox::Ok);
        if (!button)
            button = box->button(QMessageBox::Yes);
        if (!button)
            button = box->buttons().value(0);
        if (button)
            button->click();
        return;
    }
    if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
        // A dialog just answered is still up until its queued accept runs.
        if (!dialog->isVisible() || (dialog == m_answered && m_sinceAnswer.elapsed() < 500))
            return;
        m_answered = dialog;
        m_sinceAnswer.start();
        fileTitles.append(dialog->windowTitle());
        fileFilters.append(dialog->nameFilters().join(QStringLiteral(";;")));
        const QString path = fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
        auto *nameEdit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        offeredNames.append(nameEdit ? nameEdit->text() : QString());
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        // Typing the whole path is what a user does and does not depend on the
        // folder the dialog happens to show.
        if (nameEdit)
            nameEdit->setText(path);
        else
            dialog->selectFile(path);
        // accept() is protected in QFileDialog; as a slot it can be invoked by name.
        // Queued, so that a question the dialog asks while accepting (replace
        // an existing file?) is answered by a later tick of this timer.
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    }
}

bool PaintCounter::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Paint)
        ++count;
    return false;
}

QString unwritableFolder(const QString &parent)
{
    const QString folder = QDir(parent).filePath(QStringLiteral("read-only"));
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile probe(QDir(folder).filePath(QStringLiteral("probe")));
    if (!probe.open(QIODevice::WriteOnly))
        return folder;
    probe.remove();
    // Files cannot be made in sysfs, whoever asks.
    QFile sysfs(QStringLiteral("/sys/probe"));
    if (QFileInfo(QStringLiteral("/sys")).isDir() && !sysfs.open(QIODevice::WriteOnly))
        return QStringLiteral("/sys");
    return QString();
}

bool hasChinese(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        const ushort u = c.unicode();
        return (u >= 0x3000 && u <= 0x303F) || (u >= 0x3400 && u <= 0x9FFF)
                || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF00 && u <= 0xFFEF);
    });
}

QByteArray imageBytes(const QImage &image)
{
    QByteArray bytes;
    for (int y = 0; y < image.height(); ++y)
        bytes.append(reinterpret_cast<const char *>(image.constScanLine(y)), image.width());
    return bytes;
}

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
#if defined(Q_OS_UNIX)
    rlimit limit {};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return;
    m_previousLimit = limit.rlim_cur;
    limit.rlim_cur = rlim_t(bytes);
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    if (!m_active)
        std::signal(SIGXFSZ, m_previousHandler);
#else
    Q_UNUSED(bytes);
#endif
}

FileSizeLimit::~FileSizeLimit()
{
#if defined(Q_OS_UNIX)
    if (!m_active)
        return;
    rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(m_previousLimit);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_previousHandler);
#endif
}

VirtualSerialPair::VirtualSerialPair()
{
    static int counter = 0;
    // Names unique per process and pair: the serial port's lock file is named
    // after the device, so two pairs must never share a name.
    const QString stem
            = QStringLiteral("scda%1x%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    m_first = m_dir.filePath(stem + QStringLiteral("a"));
    m_second = m_dir.filePath(stem + QStringLiteral("b"));
}

VirtualSerialPair::~VirtualSerialPair()
{
    stop();
}

bool VirtualSerialPair::isAvailable()
{
    return !QStandardPaths::findExecutable(QStringLiteral("socat")).isEmpty();
}

bool VirtualSerialPair::start()
{
    m_socat.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_socat.start(QStringLiteral("socat"),
                  { QStringLiteral("pty,raw,echo=0,link=") + m_first,
                    QStringLiteral("pty,raw,echo=0,link=") + m_second });
    if (!m_socat.waitForStarted(5000))
        return false;
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        if (QFileInfo::exists(m_first) && QFileInfo::exists(m_second))
            return true;
        if (m_socat.state() == QProcess::NotRunning)
            return false;
        QThread::msleep(10);
    }
    return false;
}

void VirtualSerialPair::stop()
{
    if (m_socat.state() == QProcess::NotRunning)
        return;
    m_socat.kill();
    m_socat.waitForFinished(5000);
    // Killed, socat cannot remove its links. Left behind, they would point at
    // terminals that the system soon gives to other programs.
    QFile::remove(m_first);
    QFile::remove(m_second);
}

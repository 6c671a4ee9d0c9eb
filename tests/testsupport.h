#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

// Answers the modal dialogs that the program opens, so that a test driving a
// real button is never stuck in a nested event loop. Every message box is
// recorded and answered with OK (or Yes); file dialogs take the queued answers
// in order, an empty answer cancelling the dialog.
class DialogDriver : public QObject
{
    Q_OBJECT

public:
    struct Box
    {
        QString title;
        QString text;
        QMessageBox::Icon icon;
        bool hasParent;
        QStringList buttons;
    };

    DialogDriver();

    QList<Box> boxes;
    QStringList fileAnswers;
    // Title and name filters (joined by ";;") of each file dialog seen.
    QStringList fileTitles;
    QStringList fileFilters;
    // The file name each file dialog offered before it was answered.
    QStringList offeredNames;

private:
    void answer();

    QTimer m_timer;
    QPointer<QWidget> m_answered;
    QElapsedTimer m_sinceAnswer;
};

// Counts the paint events of the widgets it is installed on, to tell a
// synchronous repaint from a deferred update.
class PaintCounter : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override;
};

// A folder in which this process cannot create files: a read-only folder made
// inside parent or, for a user who may write anywhere (root), a system folder
// that takes no new files. Empty where there is none.
QString unwritableFolder(const QString &parent);

// True if text holds a Chinese character: an ideograph, CJK punctuation or a
// full-width form.
bool hasChinese(const QString &text);

// The pixel bytes of an 8-bit image, row after row, without the row padding.
QByteArray imageBytes(const QImage &image);

// While it lives, files this process writes cannot grow beyond the given size,
// as on a full disk: a write past the limit fails instead of raising SIGXFSZ.
// Only where the system has file size limits (Unix); elsewhere isActive() is false.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool isActive() const { return m_active; }

private:
    bool m_active = false;
    unsigned long long m_previousLimit = 0;
    void (*m_previousHandler)(int) = nullptr;
};

// A pair of connected virtual serial ports made by socat. Writing to one end
// arrives at the other, as over a null-modem cable.
class VirtualSerialPair
{
public:
    VirtualSerialPair();
    ~VirtualSerialPair();

    // True where socat can be found; where it cannot (as on Windows), tests
    // that need a pair skip with SKIP_WITHOUT_SOCAT.
    static bool isAvailable();
    // Starts socat and waits until both ends exist. False if socat is missing
    // or did not come up.
    bool start();
    // Ends socat, as if the cable had been pulled out: the ports and their
    // names are gone.
    void stop();

    QString first() const { return m_first; }
    QString second() const { return m_second; }

private:
    QTemporaryDir m_dir;
    QProcess m_socat;
    QString m_first;
    QString m_second;
};

// Skips the calling test function where socat is missing.
#define SKIP_WITHOUT_SOCAT() \
    do { \
        if (!VirtualSerialPair::isAvailable()) \
            QSKIP("socat is not installed: no virtual serial ports to test with"); \
    } while (false)

#endif // TESTSUPPORT_H

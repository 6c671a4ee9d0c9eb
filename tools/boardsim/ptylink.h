#ifndef PTYLINK_H
#define PTYLINK_H

#include "boardlink.h"

// A virtual serial port of our own: a pseudo-terminal pair. The program under
// test opens the terminal end by its path; this side writes to the master end
// and sees through it whether that path is open.
class PtyLink : public BoardLink
{
public:
    PtyLink() = default;
    ~PtyLink() override;
    PtyLink(const PtyLink &) = delete;
    PtyLink &operator=(const PtyLink &) = delete;

    bool open(QString &error) override;
    QString deviceName() const override { return m_path; }
    bool isVirtual() const override { return true; }
    bool readerPresent() override;
    qint64 write(const QByteArray &bytes) override;
    bool flushed() override { return true; }
    void forgetUnread() override;

private:
    int m_master = -1;
    QString m_path;
};

#endif // PTYLINK_H

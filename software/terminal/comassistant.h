#ifndef COMASSISTANT_H
#define COMASSISTANT_H

#include "lineending.h"
#include "receivehistory.h"
#include "streamsink.h"

#include <QByteArray>
#include <QWidget>

#include <memory>
#include <optional>

class QAction;
class QSerialPort;
class ReceiveDisplay;
class RepeatSender;
class SendHistoryBrowser;

QT_BEGIN_NAMESPACE
namespace Ui {
class ComAssistant;
}
QT_END_NAMESPACE

// The serial terminal: shows received bytes as text or hexadecimal text,
// keeps every one of them for saving, and sends the editor's content.
class ComAssistant : public QWidget, public StreamSink
{
    Q_OBJECT

public:
    // port is the address of the main window's port pointer, so the tab always
    // sees the port that is open now, or null.
    ComAssistant(QWidget *parent, QSerialPort *const *port);
    ~ComAssistant() override;

    // Shows and keeps every byte of the receive buffer, then empties it.
    void handleData(QByteArray &buffer) override;

    // Tells the user that data written to the port did not go out.
    void reportSendFailure();

    // Received bytes shown as hexadecimal text rather than text.
    bool hexDisplay() const;
    // As clicking the display mode's button: what was received is shown again.
    void setHexDisplay(bool hex);
    // The send editor read as hexadecimal text rather than text.
    bool hexSend() const;
    void setHexSend(bool hex);
    // Appended to every text send.
    LineEnding lineEnding() const;
    void setLineEnding(LineEnding ending);
    // The period of 定时发送, in milliseconds.
    int repeatPeriod() const;
    void setRepeatPeriod(int ms);
    // Earlier sends, newest first, as the settings keep them.
    QStringList sendHistory() const;
    void setSendHistory(const QStringList &entries);

    // The encoding of the text display, text sends and loaded .txt files, by
    // its name in TextEncoding::available().
    QString textEncoding() const;
    void setTextEncoding(const QString &name);
    // Each line of the display starts with the time its first byte arrived.
    bool timestamps() const;
    void setTimestamps(bool on);

    // Received bytes kept in memory before older ones move to a temporary
    // file, and received bytes' worth of lines the display holds. For tests
    // and benchmarks; the defaults suit a session of hours.
    void setReceiveLimits(qsizetype memoryBytes, qint64 displayBytes);
    const ReceiveHistory &receiveHistory() const { return m_received; }

private slots:
    void on_GettedTextBnt_clicked();
    void on_GettedHexBnt_clicked();
    void on_CleanDataGettedBnt_clicked();
    void on_CleanDataSendBnt_clicked();
    void on_SendBnt_clicked();
    void on_SaveDataGettedBnt_clicked();
    void on_OpenDataBnt_clicked();

private:
    void rerender();
    void saveShownText();
    void showReceiveMenu(const QPoint &pos);
    void showOpenError(const QString &fileName);
    void showWriteError(const QString &fileName);
    // Sends the editor's content as 发送 does. Quietly (a repeated send) the
    // size warning is left out. False when sending cannot go on: no open
    // port, text that is not hexadecimal, or a failed write.
    bool sendEditor(bool quietly);
    void setRepeating(bool on);

    Ui::ComAssistant *ui;
    ReceiveHistory m_received;
    QSerialPort *const *m_port;
    std::unique_ptr<ReceiveDisplay> m_display;
    // "保存显示内容" in the display's context menu.
    QAction *m_saveShownAction;
    // The bytes of the editor's hexadecimal text until the text changes: a
    // loaded file of a megabyte takes a quarter of a second to parse, too
    // long for every period of a repeated send.
    std::optional<QByteArray> m_hexBytes;
    RepeatSender *m_repeat;
    SendHistoryBrowser *m_history;
    // While the failure box is up: further failures of the same cause add
    // no box.
    bool m_reportingFailure;
};

#endif // COMASSISTANT_H

#ifndef COMASSISTANT_H
#define COMASSISTANT_H

#include "lineending.h"
#include "receivehistory.h"
#include "settingspart.h"
#include "streamsink.h"

#include <QByteArray>
#include <QWidget>

#include <memory>
#include <optional>

class ByteLink;
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
class ComAssistant : public QWidget, public StreamSink, public SettingsPart
{
    Q_OBJECT

public:
    // Sends through link, which must outlive the tab.
    ComAssistant(QWidget *parent, ByteLink &link);
    // port is the address of a port pointer such as the main window's, so
    // the tab always sends through the port that is open now, or finds none.
    ComAssistant(QWidget *parent, QSerialPort *const *port);
    ~ComAssistant() override;

    // Shows and keeps every byte of the receive buffer, then empties it.
    void handleData(QByteArray &buffer) override;

    // The display and send modes, the encoding, the time stamps, the line
    // ending, the period of 定时发送 and the send history.
    QString settingsGroup() const override;
    void saveSettings(SettingsGroup &group) const override;
    void restoreSettings(const SettingsGroup &group) override;

    // As clicking the display mode's button: what was received is shown again.
    void setHexDisplay(bool hex);
    // The send editor read as hexadecimal text rather than text.
    bool hexSend() const;
    void setHexSend(bool hex);
    // Appended to every text send.
    void setLineEnding(LineEnding ending);
    // The period of 定时发送, in milliseconds.
    void setRepeatPeriod(int ms);
    // Earlier sends, newest first, as the settings keep them.
    QStringList sendHistory() const;
    // The encoding of the text display, text sends and loaded .txt files, by
    // its name in TextEncoding::available().
    void setTextEncoding(const QString &name);

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
    bool hexDisplay() const;
    LineEnding lineEnding() const;
    QString textEncoding() const;
    // Each line of the display starts with the time its first byte arrived.
    bool timestamps() const;
    // Tells the user that data written to the link did not go out.
    void reportSendFailure();
    void rerender();
    void saveShownText();
    void showReceiveMenu(const QPoint &pos);
    void showOpenError(const QString &fileName);
    void showWriteError(const QString &fileName);
    // Sends the editor's content as 发送 does. Quietly (a repeated send) the
    // size warning is left out. False when sending cannot go on: no open
    // link, text that is not hexadecimal, or a failed write.
    bool sendEditor(bool quietly);
    void setRepeating(bool on);

    Ui::ComAssistant *ui;
    ReceiveHistory m_received;
    ByteLink *m_link;
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

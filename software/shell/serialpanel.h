#ifndef SERIALPANEL_H
#define SERIALPANEL_H

#include "serialconnection.h"
#include "settingspart.h"

#include <QObject>

class CapturePlayer;
class PortWatcher;
class QComboBox;
class QWidget;

namespace Ui {
class MainWindow;
}

// The serial panel on the left of the window, over the form's own widgets:
// the port list and how it follows ports that come and go, the line
// settings, opening and closing with their boxes, the lost and reconnected
// port, and the lock while a replay plays. The boxes have the window as
// parent. It remembers the port and the line settings.
class SerialPanel : public QObject, public SettingsPart
{
    Q_OBJECT

public:
    // ui is the window's form, which outlives the panel.
    SerialPanel(Ui::MainWindow &ui, SerialConnection *connection, CapturePlayer *player,
                QWidget *window);

    PortWatcher *portWatcher() const { return m_portWatcher; }

    // The port box's text: a listed port or a typed device.
    QString portEntry() const;
    // Selects the listed port of that name, or else puts entry into the box.
    void setPortEntry(const QString &entry);
    qint32 baudRate() const;
    // A listed rate selects its item, another one from kMinBaudRate to
    // kMaxBaudRate goes into the box as typed; false for any other rate.
    bool setBaudRate(qint32 rate);

    // Refills the list from the ports present; the first one is selected.
    void refreshPortList();
    // 打开串口 or 关闭串口: closes an open port (or ends a wait), else opens
    // the chosen one.
    void toggle();

    QString settingsGroup() const override;
    void saveSettings(SettingsGroup &group) const override;
    void restoreSettings(const SettingsGroup &group) override;

public slots:
    // Opens the chosen port as a click on 打开串口 does, unless one is open
    // or a replay plays.
    void openChosenPort();

signals:
    // A port opened or a replay started: the tabs are fed; and its end.
    void sourceStarted();
    void sourceStopped();
    void replayingChanged(bool replaying);

private:
    void followPorts(const QStringList &names);
    void open();
    void showRateRefused(const QString &rate);
    void updateControls();
    void onStateChanged(SerialConnection::State state);
    void onReconnected(const QString &device);
    void onReplayActive(bool active);
    static bool selectIndex(QComboBox *list, int index);

    Ui::MainWindow &m_ui;
    SerialConnection *m_connection;
    CapturePlayer *m_player;
    QWidget *m_window;
    PortWatcher *m_portWatcher;
    bool m_replaying = false;
};

#endif // SERIALPANEL_H

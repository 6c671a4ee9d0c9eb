#ifndef STATUSBARPANEL_H
#define STATUSBARPANEL_H

#include "serialconnection.h"
#include "settingspart.h"

#include <QObject>
#include <QTimer>

#include <initializer_list>

class QCheckBox;
class QLabel;
class QStatusBar;
class QToolButton;

// The main window's status bar: on the left the port's state (for a network
// address, the address and whether it connects, listens or has a peer), or a message
// such as the wait for a lost port; on the right the bytes received and sent
// since opening (a click zeroes them), the receive rate over the last second
// and the 自动重连 box, which it remembers. Other features add their own
// parts with addSection().
class StatusBarPanel : public QObject, public SettingsPart
{
    Q_OBJECT

public:
    static constexpr int kRefreshMs = 250;
    static constexpr int kReconnectedMs = 5000;

    // Puts its widgets into bar, which owns them from then on.
    StatusBarPanel(QStatusBar *bar, SerialConnection *connection);

    // Adds widget to the right part of the status bar, in the order added,
    // before the port's counters. The status bar takes it over.
    void addSection(QWidget *widget);
    // Lays parts out side by side in section, which is no wider than they
    // are: a status bar message hides the port's state and leaves its room
    // to whoever takes it.
    static void layOutSection(QWidget *section, std::initializer_list<QWidget *> parts);

    bool autoReconnect() const;
    // Ticks or clears the 自动重连 box, as a click would.
    void setAutoReconnect(bool on);

    QString settingsGroup() const override;
    void saveSettings(SettingsGroup &group) const override;
    void restoreSettings(const SettingsGroup &group) override;

    static QString waitingText();
    static QString reconnectedText();
    // A network address in use and what it is doing: connected (to whom),
    // listening, or the UDP peer.
    static QString networkStateText(const NetworkLink &link);

private:
    void onStateChanged(SerialConnection::State state);
    void onReconnected();
    void resetCounters();
    void refresh();
    void showState(const QString &text);

    QStatusBar *m_bar;
    SerialConnection *m_connection;
    QLabel *m_state;
    QToolButton *m_counters;
    QLabel *m_rate;
    QCheckBox *m_autoReconnect;
    QTimer m_refreshTimer;
    int m_sections = 0;
};

#endif // STATUSBARPANEL_H

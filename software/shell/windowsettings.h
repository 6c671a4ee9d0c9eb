#ifndef WINDOWSETTINGS_H
#define WINDOWSETTINGS_H

#include "settingspart.h"

class QMainWindow;
class QTabWidget;

// What the window itself remembers: its place and size, and the tab shown.
class WindowSettings : public SettingsPart
{
public:
    // Both must outlive it.
    WindowSettings(QMainWindow *window, QTabWidget *tabs);

    QString settingsGroup() const override;
    void saveSettings(SettingsGroup &group) const override;
    void restoreSettings(const SettingsGroup &group) override;

private:
    QMainWindow *m_window;
    QTabWidget *m_tabs;
};

#endif // WINDOWSETTINGS_H

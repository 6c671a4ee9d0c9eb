#ifndef TUNINGDOCK_H
#define TUNINGDOCK_H

#include "settingspart.h"

#include <QDockWidget>
#include <QPointer>
#include <QToolButton>

class ByteLink;
class ParamSet;
class QMainWindow;
class TuningPanel;

// The window's side panel 调参, which holds the tuning panel. It floats
// beside the window at first; docked, it makes the window wider rather than
// narrow the tabs. Hidden by default; it remembers whether it shows, whether
// it floats and its set.
class TuningDock : public QDockWidget, public SettingsPart
{
    Q_OBJECT

public:
    // Adds itself to window's right side, hidden and floating.
    TuningDock(ByteLink &link, QMainWindow *window);
    ~TuningDock() override;

    TuningPanel *panel() const { return m_panel; }
    // The status bar's button that shows and hides it.
    // Its owner places it; until then it is the dock's.
    QToolButton *toggleButton() const { return m_button; }

    // Shows the set of a file for this run only: unless the user edits or
    // imports another set, the remembered one stays remembered.
    void setParamSetForThisRun(const ParamSet &set);

    QString settingsGroup() const override;
    void saveSettings(SettingsGroup &group) const override;
    void restoreSettings(const SettingsGroup &group) override;

private:
    void edit();
    void placeBesideWindow();
    void makeRoom();

    QMainWindow *m_window;
    TuningPanel *m_panel;
    QPointer<QToolButton> m_button;
    bool m_placed = false;
    bool m_setForThisRun = false;
};

#endif // TUNINGDOCK_H

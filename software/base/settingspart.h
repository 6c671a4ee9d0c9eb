#ifndef SETTINGSPART_H
#define SETTINGSPART_H

#include "settingsgroup.h"

#include <QString>

// A part of the window that remembers its state between runs: a tab, the
// serial panel, the status bar. It checks its own values against its own
// ranges and rules; the settings store only walks the parts and reads and
// writes their groups. Several parts may share a group, each with keys of
// its own. Nothing is read when a part is built: main restores the parts
// once the window stands.
class SettingsPart
{
public:
    virtual ~SettingsPart() = default;

    // The group its keys live under, such as "terminal".
    virtual QString settingsGroup() const = 0;
    virtual void saveSettings(SettingsGroup &group) const = 0;
    // Takes each value that is valid and leaves the rest as they are.
    virtual void restoreSettings(const SettingsGroup &group) = 0;
};

#endif // SETTINGSPART_H

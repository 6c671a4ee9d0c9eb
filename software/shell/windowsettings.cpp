#include "windowsettings.h"

#include <QMainWindow>
#include <QTabWidget>

namespace {

const QString kGeometry = QStringLiteral("geometry");
const QString kTab = QStringLiteral("tab");
// saveGeometry() writes a few dozen bytes.
constexpr int kMaxGeometrySize = 4096;

} // namespace

WindowSettings::WindowSettings(QMainWindow *window, QTabWidget *tabs)
    : m_window(window)
    , m_tabs(tabs)
{ }

QString WindowSettings::settingsGroup() const
{
    return QStringLiteral("window");
}

void WindowSettings::saveSettings(SettingsGroup &group) const
{
    group.write(kGeometry, m_window->saveGeometry());
    group.write(kTab, m_tabs->currentIndex());
}

void WindowSettings::restoreSettings(const SettingsGroup &group)
{
    if (const auto geometry = group.readBytes(kGeometry, kMaxGeometrySize))
        m_window->restoreGeometry(*geometry);
    if (const auto tab = group.readInt(kTab, 0, m_tabs->count() - 1))
        m_tabs->setCurrentIndex(*tab);
}

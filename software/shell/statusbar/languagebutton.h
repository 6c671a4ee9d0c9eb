#ifndef LANGUAGEBUTTON_H
#define LANGUAGEBUTTON_H

#include "settingspart.h"
#include "uilanguage.h"

#include <QToolButton>

class QAction;
class QMenu;

// The status bar's language chooser: a click lists the languages, with the
// chosen one ticked. The choice is remembered and takes effect at the next
// start.
class LanguageButton : public QToolButton, public SettingsPart
{
    Q_OBJECT

public:
    // How long the status bar says when the choice applies.
    static constexpr int kMessageMs = 5000;

    explicit LanguageButton(QWidget *parent = nullptr);

    // The language the next start shows.
    UiLanguage chosen() const;
    // Marks language as chosen, as the menu would but without a message.
    void setChosen(UiLanguage language);
    // Whether the user picked a language from the menu during this run.
    bool pickedByUser() const { return m_pickedByUser; }

    QMenu *languageMenu() const { return m_menu; }

    QString settingsGroup() const override;
    void saveSettings(SettingsGroup &group) const override;
    void restoreSettings(const SettingsGroup &group) override;
    // The language group remembers, if any.
    static std::optional<UiLanguage> rememberedLanguage(const SettingsGroup &group);

signals:
    // The user chose a language from the menu; message says when it applies.
    void chosenByUser(const QString &message);

private:
    void choose(UiLanguage language);

    bool m_pickedByUser = false;
    QMenu *m_menu;
    QAction *m_actions[2];
};

#endif // LANGUAGEBUTTON_H

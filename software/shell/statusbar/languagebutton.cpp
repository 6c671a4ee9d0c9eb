#include "languagebutton.h"

#include <QActionGroup>
#include <QMenu>

LanguageButton::LanguageButton(QWidget *parent)
    : QToolButton(parent)
    , m_menu(new QMenu(this))
{
    setObjectName(QStringLiteral("languageButton"));
    // A globe rather than a name: the status bar has no room for one, and
    // it reads the same in every language.
    setIcon(QIcon(QStringLiteral(":/pic/language.png")));
    setToolTip(tr("界面语言（Language），重新启动后生效"));
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);

    auto *group = new QActionGroup(m_menu);
    for (const UiLanguage language : { UiLanguage::Chinese, UiLanguage::English }) {
        QAction *action = m_menu->addAction(uiLanguageName(language));
        action->setCheckable(true);
        action->setActionGroup(group);
        connect(action, &QAction::triggered, this, [this, language] { choose(language); });
        m_actions[int(language)] = action;
    }
    // Opened by hand rather than through setMenu(), which would add an arrow
    // the status bar has no room for.
    connect(this, &QToolButton::clicked, this, [this] {
        // Above the button, its right edges level with the button's: the
        // button sits at the window's bottom right corner.
        const QSize size = m_menu->sizeHint();
        m_menu->popup(mapToGlobal(QPoint(width() - size.width(), -size.height())));
    });
    setChosen(runningUiLanguage());
}

UiLanguage LanguageButton::chosen() const
{
    return m_actions[int(UiLanguage::English)]->isChecked() ? UiLanguage::English
                                                            : UiLanguage::Chinese;
}

void LanguageButton::setChosen(UiLanguage language)
{
    m_actions[int(language)]->setChecked(true);
}

void LanguageButton::choose(UiLanguage language)
{
    m_pickedByUser = true;
    setChosen(language);
    const QString name = uiLanguageName(language);
    emit chosenByUser(language == runningUiLanguage() ? tr("界面语言保持为%1").arg(name)
                                                      : tr("重新启动后界面语言改为%1").arg(name));
}

QString LanguageButton::settingsGroup() const
{
    return QStringLiteral("window");
}

void LanguageButton::saveSettings(SettingsGroup &group) const
{
    group.write(QStringLiteral("language"), uiLanguageCode(chosen()));
}

void LanguageButton::restoreSettings(const SettingsGroup &group)
{
    setChosen(rememberedLanguage(group).value_or(UiLanguage::Chinese));
}

std::optional<UiLanguage> LanguageButton::rememberedLanguage(const SettingsGroup &group)
{
    // Codes are two letters: anything longer is nonsense.
    if (const auto code = group.readText(QStringLiteral("language"), 2))
        return uiLanguageFromCode(*code);
    return std::nullopt;
}

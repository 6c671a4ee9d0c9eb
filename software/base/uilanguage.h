#ifndef UILANGUAGE_H
#define UILANGUAGE_H

#include <QString>
#include <QTranslator>

#include <optional>

// The language of the program's texts. Chinese is the language they are
// written in; English comes from the translation compiled into the program.
enum class UiLanguage { Chinese, English };

// The codes --lang and the settings use: "zh" and "en".
QString uiLanguageCode(UiLanguage language);
std::optional<UiLanguage> uiLanguageFromCode(const QString &code);
// The language's name as the chooser lists it.
QString uiLanguageName(UiLanguage language);
// The language of the translation installed now: Chinese without one.
UiLanguage runningUiLanguage();

// Puts the texts of one language into the application. Widgets take their
// texts when they are built, so the language is set before the window is.
class UiTranslation
{
public:
    UiTranslation() = default;
    ~UiTranslation();
    UiTranslation(const UiTranslation &) = delete;
    UiTranslation &operator=(const UiTranslation &) = delete;

    // Installs the translation of language, or removes it for Chinese. False,
    // with Chinese left in place, when the translation cannot be loaded.
    bool apply(UiLanguage language);

private:
    QTranslator m_translator;
    bool m_installed = false;
};

#endif // UILANGUAGE_H

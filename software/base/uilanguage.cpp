#include "uilanguage.h"

#include <QCoreApplication>

QString uiLanguageCode(UiLanguage language)
{
    return language == UiLanguage::English ? QStringLiteral("en") : QStringLiteral("zh");
}

std::optional<UiLanguage> uiLanguageFromCode(const QString &code)
{
    for (const UiLanguage language : { UiLanguage::Chinese, UiLanguage::English }) {
        if (code == uiLanguageCode(language))
            return language;
    }
    return std::nullopt;
}

QString uiLanguageName(UiLanguage language)
{
    // Each language under its own name, so that it can be found whichever
    // language shows; an English screen names Chinese in English.
    if (language == UiLanguage::English)
        return QStringLiteral("English");
    return QCoreApplication::translate("UiLanguage", "中文");
}

UiLanguage runningUiLanguage()
{
    // A translation names its own language, as Qt's own translations name
    // their layout direction.
    const QString code = QCoreApplication::translate(
            "UiLanguage", "zh", "The code of the translation's language: en for English");
    return uiLanguageFromCode(code).value_or(UiLanguage::Chinese);
}

UiTranslation::~UiTranslation()
{
    if (m_installed)
        QCoreApplication::removeTranslator(&m_translator);
}

bool UiTranslation::apply(UiLanguage language)
{
    if (m_installed) {
        QCoreApplication::removeTranslator(&m_translator);
        m_installed = false;
    }
    if (language == UiLanguage::Chinese)
        return true;
    m_installed = m_translator.load(QStringLiteral(":/i18n/smartcar-debug-assistant_en.qm"))
            && QCoreApplication::installTranslator(&m_translator);
    return m_installed;
}

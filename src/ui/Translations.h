#pragma once

#include <QString>

// The program's texts in its languages come from Qt translation catalogues,
// translations/skyglance_<code>.ts, compiled into the resources of the ui
// library. The English text is the source text of every message; each
// language's catalogue holds its translations. Languages are numbered as the
// program's Lingua: 1 English, 2 Italian, 3 French, 4 Spanish, and a further
// language takes the next number (see kLanguageCodes in Translations.cpp).
namespace Translations {

// Whether lingua numbers one of the program's languages.
bool isLanguage(int lingua);

// The texts of one language. A call in the form
//     Translations::in(lingua).translate("Context", "English text")
// is found by lupdate, which lists the text under its context in every
// catalogue; the call answers the language's translation, or the English text
// when the language has none or lingua numbers no language.
class Language {
public:
    explicit Language(int lingua) : lingua_(lingua) {}
    QString translate(const char* context, const char* source,
                      const char* disambiguation = nullptr) const;

private:
    int lingua_;
};

inline Language in(int lingua) {
    return Language(lingua);
}

// Installs the catalogue of the language on the application, so that tr()
// and QCoreApplication::translate follow the program's language; the
// catalogue installed before is removed. For a number that is no language
// only the removal happens.
void useForApplication(int lingua);

} // namespace Translations

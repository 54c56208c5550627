#include "ui/Translations.h"

#include <QCoreApplication>
#include <QTranslator>
#include <array>
#include <memory>

namespace Translations {
namespace {

// The catalogue code of language 1, 2, ...; the catalogue of language N is
// the resource :/i18n/skyglance_<code>.qm.
constexpr std::array<const char*, 4> kLanguageCodes{"en", "it", "fr", "es"};

using Catalogues = std::array<std::unique_ptr<QTranslator>, kLanguageCodes.size()>;

Catalogues loadCatalogues() {
    Catalogues catalogues;
    for (std::size_t i = 0; i < kLanguageCodes.size(); ++i) {
        auto translator = std::make_unique<QTranslator>();
        const QString name = QStringLiteral("skyglance_") + QLatin1String(kLanguageCodes[i]);
        if (translator->load(name, QStringLiteral(":/i18n"))) {
            catalogues[i] = std::move(translator);
        }
    }
    return catalogues;
}

// Loaded once, on first use, and kept for the program's life: the
// application holds on to the one it has installed.
QTranslator* catalogue(int lingua) {
    static const Catalogues catalogues = loadCatalogues();
    return isLanguage(lingua) ? catalogues[static_cast<std::size_t>(lingua - 1)].get() : nullptr;
}

} // namespace

bool isLanguage(int lingua) {
    return lingua >= 1 && lingua <= static_cast<int>(kLanguageCodes.size());
}

QString Language::translate(const char* context, const char* source,
                            const char* disambiguation) const {
    if (const QTranslator* translator = catalogue(lingua_)) {
        QString text = translator->translate(context, source, disambiguation);
        if (!text.isEmpty()) {
            return text;
        }
    }
    return QString::fromUtf8(source);
}

void useForApplication(int lingua) {
    static QTranslator* installed = nullptr;
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    if (installed != nullptr) {
        QCoreApplication::removeTranslator(installed);
    }
    installed = catalogue(lingua);
    if (installed != nullptr) {
        QCoreApplication::installTranslator(installed);
    }
}

} // namespace Translations

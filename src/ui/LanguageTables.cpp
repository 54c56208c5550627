#include "ui/LanguageTables.h"

namespace LanguageTables {

QString MsgProgramEnded(int lingua) {
    switch (lingua) {
    case 1:
        return QStringLiteral("Program ended \r\n The sponsors page will open.");
    case 2:
        return QString::fromUtf8("Programma Terminato\r\nSi aprirà la pagina degli sponsor.");
    case 3:
        return QStringLiteral("Le programme a pris fin \r\n La page des sponsors s'ouvrira.");
    case 4:
        return QString::fromUtf8(
            "El programa finalizó \r\n Se abrirá la página de patrocinadores.");
    default:
        return {};
    }
}

QString displayModeName(const QString& modeWord, int lingua) {
    const bool full = modeWord == QLatin1String("Full_Screen");
    switch (lingua) {
    case 1:
        return full ? QStringLiteral("Full_Screen") : QStringLiteral("Normal");
    case 2:
        return full ? QStringLiteral("Tutto_schermo") : QStringLiteral("In_scala");
    case 3:
        return full ? QString::fromUtf8("Plein_écran") : QStringLiteral("Normal");
    case 4:
        return full ? QStringLiteral("Pleno_Video") : QString::fromUtf8("Dimensión Original");
    default:
        return {};
    }
}

} // namespace LanguageTables

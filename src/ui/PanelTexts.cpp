#include "ui/PanelTexts.h"

#include "ui/LanguageTables.h"

#include <array>

namespace PanelTexts {
namespace {

// English, Italian, French, Spanish; a null entry falls back to English.
using Texts = std::array<const char*, 4>;

struct HoverRow {
    const char* element;
    Texts texts;
};

constexpr const char* kOnlineHelpIt = "Apre l'help online.";

constexpr HoverRow kHover[] = {
    {"IcoSwapSST0",
     {"Opens the TIMERS page related to the slide show speed and the ONLINE pictures update rate.",
      "Apre la pagina dei TIMERS relativi alla velocità dello slide-show, ed alla frequenza di "
      "aggiornamento ONLINE delle immagini.",
      nullptr, nullptr}},
    {"IcoSwapSST1",
     {"Opens the SETUP page: internet connection, proxy and clean-up of the configuration.",
      "Apre la pagina delle IMPOSTAZIONI: connessione internet, proxy e azzeramento della "
      "configurazione.",
      "Ouvre la page CONFIGURATION : connexion internet, proxy et nettoyage de la configuration.",
      "Abre la página de CONFIGURACIÓN: conexión a internet, proxy y limpieza de la "
      "configuración."}},
    {"IcoSwapSST2",
     {"Open the DATABASE page, to select which weather pictures to add to the slide show. It is "
      "also possible to add up to 10 own pictures to the slide show, to create an advertisement "
      "intercalated to the weather pictures.",
      "Apre la pagina del DATABASE, per selezionare quali immagini meteo aggiungere allo "
      "slide-show. E' anche possibile aggiungere fino a 10 immagini proprie  allo slide-show, per "
      "creare una pubblicità intercalata alle immagini meteo.",
      nullptr, nullptr}},
    {"IcoSwapSST3",
     {"Open the page to start the SLIDE-SHOW or quit Skyglance.",
      "Apre la pagina per l'avvio dello SLIDE-SHOW o l'uscita da Skyglance.", nullptr, nullptr}},
    {"RunTeamViewer",
     {"Open TeamViewer for remote assistance from Skyglance staff (you must first agree on the "
      "date and time using the contact page.",
      "Apre TeamViewer per avere assistenza remota da parte dello staff di Skyglance (occorre "
      "concordare preventivamente data e ora usando la pagina dei contatti.",
      nullptr, nullptr}},
    {"IcoSwapSST6", {"Change Language.", "Cambia lingua dei menù.", nullptr, nullptr}},
    {"SSTCfg_cmdConferma",
     {"Start the slide show with the selected pictures of the database. After the start will be "
      "automatic.",
      "Avvia lo slide show con le immagini selezionate del database. L'avvio sarà successivamente "
      "automatico.",
      nullptr, nullptr}},
    {"SSTCfg_salvaConfig",
     {"Create a BACKUP file of the selected picture list.",
      "Crea un file di BACKUP della configurazione immagini desiderate.", nullptr, nullptr}},
    {"SSTCfg_ExitProgram", {"Quit Skyglance", "Chiude Skyglance.", nullptr, nullptr}},
    {"infoStatusBar",
     {"Information about Skyglance version.", "Informazioni sulla versione di Skyglance.", nullptr,
      nullptr}},
    {"helpEsegui", {"Open the online help.", kOnlineHelpIt, nullptr, nullptr}},
    {"helpTime", {"Open the online help.", kOnlineHelpIt, nullptr, nullptr}},
    {"helpImg", {"Open the help online.", "Apre l'help online.\"", nullptr, nullptr}},
    {"YourTownIco",
     {"Set up your city for parametric forecast.",
      "Imposta la tua città per le previsioni parametriche.", nullptr, nullptr}},
    {"SSTCfg_FileUser",
     {"Add to the slide show up to 10 of your own pictures, to create an advertisement "
      "intercalated to the weather pictures.",
      "Aggiunge allo slide show fino a 10 immagini proprie, per creare una pubblicità intercalata "
      "alle immagini meteo.",
      nullptr, nullptr}},
    {"SSTCfg_resetUserImg",
     {"Delete your personal pictures from the slide show",
      "Elimina dallo slide show le tue immagini personali.", nullptr, nullptr}},
    {"SSTCfg_BackUpcnf",
     {"Create a configuration backup.", "Fa una copia di backup della configurazione.", nullptr,
      nullptr}},
    {"SSTCfg_Loadcnf",
     {"Restore the configuration from a Backup.", "Ripristina la configurazione da un Backup.",
      nullptr, nullptr}},
    {"LabelOwnerImage",
     {"List of Local Images vsualized in the slide show.",
      "Elenco delle Immagini Locali vsualizzate nello slide show.",
      "Liste des images locales converties en diaporama.",
      "Lista de imágenes locales vsualizadas en la presentación de diapositivas."}},
    {"Cleanup",
     {"All configuration files will be deleted (useful in case of unresolvable errors).",
      "Azzera la configurazione per ripartire da zero (utile in caso di errori non risolvibili).",
      "Tous les fichiers de configuration seront supprimés (utile en cas d'erreurs insolubles).",
      "Todos los archivos de configuración serán borrados (útil en caso de errores no "
      "resueltos)."}},
    {"SSTCfg_Download",
     {"Set the time (in minutes) for updating pictures ONLINE.",
      "Imposta il tempo (in minuti) di aggiornamento delle immagini ONLINE.\"", nullptr, nullptr}},
    {"SSTCfg_Aggiorna",
     {"Set the slide show speed (seconds of persistence of each picture).",
      "Imposta la velocità dello slide show (secondi di persistenza di ogni immagine).", nullptr,
      nullptr}},
    {"dyMode",
     {"Swap the display mode between full screen and real size.",
      "Commuta la modalità di visualizzazione tra full screen e dimensone reale.", nullptr,
      nullptr}},
    {"ClearListDB",
     {"Delete all the pictures selected by the DATABASE.",
      "Elimina tutte le immagini selezionate dal DATABASE.", nullptr, nullptr}},
};

constexpr Texts kWaitToolTip{"Wait Please", "Attendere", "Attendere", "Attendere"};
constexpr Texts kWaitCaption{"Loading Database, wait...",
                             "Caricamento Database in corso, attendere...",
                             "Chargement de la base de données, veuillez patienter ...",
                             "Cargando base de datos, por favor espere ..."};
constexpr Texts kPreviewTitle{"Picture preview", "Anteprima immagini", "Aperçu des images",
                              "Vista previa de imágenes"};
constexpr Texts kConnection{"Modif. Connection", "Modif. Connessione", "Modif. Connexion",
                            "Modif. Conexión"};
constexpr Texts kTown{"My Town", "La mia Città", "Ma Ville", "Mi Ciudad"};
constexpr Texts kSetupHelp{
    "SETUP:\r\n \r\n_Connection: direct or through a proxy.\r\n_Cleanup Config.: delete every "
    "configuration file and start again.",
    "IMPOSTAZIONI:\r\n \r\n_Connessione: diretta o tramite proxy.\r\n_Reset Configuraz.: cancella "
    "tutti i file di configurazione e riparte da zero.",
    "CONFIGURATION :\r\n \r\n_Connexion : directe ou par un proxy.\r\n_Cleanup Configurat. : "
    "supprime tous les fichiers de configuration.",
    "CONFIGURACIÓN:\r\n \r\n_Conexión: directa o a través de un proxy.\r\n_Cancelar configurac.: "
    "borra todos los archivos de configuración."};

// English where a language has no text of its own.
QString inLanguage(const Texts& texts, int lingua) {
    const auto orEnglish = [&texts](const char* text) { return text != nullptr ? text : texts[0]; };
    return LanguageTables::inLanguage(lingua, texts[0], orEnglish(texts[1]), orEnglish(texts[2]),
                                      orEnglish(texts[3]));
}

} // namespace

QString hoverText(const QString& objectName, int lingua) {
    for (const HoverRow& row : kHover) {
        if (objectName == QLatin1String(row.element)) {
            return inLanguage(row.texts, lingua);
        }
    }
    return {};
}

QStringList hoverElements() {
    QStringList names;
    for (const HoverRow& row : kHover) {
        names << QLatin1String(row.element);
    }
    return names;
}

QString wizardIntroText(int lingua) {
    return lingua == LanguageTables::kItalian
               ? QStringLiteral("Passa il mouse sulle icone del pannello di configurazione per "
                                "leggere qui il loro significato.")
               : QStringLiteral("Hover your mouse over the configuration panel icons to read "
                                "their meaning here");
}

QString waitToolTip(int lingua) {
    return inLanguage(kWaitToolTip, lingua);
}
QString waitCaption(int lingua) {
    return inLanguage(kWaitCaption, lingua);
}
QString previewTitle(int lingua) {
    return inLanguage(kPreviewTitle, lingua);
}
QString setupTitle(int lingua) {
    const QString caption = LanguageTables::tabCaption(1, lingua);
    return caption.isNull() ? LanguageTables::tabCaption(1, LanguageTables::kEnglish) : caption;
}
QString connectionCaption(int lingua) {
    return inLanguage(kConnection, lingua);
}
QString townCaption(int lingua) {
    return inLanguage(kTown, lingua);
}
QString setupHelpText(int lingua) {
    return inLanguage(kSetupHelp, lingua);
}

} // namespace PanelTexts

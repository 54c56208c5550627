#include "ui/LanguageTables.h"

#include "state/RunState.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextEdit>
#include <QWidget>
#include <array>
#include <iterator>

namespace LanguageTables {
namespace {

// One text in the four languages, UTF-8. A null entry means English serves
// that language. The texts are kept exactly as the users have always seen
// them, including odd spacing and spelling.
struct Texts {
    const char* en;
    const char* it;
    const char* fr;
    const char* es;
};

// An element found by objectName and the text it receives.
struct ElementText {
    const char* objectName;
    const Texts* texts;
};

// ---- Tab captions of SSTCfg, by tab index. Tab 1 holds the connection and
// clean-up elements.
constexpr std::array<Texts, 5> kTabCaptions{{
    {"Display Timers", "Timer Diapositive", "Intervalle d'affichage", "Temporizador Pictures"},
    {"Setup", "Impostazioni", "Configuration", "Configuración"},
    {"Picture   Selection", "Scelta   Immagini", "Choix des images", "Selección Imaginas "},
    {"Run / Exit", "Avvio Termina", "Démarrer arrêter", "Inicio Fin"},
    {"Tools - Language", "Tools - Lingua", "Outils - Language", "Utensilio Idioma"},
}};

// ---- Label captions. A text shared by several elements is one entry.
constexpr Texts kLocalImages{"Local I.", "I. locali", "I. local", "I. locales"};
constexpr Texts kTools{"Tools", "Tools", "Outils", "Utensilio"};
constexpr Texts kSaveConfig{"Save Configur.", "Salva Configur.", "Enregistr. configurat.",
                            "Recordar Impostac."};
constexpr Texts kDisplayTimersIcon{"Display Timers", "Timer Diapositive", "Intervalle d'affichage",
                                   "Timer Diapositive"};
constexpr Texts kDisplayTimer{"Display Timer", "Timer Diapositive", "Intervalle-affichage",
                              "Temporiz. Imaginas"};
constexpr Texts kSlideTimer{"Slide Show Img. Timer", "Timer Diapositive", "Intervalle d'affichage",
                            "Temporiz. Imaginas"};
constexpr Texts kSeconds{"(seconds)", "(secondi)", "(secondes)", "(segundo)"};
constexpr Texts kDownloadTimer{"Download Img. Times", "Tempo Riconnessione", "Intervalle connexion",
                               "Temporiz. Conexión "};
constexpr Texts kMinutes{"(minuts)", "(minuti)", "(minutes)", "(minuto)"};
constexpr Texts kDisplayMode{"Display Picture Mode", "Modo Visualizz.", "Mode d'affichage",
                             "Modos visualización"};
constexpr Texts kStartShow{"Start Slide Show", "Inizia Proiezione", "Lancer diaporama ",
                           "Inicia Proyección"};
constexpr Texts kPictureSelection{"Picture Selection", "Scelta Immagini", "Choix des images",
                                  "Selección Imágenes"};
constexpr Texts kRunExit{"Run - Exit", "Avvio Termina", "Démarrer arrêter", "Inicio Finir"};
// The tools-tab label that leads to tab 1 carries the tab's own caption.
constexpr const Texts& kSetup = kTabCaptions[1];
constexpr Texts kHelpTeamViewer{"Help TeamViewer", "Help TeamViewer", "Aide TeamViewer",
                                "Ayudante TeamViewer"};
constexpr Texts kHelp{"Help", "Help", "Aide", "Ayudante"};
constexpr Texts kQuitProgram{"Quit Program", "Termina Programma", "Quitter programme",
                             "Concluir programa"};
constexpr Texts kAbout{"About", "About", "About", "Detalle"};
constexpr Texts kCleanup{"Cleanup Config.", "Reset Configuraz.", "Cleanup Configurat.",
                         "Cancelar configurac."};
constexpr Texts kAddOwnImage{"Add Owner Image", "Immagi. Personale", "Ajout Image personnali.",
                             "Imaginas Personale"};
constexpr Texts kRemoveOwnImage{"Remove Own. Img.", "Elimina Imm. Pers.", "Enlever Image pers.",
                                "Eliminar Imm. Pers."};
constexpr Texts kBackupCollection{"Backup Collection", "Salva Collection", "Backup Collection",
                                  "Backup Colección ."};
constexpr Texts kLoadCollection{"Load_File Collection", "Carica Collection", "Load_File Collection",
                                "Load_File Colección "};

constexpr ElementText kCaptions[] = {
    {"LabelOwnerImage", &kLocalImages},
    {"TextTools", &kTools},
    {"TextTool1", &kTools},
    {"TextTool2", &kTools},
    {"TextTool3", &kTools},
    {"TextTool4", &kTools},
    {"TextTool5", &kTools},
    {"SSTCfg_salvaConfig2", &kSaveConfig},
    {"IcoSwapSST02", &kDisplayTimersIcon},
    {"TextDisplayTimers", &kDisplayTimer},
    {"TextDisplayTimers0", &kDisplayTimer},
    {"TextDisplayTimers1", &kDisplayTimer},
    {"TextDisplayTimers3", &kDisplayTimer},
    {"SSTCfg_Aggiorna2", &kSlideTimer},
    {"textSeconds", &kSeconds},
    {"SSTCfg_Download2", &kDownloadTimer},
    {"TextMinuts", &kMinutes},
    {"dyMode2", &kDisplayMode},
    {"SSTCfg_cmdConferma2", &kStartShow},
    {"IcoSwapSST12", &kSetup},
    {"IcoSwapSST22", &kPictureSelection},
    {"TextPictureSelection", &kPictureSelection},
    {"TextPictureSelection0", &kPictureSelection},
    {"TextPictureSelection1", &kPictureSelection},
    {"TextPictureSelection3", &kPictureSelection},
    {"IcoSwapSST32", &kRunExit},
    {"TextRunExit", &kRunExit},
    {"TextRunExit0", &kRunExit},
    {"TextRunExit1", &kRunExit},
    {"TextRunExit3", &kRunExit},
    {"IcoHelpTools2", &kHelpTeamViewer},
    {"helpEsegui2", &kHelp},
    {"helpImg2", &kHelp},
    {"helpTime2", &kHelp},
    {"SSTCfg_ExitProgram2", &kQuitProgram},
    {"infoStatusBar2", &kAbout},
    {"Cleanup2", &kCleanup},
    {"SSTCfg_FileUser2", &kAddOwnImage},
    {"SSTCfg_resetUserImg2", &kRemoveOwnImage},
    {"SSTCfg_Backupconf", &kBackupCollection},
    {"SSTCfg_Loadconf", &kLoadCollection},
};

// ---- Tooltips of the status-bar icons. The closing quote of the wait
// tooltips is part of the text.
constexpr Texts kWaitTip{"Wait...\"", "Attendere...\"", "Veuillez patienter...\"", "Esperar...\""};
constexpr Texts kSetupTip{"Configuration", "Configurazione", "Configuration", "Configuración"};
constexpr Texts kQuitTip{"Quit", "Termina", "Quitter", "Acaba"};
constexpr Texts kBrokenTip{"Connection Broken", "Connessione Interrotta", "Connexion coupée",
                           "Conexión Interrumpida"};
constexpr Texts kActiveTip{"Connection Active", "Connessione Attiva", "Connexion activê",
                           "Conexión Activa"};

constexpr ElementText kToolTips[] = {
    {"btWait", &kWaitTip}, {"btSetup", &kSetupTip},           {"btTermina", &kQuitTip},
    {"btHelp", &kHelp},    {"ImageDisconnesso", &kBrokenTip}, {"ImageConnesso", &kActiveTip},
};

// ---- Display-mode names.
constexpr Texts kFullScreenName{"Full_Screen", "Tutto_schermo", "Plein_écran", "Pleno_Video"};
constexpr Texts kNormalName{"Normal", "In_scala", "Normal", "Dimensión Original"};

// ---- Help boxes, lines joined by CR LF.
constexpr Texts kHelpDisplayTimer{
    "DISPLAY TIMERS\r\n"
    " \r\n"
    "_Download Images Timer\r\n"
    "_Slide Show Timer\r\n"
    "_Display Mode",
    "DISPLAY TIMERS\r\n"
    " \r\n"
    "_Tempo Ricarica Immagini\r\n"
    "_Tempo Proiezione Immagini\r\n"
    "_Modo Visualizz. Immagini",
    "Intervalle d'affichage\r\n"
    " \r\n"
    "_Intervalle de téléchargement\r\n"
    "_Intervalle entre les images\r\n"
    "_Mode d'affichage",
    "Proyección Temporizador\r\n"
    " \r\n"
    "_Tiempo Recarga Imágenes\r\n"
    "_Tiempo Proyección Imágenes\r\n"
    "_Modo Visualizz. Imágenes",
};
constexpr Texts kHelpRunExit{
    "RUN EXIT:\r\n"
    " \r\n"
    "_Start Slide Show\r\n"
    "_Save Configuration\r\n"
    "_Quit Program\r\n"
    "_Status Bar Info",
    "ESEGUI ESCI:\r\n"
    "_Inizia Proiezione Immagini\r\n"
    "_Salva tutte le Impostazioni\r\n"
    "_Esci dal programma.\r\n"
    "_Visualizza informazioni barra",
    "DÉMARRER ARRÊTER:\r\n"
    " \r\n"
    "_Lancer le diaporama\r\n"
    "_Sauvegarder Configuration\r\n"
    "_Quitter le programme\r\n"
    "_Informations de la barre d'état",
    "EJECUTAS SALES:\r\n"
    "_Inicia Proyección Imaginas\r\n"
    "_Salva todas las Impostaciones\r\n"
    "_Sales del programa.\r\n"
    "_Visualiza informaciones barra",
};
constexpr Texts kHelpTools{
    "TOOLS AVAILABLE:\r\n"
    " \r\n"
    "_Display Timers: select your preferred slide show time and connection to download new "
    "images.\r\n"
    "_Picture Selection: select Image to display from database.\r\n"
    "_Run-Exit: Start slide show or exit from program.",
    "TOOLS DISPONIBILI:\r\n"
    " \r\n"
    "_Display Timers: imposta tempi per connessione, aggiornamento, velocità e modo di "
    "visualizzazione.\r\n"
    "_Picture Selection: selezione di quali immagini visualizzare\r\n"
    "_Run-Exit: Encamina visualización o salida por el programa",
    "OUTILS:\r\n"
    " \r\n"
    "_Intervalle d'affichage : choisissez l'intervalle de temps entre deux images du diaporama "
    "et l'intervalle de téléchargement.\r\n"
    "_Choix des images : sélectionnez les images à afficher à partir de la base de données.\r\n"
    "_Démarrer-arrêter : lancer le diaporama ou quitter le programme.",
    "Regulación Disponible:\r\n"
    " \r\n"
    "_Visual. Temporz.: impuesto tiempos por conexión, puesta al día, velocidad' y modo de "
    "visualización.\r\n"
    "_Imaginas Selección: selección de cuál imaginas visualizar\r\n"
    "_Inicio-Fin: Inicio visualización o bien acabar programa",
};

constexpr ElementText kHelpBoxes[] = {
    {"Box_Help_Display_Timer", &kHelpDisplayTimer},
    {"Box_Help_Run_Exit", &kHelpRunExit},
    {"LeftTipText", &kHelpTools},
};

// ---- Messages. Pieces around a caller's value are separate entries.
constexpr Texts kWarningTitle{"Warning!", "Attenzione!", "Attention !", "Atención!"};
constexpr Texts kBadDownloadTime{"Invalid Download Time.", "Tempo Download non valido.",
                                 "Intervalle de téléchargement invalide.",
                                 "Intervalo Descargue no vadeo."};
constexpr Texts kDownloadTimeShort{"Download Timer too small.", "Tempo Download troppo corto.",
                                   "Intervalle de téléchargement trop court.",
                                   "Intervalo Descargue demasiado corto."};
constexpr Texts kBadSlideTime{"Slide Show Timer not valid.", "Timer Slide Show non valido.",
                              "Intervalle entre les images invalide.",
                              "Temporizador Slide Espectáculo no vadea."};
constexpr Texts kSlideTimeShort{"Slide Show Timer too small.", "Timer Slde Show troppo corto.",
                                "Intervalle entre les images trop court.",
                                "Temporizador Slde Espectáculo demasiado corto."};
constexpr Texts kWriteError{"ERROR WRITING CONFIGURATION FILES!",
                            "ERRORE DURANTE LA SCRITTURA DEL FILE DI CONFIGURAZIONE!",
                            "ERREUR D'ÉCRITURE SUR LES FICHIERS DE CONFIGURATION!",
                            "ERROR DURANTE LA ESCRITURA DEL EXPEDIENTE DE CONFIGURACIÓN!"};
constexpr Texts kNoNetwork{
    "The local system is not connected to a network!", "Non è presente una connessione alla rete!",
    "L'ordinateur n'est pas connecté à un réseau !", "No y' presiente una conexión a la internet!"};
constexpr Texts kNetworkKindBefore{
    "The local system is connected to a ", "Il sistema è connesso a una rete ",
    "L'ordinateur est connecté à un ", "El sistema y' conexo a una red "};
constexpr Texts kNetworkKindAfter{" network!", " !", " network!", " !"};
constexpr Texts kProgramEnded{"Program ended \r\n The sponsors page will open.",
                              "Programma Terminato\r\nSi aprirà la pagina degli sponsor.",
                              "Le programme a pris fin \r\n La page des sponsors s'ouvrira.",
                              "El programa finalizó \r\n Se abrirá la página de patrocinadores."};
constexpr Texts kOwnPictures{
    "You can add up 9 .jpg own pictures.\r\nPut files in folder ",
    "Puoi aggiungere fino a 9 altre immagini personali .jpg\r\nCopiale nella cartella ", nullptr,
    nullptr};

constexpr Texts kUnselect{"Unselect All Pictures", "Deseleziona Tutte Immagini", nullptr, nullptr};

bool isKnownLanguage(int lingua) {
    return lingua >= kEnglish && lingua <= kSpanish;
}

// The text for a language 1 to 4, English where the language has none.
QString inLanguage(const Texts& texts, int lingua) {
    const char* chosen = nullptr;
    switch (lingua) {
    case kItalian:
        chosen = texts.it;
        break;
    case kFrench:
        chosen = texts.fr;
        break;
    case kSpanish:
        chosen = texts.es;
        break;
    default:
        break;
    }
    return QString::fromUtf8(chosen != nullptr ? chosen : texts.en);
}

// As inLanguage, but null outside 1 to 4.
QString inKnownLanguage(const Texts& texts, int lingua) {
    return isKnownLanguage(lingua) ? inLanguage(texts, lingua) : QString();
}

template <std::size_t N>
const Texts* find(const ElementText (&table)[N], const QString& objectName) {
    for (const ElementText& row : table) {
        if (objectName == QLatin1String(row.objectName)) {
            return row.texts;
        }
    }
    return nullptr;
}

template <std::size_t N>
QString lookUp(const ElementText (&table)[N], const QString& objectName, int lingua) {
    const Texts* texts = find(table, objectName);
    return texts != nullptr ? inKnownLanguage(*texts, lingua) : QString();
}

QList<QWidget*> elementsNamed(QWidget* root, const char* objectName) {
    return root->findChildren<QWidget*>(QLatin1String(objectName));
}

void setCaption(QWidget* element, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(element)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(element)) {
        button->setText(text);
    }
}

void setBoxText(QWidget* box, const QString& text) {
    if (auto* plain = qobject_cast<QPlainTextEdit*>(box)) {
        plain->setPlainText(text);
    } else if (auto* rich = qobject_cast<QTextEdit*>(box)) {
        rich->setPlainText(text);
    } else {
        setCaption(box, text);
    }
}

void applyTabCaptions(QWidget* root, int lingua) {
    for (QTabWidget* tabs : root->findChildren<QTabWidget*>(QStringLiteral("SSTCfg"))) {
        const int count = qMin(tabs->count(), static_cast<int>(kTabCaptions.size()));
        for (int tab = 0; tab < count; ++tab) {
            tabs->setTabText(tab, tabCaption(tab, lingua));
        }
    }
}

template <std::size_t N, typename Apply>
void applyTable(QWidget* root, const ElementText (&table)[N], int lingua, Apply apply) {
    for (const ElementText& row : table) {
        const QString text = inLanguage(*row.texts, lingua);
        for (QWidget* element : elementsNamed(root, row.objectName)) {
            apply(element, text);
        }
    }
}

void hideRedDots(QWidget* root) {
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (widget->objectName().startsWith(QLatin1String(kRedDotPrefix))) {
            widget->hide();
        }
    }
}

// Shows a box when the language has a text; title and icon per message.
void showIfAny(platform::Dialogs& dialogs, const QString& text, const QString& title,
               platform::Dialogs::Icon icon) {
    if (!text.isNull()) {
        dialogs.message(text, title, icon);
    }
}

void showWarning(platform::Dialogs& dialogs, const QString& text, int lingua) {
    showIfAny(dialogs, text, warningTitle(lingua), platform::Dialogs::Icon::Warning);
}

void showPlain(platform::Dialogs& dialogs, const QString& text) {
    showIfAny(dialogs, text, programTitle(), platform::Dialogs::Icon::None);
}

} // namespace

QString tabCaption(int tab, int lingua) {
    if (tab < 0 || tab >= static_cast<int>(kTabCaptions.size())) {
        return {};
    }
    return inKnownLanguage(kTabCaptions[static_cast<std::size_t>(tab)], lingua);
}

QString captionFor(const QString& objectName, int lingua) {
    return lookUp(kCaptions, objectName, lingua);
}

QString toolTipFor(const QString& objectName, int lingua) {
    return lookUp(kToolTips, objectName, lingua);
}

QString unselectLabel(int lingua) {
    return lingua == kItalian ? inLanguage(kUnselect, kItalian) : inLanguage(kUnselect, kEnglish);
}

QString helpText(const QString& boxName, int lingua) {
    return lookUp(kHelpBoxes, boxName, lingua);
}

QString displayModeName(const QString& modeWord, int lingua) {
    const bool full = modeWord == QLatin1String("Full_Screen");
    return inKnownLanguage(full ? kFullScreenName : kNormalName, lingua);
}

QString warningTitle(int lingua) {
    return inKnownLanguage(kWarningTitle, lingua);
}
QString badDownloadTimeText(int lingua) {
    return inKnownLanguage(kBadDownloadTime, lingua);
}
QString downloadTimeShortText(int lingua) {
    return inKnownLanguage(kDownloadTimeShort, lingua);
}
QString badSlideTimeText(int lingua) {
    return inKnownLanguage(kBadSlideTime, lingua);
}
QString slideTimeShortText(int lingua) {
    return inKnownLanguage(kSlideTimeShort, lingua);
}
QString writeErrorText(int lingua) {
    return inKnownLanguage(kWriteError, lingua);
}
QString noNetworkText(int lingua) {
    return inKnownLanguage(kNoNetwork, lingua);
}
QString networkKindText(const QString& kind, int lingua) {
    if (!isKnownLanguage(lingua)) {
        return {};
    }
    return inLanguage(kNetworkKindBefore, lingua) + kind + inLanguage(kNetworkKindAfter, lingua);
}
QString programEndedText(int lingua) {
    return inKnownLanguage(kProgramEnded, lingua);
}
QString ownPicturesText(const QString& folder, int lingua) {
    return inLanguage(kOwnPictures, lingua) + folder;
}

QString programTitle() {
    return QStringLiteral("Skyglance");
}

QString MsgProgramEnded(int lingua) {
    return programEndedText(lingua);
}

void ApplyLanguage(QWidget* root, const RunState& state) {
    const int lingua = state.Lingua;
    if (isKnownLanguage(lingua)) {
        applyTabCaptions(root, lingua);
        applyTable(root, kCaptions, lingua, setCaption);
        applyTable(root, kToolTips, lingua,
                   [](QWidget* icon, const QString& tip) { icon->setToolTip(tip); });
    }
    ApplyPanelTexts(root, state);
}

void ApplyPanelTexts(QWidget* root, const RunState& state) {
    const int lingua = state.Lingua;
    for (QWidget* label : root->findChildren<QWidget*>(QStringLiteral("Label11"))) {
        setCaption(label, unselectLabel(lingua));
    }
    if (isKnownLanguage(lingua)) {
        applyTable(root, kHelpBoxes, lingua, setBoxText);
    }
    hideRedDots(root);
}

void MsgBadDownloadTime(platform::Dialogs& dialogs, int lingua) {
    showWarning(dialogs, badDownloadTimeText(lingua), lingua);
}
void MsgDownloadTimeShort(platform::Dialogs& dialogs, int lingua) {
    showWarning(dialogs, downloadTimeShortText(lingua), lingua);
}
void MsgBadSlideTime(platform::Dialogs& dialogs, int lingua) {
    showWarning(dialogs, badSlideTimeText(lingua), lingua);
}
void MsgSlideTimeShort(platform::Dialogs& dialogs, int lingua) {
    showWarning(dialogs, slideTimeShortText(lingua), lingua);
}
void MsgWriteError(platform::Dialogs& dialogs, int lingua) {
    showPlain(dialogs, writeErrorText(lingua));
}
void MsgNoNetwork(platform::Dialogs& dialogs, int lingua) {
    showPlain(dialogs, noNetworkText(lingua));
}
void MsgNetworkKind(platform::Dialogs& dialogs, const QString& kind, int lingua) {
    showPlain(dialogs, networkKindText(kind, lingua));
}
void MsgProgramEnded(platform::Dialogs& dialogs, int lingua) {
    showPlain(dialogs, programEndedText(lingua));
}
void MsgOwnPictures(platform::Dialogs& dialogs, const QString& folder, int lingua) {
    showPlain(dialogs, ownPicturesText(folder, lingua));
}

QString inLanguage(int lingua, const char* en, const char* it, const char* fr, const char* es) {
    return inLanguage(Texts{en, it, fr, es}, lingua);
}

} // namespace LanguageTables

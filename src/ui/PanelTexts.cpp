#include "ui/PanelTexts.h"

#include "ui/LanguageTables.h"
#include "ui/Translations.h"

#include <QStringList>

namespace PanelTexts {
namespace {

// The English texts; the other languages are in the translation catalogues
// under the context kContext. A language may keep the English text as its
// own.
constexpr const char* kContext = "PanelTexts";

struct HoverRow {
    const char* element;
    const char* text;
};

constexpr HoverRow kHover[] = {
    {"IcoSwapSST0",
     QT_TRANSLATE_NOOP("PanelTexts", "Opens the TIMERS page related to the slide show speed and "
                                     "the ONLINE pictures update rate.")},
    {"IcoSwapSST1",
     QT_TRANSLATE_NOOP(
         "PanelTexts",
         "Opens the SETUP page: internet connection, proxy and clean-up of the configuration.")},
    {"IcoSwapSST2",
     QT_TRANSLATE_NOOP("PanelTexts",
                       "Open the DATABASE page, to select which weather pictures to add to the "
                       "slide show. It is also possible to add up to 10 own pictures to the slide "
                       "show, to create an advertisement intercalated to the weather pictures.")},
    {"IcoSwapSST3",
     QT_TRANSLATE_NOOP("PanelTexts", "Open the page to start the SLIDE-SHOW or quit Skyglance.")},
    {"RunTeamViewer",
     QT_TRANSLATE_NOOP("PanelTexts",
                       "Open TeamViewer for remote assistance from Skyglance staff (you must first "
                       "agree on the date and time using the contact page.")},
    {"IcoSwapSST6", QT_TRANSLATE_NOOP("PanelTexts", "Change Language.")},
    {"SSTCfg_cmdConferma",
     QT_TRANSLATE_NOOP("PanelTexts", "Start the slide show with the selected pictures of the "
                                     "database. After the start will be automatic.")},
    {"SSTCfg_salvaConfig",
     QT_TRANSLATE_NOOP("PanelTexts", "Create a BACKUP file of the selected picture list.")},
    {"SSTCfg_ExitProgram", QT_TRANSLATE_NOOP("PanelTexts", "Quit Skyglance")},
    {"infoStatusBar", QT_TRANSLATE_NOOP("PanelTexts", "Information about Skyglance version.")},
    {"helpEsegui", QT_TRANSLATE_NOOP("PanelTexts", "Open the online help.")},
    {"helpTime", QT_TRANSLATE_NOOP("PanelTexts", "Open the online help.")},
    {"helpImg", QT_TRANSLATE_NOOP("PanelTexts", "Open the help online.")},
    {"YourTownIco", QT_TRANSLATE_NOOP("PanelTexts", "Set up your city for parametric forecast.")},
    {"SSTCfg_FileUser",
     QT_TRANSLATE_NOOP("PanelTexts",
                       "Add to the slide show up to 10 of your own pictures, to create an "
                       "advertisement intercalated to the weather pictures.")},
    {"SSTCfg_resetUserImg",
     QT_TRANSLATE_NOOP("PanelTexts", "Delete your personal pictures from the slide show")},
    {"SSTCfg_BackUpcnf", QT_TRANSLATE_NOOP("PanelTexts", "Create a configuration backup.")},
    {"SSTCfg_Loadcnf", QT_TRANSLATE_NOOP("PanelTexts", "Restore the configuration from a Backup.")},
    {"LabelOwnerImage",
     QT_TRANSLATE_NOOP("PanelTexts", "List of Local Images vsualized in the slide show.")},
    {"Cleanup",
     QT_TRANSLATE_NOOP(
         "PanelTexts",
         "All configuration files will be deleted (useful in case of unresolvable errors).")},
    {"SSTCfg_Download",
     QT_TRANSLATE_NOOP("PanelTexts", "Set the time (in minutes) for updating pictures ONLINE.")},
    {"SSTCfg_Aggiorna",
     QT_TRANSLATE_NOOP("PanelTexts",
                       "Set the slide show speed (seconds of persistence of each picture).")},
    {"dyMode",
     QT_TRANSLATE_NOOP("PanelTexts", "Swap the display mode between full screen and real size.")},
    {"ClearListDB",
     QT_TRANSLATE_NOOP("PanelTexts", "Delete all the pictures selected by the DATABASE.")},
};

QString inLanguage(const char* source, int lingua) {
    return Translations::in(lingua).translate(kContext, source);
}

} // namespace

QString hoverText(const QString& objectName, int lingua) {
    for (const HoverRow& row : kHover) {
        if (objectName == QLatin1String(row.element)) {
            return inLanguage(row.text, lingua);
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
    return Translations::in(lingua).translate(
        "PanelTexts", "Hover your mouse over the configuration panel icons to read their meaning "
                      "here");
}

QString waitToolTip(int lingua) {
    return Translations::in(lingua).translate("PanelTexts", "Wait Please");
}
QString waitCaption(int lingua) {
    return Translations::in(lingua).translate("PanelTexts", "Loading Database, wait...");
}
QString previewTitle(int lingua) {
    return Translations::in(lingua).translate("PanelTexts", "Picture preview");
}
QString setupTitle(int lingua) {
    const QString caption = LanguageTables::tabCaption(1, lingua);
    return caption.isNull() ? LanguageTables::tabCaption(1, LanguageTables::kEnglish) : caption;
}
QString connectionCaption(int lingua) {
    return Translations::in(lingua).translate("PanelTexts", "Modif. Connection");
}
QString townCaption(int lingua) {
    return Translations::in(lingua).translate("PanelTexts", "My Town");
}
QString setupHelpText(int lingua) {
    return Translations::in(lingua).translate(
        "PanelTexts", "SETUP:\r\n \r\n_Connection: direct or through a proxy.\r\n_Cleanup "
                      "Config.: delete every configuration file and start again.");
}

} // namespace PanelTexts

#include "ui/LanguageTables.h"

#include "state/RunState.h"
#include "ui/Translations.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextEdit>
#include <QWidget>
#include <array>
#include <iterator>

namespace LanguageTables {
namespace {

// The tables hold the English texts; the other languages are in the
// translation catalogues, under the context named beside each table. The
// texts are kept exactly as the users have always seen them, including odd
// spacing and spelling.

// An element found by objectName and the English source of its text.
struct ElementText {
    const char* objectName;
    const char* text;
};

// ---- Tab captions of SSTCfg, by tab index. Tab 1 holds the connection and
// clean-up elements.
constexpr const char* kTabContext = "PanelTabs";
constexpr std::array<const char*, 5> kTabCaptions{
    QT_TRANSLATE_NOOP("PanelTabs", "Display Timers"),
    QT_TRANSLATE_NOOP("PanelTabs", "Setup"),
    QT_TRANSLATE_NOOP("PanelTabs", "Picture   Selection"),
    QT_TRANSLATE_NOOP("PanelTabs", "Run / Exit"),
    QT_TRANSLATE_NOOP("PanelTabs", "Tools - Language"),
};

// ---- Label captions. The tools-tab label that leads to tab 1 (IcoSwapSST12)
// carries the tab's own caption.
constexpr const char* kCaptionContext = "PanelCaptions";
constexpr ElementText kCaptions[] = {
    {"LabelOwnerImage", QT_TRANSLATE_NOOP("PanelCaptions", "Local I.")},
    {"TextTools", QT_TRANSLATE_NOOP("PanelCaptions", "Tools")},
    {"TextTool1", QT_TRANSLATE_NOOP("PanelCaptions", "Tools")},
    {"TextTool2", QT_TRANSLATE_NOOP("PanelCaptions", "Tools")},
    {"TextTool3", QT_TRANSLATE_NOOP("PanelCaptions", "Tools")},
    {"TextTool4", QT_TRANSLATE_NOOP("PanelCaptions", "Tools")},
    {"TextTool5", QT_TRANSLATE_NOOP("PanelCaptions", "Tools")},
    {"SSTCfg_salvaConfig2", QT_TRANSLATE_NOOP("PanelCaptions", "Save Configur.")},
    {"IcoSwapSST02", QT_TRANSLATE_NOOP("PanelCaptions", "Display Timers")},
    {"TextDisplayTimers", QT_TRANSLATE_NOOP("PanelCaptions", "Display Timer")},
    {"TextDisplayTimers0", QT_TRANSLATE_NOOP("PanelCaptions", "Display Timer")},
    {"TextDisplayTimers1", QT_TRANSLATE_NOOP("PanelCaptions", "Display Timer")},
    {"TextDisplayTimers3", QT_TRANSLATE_NOOP("PanelCaptions", "Display Timer")},
    {"SSTCfg_Aggiorna2", QT_TRANSLATE_NOOP("PanelCaptions", "Slide Show Img. Timer")},
    {"textSeconds", QT_TRANSLATE_NOOP("PanelCaptions", "(seconds)")},
    {"SSTCfg_Download2", QT_TRANSLATE_NOOP("PanelCaptions", "Download Img. Times")},
    {"TextMinuts", QT_TRANSLATE_NOOP("PanelCaptions", "(minuts)")},
    {"dyMode2", QT_TRANSLATE_NOOP("PanelCaptions", "Display Picture Mode")},
    {"SSTCfg_cmdConferma2", QT_TRANSLATE_NOOP("PanelCaptions", "Start Slide Show")},
    {"IcoSwapSST12", QT_TRANSLATE_NOOP("PanelCaptions", "Setup")},
    {"IcoSwapSST22", QT_TRANSLATE_NOOP("PanelCaptions", "Picture Selection")},
    {"TextPictureSelection", QT_TRANSLATE_NOOP("PanelCaptions", "Picture Selection")},
    {"TextPictureSelection0", QT_TRANSLATE_NOOP("PanelCaptions", "Picture Selection")},
    {"TextPictureSelection1", QT_TRANSLATE_NOOP("PanelCaptions", "Picture Selection")},
    {"TextPictureSelection3", QT_TRANSLATE_NOOP("PanelCaptions", "Picture Selection")},
    {"IcoSwapSST32", QT_TRANSLATE_NOOP("PanelCaptions", "Run - Exit")},
    {"TextRunExit", QT_TRANSLATE_NOOP("PanelCaptions", "Run - Exit")},
    {"TextRunExit0", QT_TRANSLATE_NOOP("PanelCaptions", "Run - Exit")},
    {"TextRunExit1", QT_TRANSLATE_NOOP("PanelCaptions", "Run - Exit")},
    {"TextRunExit3", QT_TRANSLATE_NOOP("PanelCaptions", "Run - Exit")},
    {"IcoHelpTools2", QT_TRANSLATE_NOOP("PanelCaptions", "Help TeamViewer")},
    {"helpEsegui2", QT_TRANSLATE_NOOP("PanelCaptions", "Help")},
    {"helpImg2", QT_TRANSLATE_NOOP("PanelCaptions", "Help")},
    {"helpTime2", QT_TRANSLATE_NOOP("PanelCaptions", "Help")},
    {"SSTCfg_ExitProgram2", QT_TRANSLATE_NOOP("PanelCaptions", "Quit Program")},
    {"infoStatusBar2", QT_TRANSLATE_NOOP("PanelCaptions", "About")},
    {"Cleanup2", QT_TRANSLATE_NOOP("PanelCaptions", "Cleanup Config.")},
    {"SSTCfg_FileUser2", QT_TRANSLATE_NOOP("PanelCaptions", "Add Owner Image")},
    {"SSTCfg_resetUserImg2", QT_TRANSLATE_NOOP("PanelCaptions", "Remove Own. Img.")},
    {"SSTCfg_Backupconf", QT_TRANSLATE_NOOP("PanelCaptions", "Backup Collection")},
    {"SSTCfg_Loadconf", QT_TRANSLATE_NOOP("PanelCaptions", "Load_File Collection")},
};

// ---- Tooltips of the status-bar icons. The closing quote of the wait
// tooltip is part of the text.
constexpr const char* kToolTipContext = "StatusBarToolTips";
constexpr ElementText kToolTips[] = {
    {"btWait", QT_TRANSLATE_NOOP("StatusBarToolTips", "Wait...\"")},
    {"btSetup", QT_TRANSLATE_NOOP("StatusBarToolTips", "Configuration")},
    {"btTermina", QT_TRANSLATE_NOOP("StatusBarToolTips", "Quit")},
    {"btHelp", QT_TRANSLATE_NOOP("StatusBarToolTips", "Help")},
    {"ImageDisconnesso", QT_TRANSLATE_NOOP("StatusBarToolTips", "Connection Broken")},
    {"ImageConnesso", QT_TRANSLATE_NOOP("StatusBarToolTips", "Connection Active")},
};

// ---- Display-mode names.
constexpr const char* kDisplayModeContext = "DisplayModes";
constexpr const char* kFullScreenName = QT_TRANSLATE_NOOP("DisplayModes", "Full_Screen");
constexpr const char* kNormalName = QT_TRANSLATE_NOOP("DisplayModes", "Normal");

// ---- Help boxes, lines joined by CR LF.
constexpr const char* kHelpBoxContext = "HelpBoxes";
constexpr ElementText kHelpBoxes[] = {
    {"Box_Help_Display_Timer", QT_TRANSLATE_NOOP("HelpBoxes", "DISPLAY TIMERS\r\n"
                                                              " \r\n"
                                                              "_Download Images Timer\r\n"
                                                              "_Slide Show Timer\r\n"
                                                              "_Display Mode")},
    {"Box_Help_Run_Exit", QT_TRANSLATE_NOOP("HelpBoxes", "RUN EXIT:\r\n"
                                                         " \r\n"
                                                         "_Start Slide Show\r\n"
                                                         "_Save Configuration\r\n"
                                                         "_Quit Program\r\n"
                                                         "_Status Bar Info")},
    {"LeftTipText",
     QT_TRANSLATE_NOOP("HelpBoxes",
                       "TOOLS AVAILABLE:\r\n"
                       " \r\n"
                       "_Display Timers: select your preferred slide show time and connection to "
                       "download new images.\r\n"
                       "_Picture Selection: select Image to display from database.\r\n"
                       "_Run-Exit: Start slide show or exit from program.")},
};

// ---- Messages. Pieces around a caller's value are separate texts.
constexpr const char* kMessageContext = "Messages";

bool isKnownLanguage(int lingua) {
    return Translations::isLanguage(lingua);
}

// The text in the language, English where the language has none.
QString inLanguage(const char* context, const char* source, int lingua) {
    return Translations::in(lingua).translate(context, source);
}

// As inLanguage, but null outside the program's languages.
QString inKnownLanguage(const char* context, const char* source, int lingua) {
    return isKnownLanguage(lingua) ? inLanguage(context, source, lingua) : QString();
}

// A message text, null outside the program's languages.
QString knownMessage(const char* source, int lingua) {
    return inKnownLanguage(kMessageContext, source, lingua);
}

template <std::size_t N>
const char* find(const ElementText (&table)[N], const QString& objectName) {
    for (const ElementText& row : table) {
        if (objectName == QLatin1String(row.objectName)) {
            return row.text;
        }
    }
    return nullptr;
}

template <std::size_t N>
QString lookUp(const ElementText (&table)[N], const char* context, const QString& objectName,
               int lingua) {
    const char* source = find(table, objectName);
    return source != nullptr ? inKnownLanguage(context, source, lingua) : QString();
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
void applyTable(QWidget* root, const ElementText (&table)[N], const char* context, int lingua,
                Apply apply) {
    for (const ElementText& row : table) {
        const QString text = inLanguage(context, row.text, lingua);
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
    return inKnownLanguage(kTabContext, kTabCaptions[static_cast<std::size_t>(tab)], lingua);
}

QString captionFor(const QString& objectName, int lingua) {
    return lookUp(kCaptions, kCaptionContext, objectName, lingua);
}

QString toolTipFor(const QString& objectName, int lingua) {
    return lookUp(kToolTips, kToolTipContext, objectName, lingua);
}

// Only Italian has a text of its own; the other catalogues keep the English.
QString unselectLabel(int lingua) {
    return Translations::in(lingua).translate("Messages", "Unselect All Pictures");
}

QString helpText(const QString& boxName, int lingua) {
    return lookUp(kHelpBoxes, kHelpBoxContext, boxName, lingua);
}

QString displayModeName(const QString& modeWord, int lingua) {
    const bool full = modeWord == QLatin1String("Full_Screen");
    return inKnownLanguage(kDisplayModeContext, full ? kFullScreenName : kNormalName, lingua);
}

QString warningTitle(int lingua) {
    return knownMessage(QT_TRANSLATE_NOOP("Messages", "Warning!"), lingua);
}
QString badDownloadTimeText(int lingua) {
    return knownMessage(QT_TRANSLATE_NOOP("Messages", "Invalid Download Time."), lingua);
}
QString downloadTimeShortText(int lingua) {
    return knownMessage(QT_TRANSLATE_NOOP("Messages", "Download Timer too small."), lingua);
}
QString badSlideTimeText(int lingua) {
    return knownMessage(QT_TRANSLATE_NOOP("Messages", "Slide Show Timer not valid."), lingua);
}
QString slideTimeShortText(int lingua) {
    return knownMessage(QT_TRANSLATE_NOOP("Messages", "Slide Show Timer too small."), lingua);
}
QString writeErrorText(int lingua) {
    return knownMessage(QT_TRANSLATE_NOOP("Messages", "ERROR WRITING CONFIGURATION FILES!"),
                        lingua);
}
QString noNetworkText(int lingua) {
    return knownMessage(
        QT_TRANSLATE_NOOP("Messages", "The local system is not connected to a network!"), lingua);
}
QString networkKindText(const QString& kind, int lingua) {
    if (!isKnownLanguage(lingua)) {
        return {};
    }
    const Translations::Language language = Translations::in(lingua);
    return language.translate("Messages", "The local system is connected to a ") + kind +
           language.translate("Messages", " network!");
}
QString programEndedText(int lingua) {
    return knownMessage(
        QT_TRANSLATE_NOOP("Messages", "Program ended \r\n The sponsors page will open."), lingua);
}
// Only Italian has a text of its own; the other catalogues keep the English.
QString ownPicturesText(const QString& folder, int lingua) {
    return Translations::in(lingua).translate(
               "Messages", "You can add up 9 .jpg own pictures.\r\nPut files in folder ") +
           folder;
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
        applyTable(root, kCaptions, kCaptionContext, lingua, setCaption);
        applyTable(root, kToolTips, kToolTipContext, lingua,
                   [](QWidget* icon, const QString& tip) { icon->setToolTip(tip); });
    }
    ApplyPanelTexts(root, state);
    Translations::useForApplication(lingua);
}

void ApplyPanelTexts(QWidget* root, const RunState& state) {
    const int lingua = state.Lingua;
    for (QWidget* label : root->findChildren<QWidget*>(QStringLiteral("Label11"))) {
        setCaption(label, unselectLabel(lingua));
    }
    if (isKnownLanguage(lingua)) {
        applyTable(root, kHelpBoxes, kHelpBoxContext, lingua, setBoxText);
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
    const char* chosen = nullptr;
    switch (lingua) {
    case kItalian:
        chosen = it;
        break;
    case kFrench:
        chosen = fr;
        break;
    case kSpanish:
        chosen = es;
        break;
    default:
        break;
    }
    return QString::fromUtf8(chosen != nullptr ? chosen : en);
}

} // namespace LanguageTables

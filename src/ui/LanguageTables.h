#pragma once

#include "platform/Dialogs.h"

#include <QString>

class QWidget;
struct RunState;

// Captions, tooltips, help texts and messages in the four languages
// (1 English, 2 Italian, 3 French, 4 Spanish). LanguageTables.cpp holds the
// English texts as tables; the other languages come from the translation
// catalogues (Translations.h). The functions here look them up or apply them.
//
// Elements are found by objectName among the descendants of the root window
// handed in; an element that does not exist (yet) is skipped. The panel's
// decorative red-dot shapes are the widgets whose objectName starts with
// "RedDot" (kRedDotPrefix); ApplyPanelTexts hides them all.
namespace LanguageTables {

inline constexpr int kEnglish = 1;
inline constexpr int kItalian = 2;
inline constexpr int kFrench = 3;
inline constexpr int kSpanish = 4;

inline constexpr const char* kRedDotPrefix = "RedDot";

// ---- Pure lookups. Each returns a null string for a language outside 1 to 4
// (or an element the tables do not know), unless it says otherwise.

// The caption of tab 0 to 4 of the panel's tab control SSTCfg.
QString tabCaption(int tab, int lingua);
// The caption (label or button text) of a panel element.
QString captionFor(const QString& objectName, int lingua);
// The tooltip of a status-bar icon.
QString toolTipFor(const QString& objectName, int lingua);
// The caption of Label11: Italian for 2, English for every other value.
QString unselectLabel(int lingua);
// The text of a help box (Box_Help_Display_Timer, Box_Help_Run_Exit,
// LeftTipText), lines joined by CR LF.
QString helpText(const QString& boxName, int lingua);
// The name of a display mode word ("Full_Screen" or anything else, which
// counts as "Normal") in the language.
QString displayModeName(const QString& modeWord, int lingua);

// Message texts. English serves a language that has no version of its own.
QString warningTitle(int lingua);
QString badDownloadTimeText(int lingua);
QString downloadTimeShortText(int lingua);
QString badSlideTimeText(int lingua);
QString slideTimeShortText(int lingua);
QString writeErrorText(int lingua);
QString noNetworkText(int lingua);
// kind is "LAN", "WAN" or "AOL", chosen by the caller.
QString networkKindText(const QString& kind, int lingua);
QString programEndedText(int lingua);
// English for every language but Italian, even outside 1 to 4.
QString ownPicturesText(const QString& folder, int lingua);

// The title of a box that has none of its own: the program's name.
QString programTitle();

// One of four texts given inline by language: Italian for 2, French for 3,
// Spanish for 4, English for any other value. The program's own texts live in
// the translation catalogues instead (Translations::in(lingua).translate).
QString inLanguage(int lingua, const char* en, const char* it, const char* fr, const char* es);

// The end message text; empty while no language is chosen, when no message
// is shown at all. Same as programEndedText.
QString MsgProgramEnded(int lingua);

// ---- Applying texts to the window.

// For Lingua 1 to 4: tab captions of SSTCfg, label captions and status-bar
// tooltips in that language; then ApplyPanelTexts. For any other Lingua only
// ApplyPanelTexts. Either way the language's catalogue becomes the
// application's (none outside 1 to 4), so that tr() texts follow.
void ApplyLanguage(QWidget* root, const RunState& state);
// Label11, the three help boxes (left as they are outside 1 to 4) and
// hiding the red-dot shapes.
void ApplyPanelTexts(QWidget* root, const RunState& state);

// ---- Message boxes, shown through dialogs in the given language; each
// returns when the box is closed. Outside 1 to 4 nothing is shown, except
// MsgOwnPictures, which then shows the English text.

void MsgBadDownloadTime(platform::Dialogs& dialogs, int lingua);
void MsgDownloadTimeShort(platform::Dialogs& dialogs, int lingua);
void MsgBadSlideTime(platform::Dialogs& dialogs, int lingua);
void MsgSlideTimeShort(platform::Dialogs& dialogs, int lingua);
void MsgWriteError(platform::Dialogs& dialogs, int lingua);
void MsgNoNetwork(platform::Dialogs& dialogs, int lingua);
void MsgNetworkKind(platform::Dialogs& dialogs, const QString& kind, int lingua);
void MsgProgramEnded(platform::Dialogs& dialogs, int lingua);
void MsgOwnPictures(platform::Dialogs& dialogs, const QString& folder, int lingua);

} // namespace LanguageTables

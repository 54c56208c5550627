#pragma once

#include <QString>
#include <QStringList>

// The configuration panel's own texts, by language (1 English, 2 Italian,
// 3 French, 4 Spanish): hover help, the help and wait frames, the set-up tab.
namespace PanelTexts {

// The hover-help text of a panel element; English serves a language without
// a version of its own and a language outside 1 to 4. Null for an element
// without hover help.
QString hoverText(const QString& objectName, int lingua);
// The names of every element that has hover help.
QStringList hoverElements();
// The first text of the help frame, before any element was hovered.
QString wizardIntroText(int lingua);
// The wait frame while the catalogue loads: its tooltip, its label, and the
// caption TextPictureSelection takes meanwhile. English outside 1 to 4.
QString waitToolTip(int lingua);
QString waitCaption(int lingua);
QString previewTitle(int lingua);
// Texts of the set-up tab, which the shared language tables leave to the
// panel: its title and navigation labels, the connection label, the town
// label and the tab's help box. English outside 1 to 4.
QString setupTitle(int lingua);
QString connectionCaption(int lingua);
QString townCaption(int lingua);
QString setupHelpText(int lingua);

} // namespace PanelTexts

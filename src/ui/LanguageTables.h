#pragma once

#include <QString>

// Captions and messages in the four languages (1 English, 2 Italian,
// 3 French, 4 Spanish).
namespace LanguageTables {

// The end message; empty while no language is chosen (999), when no message
// is shown at all.
QString MsgProgramEnded(int lingua);

// The name of a display mode word ("Full_Screen" or "Normal") in the
// language; a null string for a language outside 1 to 4.
QString displayModeName(const QString& modeWord, int lingua);

} // namespace LanguageTables

#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QCheckBox;
class QFrame;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QWidget;
class HomeTown;
class SettingsFile;
struct RunState;
namespace platform {
class BrowserView;
class Dialogs;
} // namespace platform

// ---- Pure rules of the selection table and its preview.

// The text of a table entry: " - " and the row's comment. The entry code is
// read back from it counting from character 4, so the prefix never changes.
QString SelectionEntryText(const QString& comment);

// The address the preview shows for a catalogue address, rewritten as the
// download rewrites it: "h" in place of the source code; a code-3 address
// with its home-town tags filled from param (index 0 to 13); a code-5 series
// as its first picture (a series that yields none falls back to the plain
// "h" rule).
QString PreviewAddress(const QString& catalogueAddress,
                       const std::function<QString(int index)>& param);

// The preview's description: the comment, CR LF LF CR, the copyright record
// as it stands.
QString PreviewDescription(const QString& comment, const QString& copyright);

// The message after the table has been cleared: Italian for 2, English for
// every other language.
QString ListCleanedText(int lingua);

// The line the picture tab shows in place of the table when the service did
// not give the whole catalogue. English outside 1 to 4.
QString CatalogueUnavailableText(int lingua);

// The controls the main window already has. FormWait is optional: the fill
// hides it when given.
struct SelectionControls {
    QListWidget* Tabella_Mappe_Selezionate = nullptr;
    platform::BrowserView* BrowserImgPreview = nullptr;
    QFrame* FrameDescPreview = nullptr;
    QPlainTextEdit* DescPreview = nullptr;
    QWidget* FormWait = nullptr;
};

// The selection table of the picture-selection tab: one checkable entry per
// catalogue row (checked = ticked), the ticks restored from the selection
// file, and a live preview of the clicked entry beside the panel. Code-3
// previews take the home town's parameter boxes as they read at the click.
//
// The constructor creates the check box PreViewEnabled and the label Label11
// on selectionTab and connects the table's click and mouse press, Label11's
// click and PreViewEnabled's click to their handlers below.
class SelectionTable : public QObject {
    Q_OBJECT
public:
    SelectionTable(RunState& state, platform::Dialogs& dialogs, SettingsFile& settings,
                   const HomeTown& town, SelectionControls controls, QWidget* selectionTab,
                   QObject* parent = nullptr);

    // Created on the selection tab; the window places and captions them
    // (Label11's caption comes from the language tables).
    QCheckBox* PreViewEnabled = nullptr;
    QLabel* Label11 = nullptr;
    // Stands over the empty table while the catalogue is unavailable.
    QLabel* CatalogueUnavailable = nullptr;

    // Rebuilds the table from listURL / listURLcomment, hides FormWait and
    // ticks the entries listed in the selection file.
    void FillSelectionTable();
    // Instead of the fill when the catalogue came incomplete: the table
    // stays empty, the line says why, and the selection file is held as it
    // stands (nothing in the table may replace it).
    void ShowCatalogueUnavailable();
    // FillSelectionTable after the whole catalogue arrived, otherwise
    // ShowCatalogueUnavailable: the refill after loading a collection.
    void RefillSelectionTable();
    bool catalogueAvailable() const { return catalogueAvailable_; }
    // The texts of the table's own elements in the current language.
    void ApplyLanguage();
    // Unticks every entry and tells the user so.
    void ClearSelection();
    void ShowPreview();
    void HidePreview();
    // Previews entry index: shows the preview, navigates BrowserImgPreview
    // and fills DescPreview. An index below 0 only shows the preview.
    void PreviewEntry(int index);

    // Event handlers.
    void Tabella_Mappe_Selezionate_Click();
    void Tabella_Mappe_Selezionate_MouseDown();
    void Label11_Click();
    void PreViewEnabled_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls(QWidget* selectionTab);
    void setPreviewVisible(bool visible);

    RunState& state_;
    platform::Dialogs& dialogs_;
    SettingsFile& settings_;
    const HomeTown& town_;
    SelectionControls controls_;
    bool catalogueAvailable_ = true;
};
